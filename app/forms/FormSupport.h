// Small things every form of the program shares.
#pragma once

class QDialog;
class QHBoxLayout;
class QWidget;

namespace encoderdesk {

// The help page a window (or a page of one) opens with F1: a dynamic property
// holding the page's name, such as "capture-setup".
inline constexpr const char* kHelpTopicProperty = "helpTopic";

// Gives every control under `root` without an accessible name one: its caption,
// title or text, else the label that names it, else its hint. Screen readers and
// desktop automation find the controls by these names.
void NameForAccessibility(QWidget* root);

// The dialog's bottom row: `left` (may be null) at the left, then the OK button
// "BitBtn1" (the default) and the cancel button "Отмена" "BitBtn2" at the right.
QHBoxLayout* OkCancelRow(QDialog* dialog, QWidget* left = nullptr);

}  // namespace encoderdesk
