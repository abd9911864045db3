#include "forms/HelpWindow.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "forms/Artwork.h"
#include "forms/FormSupport.h"

namespace encoderdesk {
namespace {

QUrl PageUrl(const QString& name) { return QUrl("qrc:/help/" + name + ".html"); }

// F1 anywhere: the window in front asks for its page.
class HelpKey final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return QObject::eventFilter(watched, event);
        QWidget* front = QApplication::activeModalWidget();
        if (!front) front = QApplication::activeWindow();
        if (front == HelpWindow::Instance()) return true;
        HelpWindow::Instance()->ShowTopic(HelpTopicOf(front));
        return true;
    }
};

}  // namespace

const QList<HelpPage>& HelpPages()
{
    static const QList<HelpPage> pages = {
        {"index", "Справка encoderdesk"},
        {"main", "Главное окно"},
        {"page-video", "Страница «Параметры видео»"},
        {"page-file", "Страница «Файл»"},
        {"page-stats", "Страница «Статистика»"},
        {"profile", "Формат видео при видеозахвате"},
        {"menu", "Главное меню"},
        {"tray", "Значок в области уведомлений"},
        {"capture-setup", "Окно «Параметры видеозахвата»"},
        {"startup-profile", "Окно «Настройка»"},
        {"decoder", "Окно «Настройка кодеков MPEG2»"},
        {"about", "Окно «О программе»"},
        {"messages", "Сообщения программы"},
    };
    return pages;
}

HelpWindow* HelpWindow::Instance()
{
    static HelpWindow* window = new HelpWindow;  // lives as long as the program
    return window;
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle("Справка");
    setWindowIcon(ProgramIcon());
    resize(820, 560);

    contents_ = new QListWidget;
    contents_->setObjectName("lbHelpContents");
    contents_->setAccessibleName("Содержание");
    for (const HelpPage& page : HelpPages()) {
        auto* item = new QListWidgetItem(page.title, contents_);
        item->setData(Qt::UserRole, QString(page.name));
        QFile file(":/help/" + QString(page.name) + ".html");
        file.open(QIODevice::ReadOnly);
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(file.readAll()));
        plainTexts_.push_back(doc.toPlainText().toLower());
    }

    auto* searchPage = new QWidget;
    query_ = new QLineEdit;
    query_->setObjectName("edHelpSearch");
    query_->setPlaceholderText("Слова для поиска");
    query_->setAccessibleName("Слова для поиска");
    results_ = new QListWidget;
    results_->setObjectName("lbHelpResults");
    results_->setAccessibleName("Найденные разделы");
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(new QLabel("Введите слова для поиска:"));
    searchLayout->addWidget(query_);
    searchLayout->addWidget(results_);

    side_ = new QTabWidget;
    side_->setObjectName("HelpTabs");
    side_->addTab(contents_, "Содержание");
    side_->addTab(searchPage, "Поиск");

    browser_ = new QTextBrowser;
    browser_->setObjectName("HelpBrowser");
    browser_->setAccessibleName("Текст справки");
    browser_->setOpenLinks(true);

    auto* split = new QSplitter;
    split->addWidget(side_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);

    auto open = [this](QListWidgetItem* item) {
        if (item) browser_->setSource(PageUrl(item->data(Qt::UserRole).toString()));
    };
    connect(contents_, &QListWidget::itemActivated, this, open);
    connect(contents_, &QListWidget::itemClicked, this, open);
    connect(results_, &QListWidget::itemActivated, this, open);
    connect(results_, &QListWidget::itemClicked, this, open);
    connect(query_, &QLineEdit::textChanged, this, &HelpWindow::RunSearch);
    // The contents follow the page shown, links included.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QString name = url.fileName().chopped(5);
        for (int i = 0; i < contents_->count(); ++i)
            if (contents_->item(i)->data(Qt::UserRole).toString() == name) contents_->setCurrentRow(i);
    });
    browser_->setSource(PageUrl("index"));
}

void HelpWindow::RunSearch()
{
    results_->clear();
    const QStringList titles = Search(query_->text());
    for (const QString& title : titles)
        for (const HelpPage& page : HelpPages())
            if (title == page.title) {
                auto* item = new QListWidgetItem(title, results_);
                item->setData(Qt::UserRole, QString(page.name));
            }
}

QStringList HelpWindow::Search(const QString& query) const
{
    const QStringList words = query.toLower().split(' ', Qt::SkipEmptyParts);
    QStringList titles;
    if (words.isEmpty()) return titles;
    for (int i = 0; i < HelpPages().size(); ++i) {
        bool all = true;
        for (const QString& w : words) all = all && plainTexts_[i].contains(w);
        if (all) titles << HelpPages()[i].title;
    }
    return titles;
}

QString HelpWindow::CurrentPage() const
{
    return browser_->source().fileName().chopped(5);  // without ".html"
}

void HelpWindow::Present()
{
    // Over a modal dialog the help must take input too: it becomes modal itself
    // while that dialog is up, and an ordinary window otherwise.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::ShowContents()
{
    side_->setCurrentIndex(0);
    browser_->setSource(PageUrl("index"));
    Present();
}

void HelpWindow::ShowTopic(const QString& topic)
{
    bool known = false;
    for (const HelpPage& page : HelpPages()) known = known || topic == page.name;
    browser_->setSource(PageUrl(known ? topic : QString("index")));
    Present();
}

QString HelpTopicOf(const QWidget* window)
{
    if (!window) return "index";
    if (const auto* pages = window->findChild<QTabWidget*>("PageControl1")) {
        if (const QWidget* page = pages->currentWidget()) {
            const QVariant topic = page->property(kHelpTopicProperty);
            if (topic.isValid()) return topic.toString();
        }
    }
    const QVariant topic = window->property(kHelpTopicProperty);
    if (topic.isValid()) return topic.toString();
    if (qobject_cast<const QMessageBox*>(window)) return "messages";
    return "index";
}

void InstallHelpKey()
{
    static const HelpKey* key = [] {
        auto* k = new HelpKey(qApp);
        qApp->installEventFilter(k);
        return k;
    }();
    (void)key;
}

}  // namespace encoderdesk
