// The main window's settings file: read once after the device is connected,
// written once when the window closes.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>

#include "core/AppSettings.h"
#include "core/ProfileFiles.h"
#include "ui/TMain.h"

namespace encoderdesk {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// An item index outside the selector keeps what the board reported.
void SetItem(QComboBox* box, int item)
{
    if (item >= 0 && item < box->count()) box->setCurrentIndex(item);
}

}  // namespace

void TMain::LoadSettings()
{
    const AppSettings s = LoadAppSettings(settingsFile_, deDirectory->text().toStdString());
    // Item indexes are only shown: nothing reaches the board (activated is not emitted).
    SetItem(cbVideoIn, s.videoIn);
    SetItem(cbVideoOut, s.videoOut);
    cbDisablePreview->setChecked(s.disablePreview);
    cbAutoFileName->setChecked(s.autoFileName);
    deDirectory->setText(Q(s.directory));
    edFileName->setText(Q(s.fileName));
    cbSplitFile->setChecked(s.splitFile);
    seFileSplitSize->setValue(s.splitFileSize);
    cbTextDescr->setChecked(s.textDescr);
    cbStopAfterMaxSize->setChecked(s.stopAfterMaxSize);
    seStopSize->setValue(s.stopSize);
    cbStopAfterNoSignal->setChecked(s.stopAfterNoSignal);
    seStopNoSignal->setValue(s.stopNoSignal);
    cbStopAfterTime->setChecked(s.stopAfterTime);
    teStopTime->setTime(QTime(0, 0).addSecs(s.stopTimeSeconds));
    cbShowHHMM->setChecked(s.showHHMM);
    cbAutoFileNameClick();

    const StartupProfile startup = ReadStartupProfile(settingsFile_);
    if (startup.profile >= kProfileVideoCd && startup.profile <= kProfileDvd)
        Profile.ProfileCode = static_cast<std::uint8_t>(startup.profile);
    else if (startup.profile == kProfileUser)
        LoadCaptureProfile(startup.profileName, Profile);
    ShowCaptureProfile(Profile);
}

void TMain::SaveSettings()
{
    AppSettings s;
    s.videoIn = cbVideoIn->currentIndex();
    s.videoOut = cbVideoOut->currentIndex();
    s.disablePreview = cbDisablePreview->isChecked();
    s.autoFileName = cbAutoFileName->isChecked();
    s.directory = deDirectory->text().toStdString();
    s.fileName = edFileName->text().toStdString();
    s.splitFile = cbSplitFile->isChecked();
    s.splitFileSize = seFileSplitSize->value();
    s.textDescr = cbTextDescr->isChecked();
    s.stopAfterMaxSize = cbStopAfterMaxSize->isChecked();
    s.stopSize = seStopSize->value();
    s.stopAfterNoSignal = cbStopAfterNoSignal->isChecked();
    s.stopNoSignal = seStopNoSignal->value();
    s.stopAfterTime = cbStopAfterTime->isChecked();
    s.stopTimeSeconds = QTime(0, 0).secsTo(teStopTime->time());
    s.showHHMM = cbShowHHMM->isChecked();
    // An installed program's settings live in the user's folder, made on first use.
    const std::size_t slash = settingsFile_.rfind('/');
    if (slash != std::string::npos) QDir().mkpath(Q(settingsFile_.substr(0, slash)));
    std::string error;
    if (!SaveAppSettings(settingsFile_, s, error)) ShowError(Q(error));
}

}  // namespace encoderdesk
