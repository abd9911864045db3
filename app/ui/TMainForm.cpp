// The main window's form: every control with its name, caption, range and
// default, and the binding of each handler to the Qt signal that gives the
// handler's described behaviour.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/AppSettings.h"
#include "core/FileNaming.h"
#include "forms/FilePage.h"
#include "forms/FormSupport.h"
#include "forms/PieGauge.h"
#include "ui/TMain.h"
#include "ui/VideoPanel.h"

namespace encoderdesk {
namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel* Value(const char* name) { return Named(new QLabel("?"), name); }

QSpinBox* Spin(const char* name, const SpinRange& range, int value)
{
    auto* spin = Named(new QSpinBox, name);
    spin->setRange(range.minimum, range.maximum);
    spin->setSingleStep(range.step);
    spin->setValue(value);
    return spin;
}

QToolButton* Tool(const char* name, const QString& hint)
{
    auto* button = Named(new QToolButton, name);
    button->setText("...");
    SetHint(button, hint);
    return button;
}

// A grid without headers whose row 0 and column 0 hold the fixed texts.
QTableWidget* Grid(const char* name, int rows, std::initializer_list<int> widths)
{
    auto* grid = Named(new QTableWidget(rows, static_cast<int>(widths.size())), name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int column = 0, width = 0;
    for (int w : widths) {
        grid->setColumnWidth(column++, w);
        width += w;
    }
    for (int r = 0; r < rows; ++r) grid->setRowHeight(r, 17);
    grid->setFixedSize(width + 2 * grid->frameWidth(), rows * 17 + 2 * grid->frameWidth());
    return grid;
}

QGroupBox* Group(const char* name, const QString& title, QLayout* layout)
{
    auto* group = Named(new QGroupBox(title), name);
    group->setLayout(layout);
    return group;
}

}  // namespace

void TMain::CreateControls()
{
    setWindowTitle("Утилита управления видеоплатами Tavrin");
    setObjectName("Main");
    setProperty(kHelpTopicProperty, "main");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    menu = CreateMainMenu(menuBar());

    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);
    row->addWidget(CreateLeftColumn(), 0, Qt::AlignTop);
    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->addTab(CreateVideoPage(), "Параметры видео");
    PageControl1->addTab(CreateFilePage(), "Файл");
    PageControl1->addTab(CreateStatisticsPage(), "Статистика");
    row->addWidget(PageControl1, 1);
    setCentralWidget(central);
    CreateStatusBar();
    NameForAccessibility(this);
}

