// The program's help: Russian HTML pages shipped inside the program, shown in a
// window with the contents and a full-text search. F1 in any window of the
// program opens the page of the window in front (InstallHelpKey).
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace encoderdesk {

struct HelpPage {
    const char* name;   // file name without ".html", also the windows' help topic
    const char* title;
};

// Every page, in the order of the contents.
const QList<HelpPage>& HelpPages();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // The one help window of the program (created on first use).
    static HelpWindow* Instance();

    // "Справка": the contents and search window at the contents.
    void ShowContents();
    // The page of `topic` (a page name; unknown names open the contents).
    void ShowTopic(const QString& topic);

    // The pages whose text holds every word of `query` (case-blind), by title.
    QStringList Search(const QString& query) const;
    QString CurrentPage() const;

private:
    HelpWindow();
    void Present();
    void RunSearch();

    QTabWidget* side_ = nullptr;
    QListWidget* contents_ = nullptr;
    QLineEdit* query_ = nullptr;
    QListWidget* results_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QList<QString> plainTexts_;  // per page, lower case, for the search
};

// The topic of `window`: the current page of its page control when that page
// names one, else the window's own, else "messages" for a message box, else the
// contents.
QString HelpTopicOf(const QWidget* window);

// Makes F1 open the help of the window in front, in every window of the program,
// modal dialogs and message boxes included.
void InstallHelpKey();

}  // namespace encoderdesk
