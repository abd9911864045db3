#include "forms/MainMenu.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>

namespace encoderdesk {
namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption, const QString& hint = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setStatusTip(LongHint(hint));
    return action;
}

QMenu* Menu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->setAccessibleName(caption);
    return menu;
}

}  // namespace

MainMenuActions CreateMainMenu(QMenuBar* bar)
{
    bar->setObjectName("MainMenu");
    bar->setAccessibleName("Главное меню");
    MainMenuActions a;
    QMenu* file = Menu(bar, "N1", "Файл");
    a.mmExit = Item(file, "mmExit", "Выход");
    QMenu* settings = Menu(bar, "N2", "Настройки");
    a.mmSetup = Item(settings, "mmSetup", "Настройки", "Настройки программы");
    settings->addSeparator()->setObjectName("N4");
    a.mmCodecSetup = Item(settings, "mmCodecSetup", "Настройки кодека", "Настройки кодеков Mpeg2");
    QMenu* help = Menu(bar, "Cghfdrf1", "Справка");
    a.dsd = Item(help, "dsd", "Справка");
    help->addSeparator()->setObjectName("N3");
    a.N5 = Item(help, "N5", "О программе");
    return a;
}

QString LongHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf('|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget* control, const QString& hint)
{
    const qsizetype bar = hint.indexOf('|');
    control->setToolTip(bar < 0 ? hint : hint.left(bar));
    control->setStatusTip(LongHint(hint));
    if (control->accessibleName().isEmpty() && control->property("text").toString().isEmpty())
        control->setAccessibleName(control->toolTip());
}

HintRouter::HintRouter(QWidget* window, QLabel* panel) : QObject(window), panel_(panel)
{
    window->installEventFilter(this);
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event)
{
    // Qt sends each hover's status tip to the window, an empty one on leaving;
    // the window then shows it in panel 0 instead of its own message line.
    if (event->type() == QEvent::StatusTip) {
        panel_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace encoderdesk
