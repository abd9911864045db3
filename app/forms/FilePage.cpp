#include "forms/FilePage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

namespace encoderdesk {
namespace {

struct SizeItem {
    const char* name;
    const char* caption;
    int value;  // MB; 0: a separator
};

QMenu* Attach(QToolButton* button, QSpinBox* target, const char* menuName, std::initializer_list<SizeItem> items)
{
    auto* menu = new QMenu(button);
    menu->setObjectName(menuName);
    for (const SizeItem& item : items) {
        if (item.value == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(item.name);
        const int value = item.value;
        QObject::connect(action, &QAction::triggered, target, [target, value] { target->setValue(value); });
    }
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    return menu;
}

}  // namespace

QMenu* AttachSplitSizeMenu(QToolButton* button, QSpinBox* target)
{
    return Attach(button, target, "pmSplitSize",
                  {{"mmSplitSize1", "650 Мб", 650},
                   {"mmSplitSize2", "700 Мб", 700},
                   {"mmSplitSize3", "2000 Мб", 2000},
                   {"mmSplitSize4", "4000 Мб", 4000},
                   {"", "", 0},
                   {"mmSplitSize5", "DVD-R (4480 МБ)", 4480}});
}

QMenu* AttachStopSizeMenu(QToolButton* button, QSpinBox* target)
{
    return Attach(button, target, "pmStopSize",
                  {{"MenuItem1", "650 Мб", 650},
                   {"MenuItem2", "700 Мб", 700},
                   {"MenuItem3", "2000 Мб", 2000},
                   {"MenuItem4", "4000 Мб", 4000}});
}

QString ChooseExistingFileName(QWidget* parent, const QString& directory)
{
    // Qt's dialogs accept only existing files here, never change the process's
    // current directory, and have no read-only box.
    const QString path = QFileDialog::getOpenFileName(parent, QString(), directory, "Все файлы (*)");
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

}  // namespace encoderdesk
