// The main window's menu ("Файл", "Настройки", "Справка") and its hints, and the
// routing of every control's hint to panel 0 of the status bar.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QMenuBar;
class QWidget;

namespace encoderdesk {

struct MainMenuActions {
    QAction* mmExit = nullptr;
    QAction* mmSetup = nullptr;       // enabled only while the device is idle
    QAction* mmCodecSetup = nullptr;  // likewise
    QAction* dsd = nullptr;           // the help's contents and search
    QAction* N5 = nullptr;            // the about box
};

// Fills `bar` with the menus and items, their object names and hints.
MainMenuActions CreateMainMenu(QMenuBar* bar);

// The long part of a hint: the text after "|", or the whole hint without one.
QString LongHint(const QString& hint);

// Gives `control` the hint "short|long": the short part as its tooltip, the long
// part for the status bar.
void SetHint(QWidget* control, const QString& hint);

// Shows the long hint of whatever is under the mouse (controls and menu items) in
// `panel`, and clears it when the mouse leaves them.
class HintRouter : public QObject {
    Q_OBJECT
public:
    HintRouter(QWidget* window, QLabel* panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* panel_;
};

}  // namespace encoderdesk
