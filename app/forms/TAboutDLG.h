// The about box: the program's picture, name, authorship and version.
#pragma once

#include <QDialog>

namespace encoderdesk {

class TAboutDLG : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDLG(QWidget* parent = nullptr);
};

}  // namespace encoderdesk