QWidget* TMain::CreateLeftColumn()
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    PreviewPanel = new VideoPanel;
    SetHint(PreviewPanel, "Окно предварительного просмотра видео");
    PreviewPanel->setAccessibleName("Окно предварительного просмотра видео");
    layout->addWidget(PreviewPanel);
    pnState = Named(new QLabel, "pnState");
    pnState->setFixedSize(320, 21);
    pnState->setAlignment(Qt::AlignCenter);
    pnState->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(pnState);

    auto* buttons = new QGridLayout;
    mbStartPreview = Named(new QPushButton("Предпросмотр"), "mbStartPreview");
    mbCapture = Named(new QPushButton("Захват"), "mbCapture");
    mbPlayback = Named(new QPushButton("Воспроизведение"), "mbPlayback");
    mbStop = Named(new QPushButton("Стоп"), "mbStop");
    SetHint(mbStartPreview, "Включение предварительного просмотра видео");
    SetHint(mbCapture, "Запись видео в файл");
    SetHint(mbPlayback, "Воспроизведение текущего файла");
    SetHint(mbStop, "Остановка текущей операции");
    buttons->addWidget(mbStartPreview, 0, 0);
    buttons->addWidget(mbCapture, 0, 1);
    buttons->addWidget(mbPlayback, 1, 0);
    buttons->addWidget(mbStop, 1, 1);
    layout->addLayout(buttons);

    auto* profile = new QGridLayout;
    const std::pair<const char*, QLabel**> rows[] = {{"Профиль:", &lbProfile},
                                                     {"Формат:", &lbVideoFormat},
                                                     {"Битрейт:", &lbBitrate},
                                                     {"Пиковый битрейт:", &lbPeakBitrate},
                                                     {"Автостоп:", &lbAutoOff}};
    const char* names[] = {"lbProfile", "lbVideoFormat", "lbBitrate", "lbPeakBitrate", "lbAutoOff"};
    for (int i = 0; i < 5; ++i) {
        auto* caption = new QLabel(rows[i].first);
        *rows[i].second = Value(names[i]);
        caption->setBuddy(*rows[i].second);
        profile->addWidget(caption, i, 0);
        profile->addWidget(*rows[i].second, i, 1);
    }
    profile->setColumnStretch(1, 1);
    mbChangeCapturePr = Named(new QPushButton("Изменить..."), "mbChangeCapturePr");
    mbLoadCapturePr = Named(new QPushButton("Загрузить..."), "mbLoadCapturePr");
    mbSaveCapturePr = Named(new QPushButton("Сохранить..."), "mbSaveCapturePr");
    SetHint(mbChangeCapturePr, "Изменение параметров видеозахвата");
    SetHint(mbLoadCapturePr, "Загрузка параметров видеозахвата из файла");
    SetHint(mbSaveCapturePr, "Сохранение параметров видеозахвата в файл (только для профиля пользователя)");
    auto* profileButtons = new QHBoxLayout;
    profileButtons->addWidget(mbChangeCapturePr);
    profileButtons->addWidget(mbLoadCapturePr);
    profileButtons->addWidget(mbSaveCapturePr);
    profile->addLayout(profileButtons, 5, 0, 1, 2);
    gbCaptureProfile = Group("gbCaptureProfile", " Формат видео при видеозахвате ", profile);
    gbCaptureProfile->setFixedWidth(320);
    layout->addWidget(gbCaptureProfile);
    return column;
}

QWidget* TMain::CreateVideoPage()
{
    TabSheet1 = Named(new QWidget, "TabSheet1");
    TabSheet1->setProperty(kHelpTopicProperty, "page-video");
    auto* layout = new QVBoxLayout(TabSheet1);
    auto* bars = new QGridLayout;
    struct BarRow {
        const char* caption;
        QSlider** bar;
        const char* barName;
        QLabel** value;
        const char* valueName;
        int tag;
    };
    const BarRow rows[] = {{"Яркость", &tbBrightness, "tbBrightness", &lbBrightness, "lbBrightness", 1},
                           {"Контрастность", &tbContrast, "tbContrast", &lbContrast, "lbContrast", 2},
                           {"Оттенок", &tbHue, "tbHue", &lbHue, "lbHue", 3},
                           {"Насыщенность", &tbSaturation, "tbSaturation", &lbSaturation, "lbSaturation", 4},
                           {"Резкость", &tbSharpness, "tbSharpness", &lbSharpness, "lbSharpness", 5},
                           {"Громкость", &tbAudioVol, "tbAudioVol", &lbAudioVol, "lbAudioVol", 101}};
    int r = 0;
    for (const BarRow& row : rows) {
        auto* caption = new QLabel(row.caption);
        *row.bar = Named(new QSlider(Qt::Horizontal), row.barName);
        (*row.bar)->setTickPosition(QSlider::TicksBelow);
        (*row.bar)->setPageStep(1);
        (*row.bar)->setProperty("tag", row.tag);
        *row.value = Named(new QLabel("0"), row.valueName);
        (*row.value)->setMinimumWidth(36);
        (*row.value)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setBuddy(*row.bar);
        bars->addWidget(caption, r, 0, 1, 2);
        bars->addWidget(*row.bar, r + 1, 0);
        bars->addWidget(*row.value, r + 1, 1);
        r += 2;
    }
    layout->addLayout(bars);
    cbMute = Named(new QCheckBox("Отключить звук (mute)"), "cbMute");
    layout->addWidget(cbMute);

    auto* inputs = new QGridLayout;
    cbVideoIn = Named(new QComboBox, "cbVideoIn");
    cbVideoOut = Named(new QComboBox, "cbVideoOut");
    for (QComboBox* box : {cbVideoIn, cbVideoOut}) box->addItems({"Композитный", "S-видео"});
    auto* in = new QLabel("Вход:");
    auto* out = new QLabel("Выход:");
    in->setBuddy(cbVideoIn);
    out->setBuddy(cbVideoOut);
    inputs->addWidget(in, 0, 0);
    inputs->addWidget(cbVideoIn, 0, 1);
    inputs->addWidget(out, 1, 0);
    inputs->addWidget(cbVideoOut, 1, 1);
    layout->addLayout(inputs);
    cbDisablePreview = Named(new QCheckBox("Отключить предварительный просмотр"), "cbDisablePreview");
    SetHint(cbDisablePreview, "Запись без показа видео и звука");
    layout->addWidget(cbDisablePreview);

    BitBtn4 = Named(new QPushButton("Сохранить..."), "BitBtn4");
    BitBtn5 = Named(new QPushButton("Загрузить..."), "BitBtn5");
    SetHint(BitBtn4, "Сохранение параметров видеосигнала в файл");
    SetHint(BitBtn5, "Загрузка параметров видеосигнала из файла");
    auto* files = new QHBoxLayout;
    files->addWidget(BitBtn4);
    files->addWidget(BitBtn5);
    layout->addLayout(files);
    layout->addStretch();
    return TabSheet1;
}

