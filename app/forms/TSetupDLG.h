// The startup profile dialog ("Настройка"): the profile the program starts with.
#pragma once

#include <QDialog>

#include <functional>

#include "core/StartupProfileModel.h"

class QLineEdit;
class QRadioButton;

namespace encoderdesk {

class TSetupDLG : public QDialog {
    Q_OBJECT
public:
    // `profileDirectory`: where the file dialog opens (the main window's).
    explicit TSetupDLG(QWidget* parent = nullptr);

    void SetProfileDirectory(const QString& directory) { profileDirectory_ = directory; }

    // Reads the keys, shows the dialog modally, writes them on OK; true for OK.
    bool EditStartupProfile(StartupKeys& keys);

    // The file dialog of the name field's button (replaceable for the window's tests).
    std::function<QString(QWidget* parent, const QString& directory)> chooseFile;

private:
    void ShowModel();
    void ReadControls();

    StartupProfileModel model_;
    QRadioButton* buttons_[4] = {};
    QLineEdit* edFileName_ = nullptr;
    QString profileDirectory_;
};

}  // namespace encoderdesk
