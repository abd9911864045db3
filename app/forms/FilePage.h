// What the file page's buttons do beyond holding values: the menus of standard
// sizes behind the fragment-size and stop-size buttons, and the file name chosen
// by dialog.
#pragma once

#include <QString>

class QMenu;
class QSpinBox;
class QToolButton;
class QWidget;

namespace encoderdesk {

// "pmSplitSize" for the fragment size (650, 700, 2000, 4000 Мб, a separator,
// "DVD-R (4480 МБ)") or "pmStopSize" for the stop size (650 to 4000 Мб), shown by
// `button`; an item puts its value into `target`.
QMenu* AttachSplitSizeMenu(QToolButton* button, QSpinBox* target);
QMenu* AttachStopSizeMenu(QToolButton* button, QSpinBox* target);

// The file dialog of the name field: all files, existing ones only, opening in
// `directory` (the directory text trimmed). The chosen file's name without its
// folder, or empty when the user cancels.
QString ChooseExistingFileName(QWidget* parent, const QString& directory);

}  // namespace encoderdesk