QWidget* TMain::CreateFilePage()
{
    tsFile = Named(new QWidget, "tsFile");
    tsFile->setProperty(kHelpTopicProperty, "page-file");
    auto* layout = new QVBoxLayout(tsFile);

    auto* names = new QGridLayout;
    deDirectory = Named(new QLineEdit, "deDirectory");
    deDirectoryButton = Tool("deDirectoryButton", "Путь к папке, в которой размещаются файлы");
    SetHint(deDirectory, "Путь к папке, в которой размещаются файлы");
    edFileName = Named(new QLineEdit("test.mpg"), "edFileName");
    edFileNameButton = Tool("edFileNameButton", "Выбор имени файла");
    SetHint(edFileName, "Имя файла для записи и воспроизведения");
    auto* dirCaption = new QLabel("Папка:");
    auto* nameCaption = new QLabel("Имя файла:");
    dirCaption->setBuddy(deDirectory);
    nameCaption->setBuddy(edFileName);
    names->addWidget(dirCaption, 0, 0);
    names->addWidget(deDirectory, 0, 1);
    names->addWidget(deDirectoryButton, 0, 2);
    names->addWidget(nameCaption, 1, 0);
    names->addWidget(edFileName, 1, 1);
    names->addWidget(edFileNameButton, 1, 2);
    layout->addLayout(names);
    cbAutoFileName = Named(new QCheckBox("Автоматическое  именование файлов"), "cbAutoFileName");
    cbTextDescr = Named(new QCheckBox("Создавать текстовое описание файла"), "cbTextDescr");
    layout->addWidget(cbAutoFileName);
    layout->addWidget(cbTextDescr);

    auto* split = new QHBoxLayout;
    cbSplitFile = Named(new QCheckBox("Разбивать видео на фрагменты "), "cbSplitFile");
    seFileSplitSize = Spin("seFileSplitSize", kFileSplitSizeRange, 2000);
    seFileSplitSize->setSuffix(" Мб");
    seFileSplitSize->setAccessibleName("Размер фрагмента, Мб");
    sbSplitSize = Tool("sbSplitSize", "Стандартные размеры фрагмента");
    split->addWidget(cbSplitFile);
    split->addWidget(seFileSplitSize, 1);
    split->addWidget(sbSplitSize);
    layout->addLayout(split);

    auto* stops = new QGridLayout;
    cbStopAfterMaxSize = Named(new QCheckBox("При достижении размера "), "cbStopAfterMaxSize");
    seStopSize = Spin("seStopSize", kStopSizeRange, 2000);
    seStopSize->setSuffix(" Мб");
    seStopSize->setAccessibleName("Размер для автоматического отключения, Мб");
    sbStopSize = Tool("sbStopSize", "Стандартные размеры");
    cbStopAfterNoSignal = Named(new QCheckBox("При отсутствии сигнала"), "cbStopAfterNoSignal");
    seStopNoSignal = Spin("seStopNoSignal", kStopNoSignalRange, 2);
    seStopNoSignal->setSuffix(" сек");
    seStopNoSignal->setAccessibleName("Время без сигнала, сек");
    cbStopAfterTime = Named(new QCheckBox("При достижении длительности"), "cbStopAfterTime");
    teStopTime = Named(new QTimeEdit(QTime(1, 30, 0)), "teStopTime");
    teStopTime->setDisplayFormat("HH:mm:ss");
    teStopTime->setAccessibleName("Длительность для автоматического отключения");
    stops->addWidget(cbStopAfterMaxSize, 0, 0);
    stops->addWidget(seStopSize, 0, 1);
    stops->addWidget(sbStopSize, 0, 2);
    stops->addWidget(cbStopAfterNoSignal, 1, 0);
    stops->addWidget(seStopNoSignal, 1, 1);
    stops->addWidget(cbStopAfterTime, 2, 0);
    stops->addWidget(teStopTime, 2, 1);
    gbAutoOff = Group("gbAutoOff", " Автоматическое отключение ", stops);
    layout->addWidget(gbAutoOff);

    auto* disk = new QGridLayout;
    gaDiskInfo = Named(new PieGauge, "gaDiskInfo");
    gaDiskInfo->setFixedSize(91, 91);
    disk->addWidget(gaDiskInfo, 0, 0, 3, 1);
    const std::pair<const char*, QLabel**> rows[] = {{"Объем:", &lbDiskSize}, {"Занято:", &lbDiskZan}, {"Свободно:", &lbDiskFree}};
    const char* labelNames[] = {"lbDiskSize", "lbDiskZan", "lbDiskFree"};
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(rows[i].first);
        *rows[i].second = Value(labelNames[i]);
        caption->setBuddy(*rows[i].second);
        disk->addWidget(caption, i, 1);
        disk->addWidget(*rows[i].second, i, 2);
    }
    disk->setColumnStretch(2, 1);
    layout->addWidget(Group("gbDiskInfo", " Свободное место на диске ", disk));
    layout->addStretch();
    return tsFile;
}

QWidget* TMain::CreateStatisticsPage()
{
    TabSheet3 = Named(new QWidget, "TabSheet3");
    TabSheet3->setProperty(kHelpTopicProperty, "page-stats");
    auto* layout = new QVBoxLayout(TabSheet3);
    auto* values = new QGridLayout;
    const std::pair<const char*, QLabel**> rows[] = {{"Устройство:", &lbDeviceName},
                                                     {"Длительность:", &lbCaptureLength},
                                                     {"Размер:", &lbCapturedSize},
                                                     {"Средний битрейт:", &lbAvgBitrate}};
    const char* names[] = {"lbDeviceName", "lbCaptureLength", "lbCapturedSize", "lbAvgBitrate"};
    for (int i = 0; i < 4; ++i) {
        auto* caption = new QLabel(rows[i].first);
        *rows[i].second = Value(names[i]);
        caption->setBuddy(*rows[i].second);
        values->addWidget(caption, i, 0);
        values->addWidget(*rows[i].second, i, 1);
    }
    values->setColumnStretch(1, 1);
    layout->addLayout(values);
    sgSizePrognoz = Grid("sgSizePrognoz", 8, {64, 113, 116});
    auto* sizeLayout = new QVBoxLayout;
    sizeLayout->addWidget(sgSizePrognoz);
    layout->addWidget(Group("gbSizePrognoz", " Прогнозируемый размер файла ", sizeLayout));
    sgDiskPrognoz = Grid("sgDiskPrognoz", 5, {89, 113, 104});
    auto* diskLayout = new QVBoxLayout;
    diskLayout->addWidget(sgDiskPrognoz);
    cbShowHHMM = Named(new QCheckBox("Отображать время в часах и минутах"), "cbShowHHMM");
    diskLayout->addWidget(cbShowHHMM);
    layout->addWidget(Group("gbDiskPrognoz", " Прогноз емкости диска ", diskLayout));
    layout->addStretch();
    return TabSheet3;
}

void TMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    const int widths[] = {400, 150, 70, 50};
    for (int i = 0; i < 4; ++i) {
        StatusBar1[static_cast<std::size_t>(i)] = new QLabel;
        QLabel* panel = StatusBar1[static_cast<std::size_t>(i)];
        panel->setObjectName(QString("StatusBar1_%1").arg(i));
        panel->setAccessibleName(QString("Строка состояния, панель %1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 1 || i == 2) panel->setAlignment(Qt::AlignCenter);
        bar->addWidget(panel);
    }
}

void TMain::ConnectHandlers()
{
    connect(mbStartPreview, &QPushButton::clicked, this, &TMain::mbStartPreviewClick);
    connect(mbCapture, &QPushButton::clicked, this, &TMain::mbCaptureClick);
    connect(mbPlayback, &QPushButton::clicked, this, &TMain::mbPlaybackClick);
    connect(mbStop, &QPushButton::clicked, this, &TMain::mbStopClick);
    connect(mbChangeCapturePr, &QPushButton::clicked, this, &TMain::mbChangeCapturePrClick);
    connect(mbSaveCapturePr, &QPushButton::clicked, this, &TMain::mbSaveCapturePrClick);
    connect(mbLoadCapturePr, &QPushButton::clicked, this, &TMain::mbLoadCapturePrClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TMain::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TMain::BitBtn5Click);
    // A position set from code acts on the board too (a loaded signal file does).
    for (QSlider* bar : {tbBrightness, tbContrast, tbHue, tbSaturation, tbSharpness, tbAudioVol})
        connect(bar, &QSlider::valueChanged, this, [this, bar] { tbSharpnessChange(bar); });
    // An item set from code does not: only the user's choice reaches the board.
    connect(cbVideoIn, &QComboBox::activated, this, &TMain::cbVideoInChange);
    connect(cbVideoOut, &QComboBox::activated, this, &TMain::cbVideoOutClick);
    // A check state set from code runs the handler, as a click does (a loaded mute
    // state reaches the board; loaded settings rewrite what depends on them).
    connect(cbMute, &QCheckBox::toggled, this, &TMain::cbMuteClick);
    connect(cbAutoFileName, &QCheckBox::toggled, this, &TMain::cbAutoFileNameClick);
    connect(cbTextDescr, &QCheckBox::toggled, this, &TMain::cbAutoFileNameClick);
    for (QCheckBox* stop : {cbStopAfterMaxSize, cbStopAfterNoSignal, cbStopAfterTime})
        connect(stop, &QCheckBox::toggled, this, [this] { ShowCaptureProfile(Profile); });
    connect(deDirectoryButton, &QToolButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, "Выбор папки", deDirectory->text());
        if (!folder.isEmpty()) deDirectory->setText(folder);
    });
    connect(edFileNameButton, &QToolButton::clicked, this, [this] {
        const QString name = ChooseExistingFileName(
            this, QString::fromStdString(TrimDirectory(deDirectory->text().toStdString())));
        if (!name.isEmpty()) edFileName->setText(name);
    });
    AttachSplitSizeMenu(sbSplitSize, seFileSplitSize);
    AttachStopSizeMenu(sbStopSize, seStopSize);
}

void TMain::ConnectMenu()
{
    // Closing by the menu follows the closing rules, as the window's own button.
    connect(menu.mmExit, &QAction::triggered, this, &QWidget::close);
    connect(menu.mmSetup, &QAction::triggered, this, &TMain::mmSetupClick);
    connect(menu.mmCodecSetup, &QAction::triggered, this, &TMain::mmCodecSetupClick);
    connect(menu.dsd, &QAction::triggered, this, &TMain::dsdClick);
    connect(menu.N5, &QAction::triggered, this, &TMain::N5Click);
}

}  // namespace encoderdesk
