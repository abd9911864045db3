// The main window as the monitoring sees it (MonitorHost), the device connected
// again after a failed graph, and the menu's items.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>

#include "core/AppSettings.h"
#include "core/FileNaming.h"
#include "forms/HelpWindow.h"
#include "forms/TAboutDLG.h"
#include "forms/TCodecSetup.h"
#include "forms/TSetupDLG.h"
#include "ui/TMain.h"

namespace encoderdesk {

MonitorPhase TMain::Phase() const
{
    switch (status_) {
    case dsInitMode: return MonitorPhase::Transient;
    case dsPreview: return MonitorPhase::Preview;
    case dsOnTheFlyCapture:
    case dsCapture: return MonitorPhase::Recording;
    case dsPlayback: return MonitorPhase::Playback;
    case dsIdle: break;
    }
    return MonitorPhase::Idle;
}

AutoStopLimits TMain::AutoStopSettings() const
{
    AutoStopLimits limits;
    limits.afterMaxSize = cbStopAfterMaxSize->isChecked();
    limits.stopSizeMB = seStopSize->value();
    limits.afterNoSignal = cbStopAfterNoSignal->isChecked();
    limits.noSignalSeconds = seStopNoSignal->value();
    limits.afterTime = cbStopAfterTime->isChecked();
    limits.stopTimeSeconds = QTime(0, 0).secsTo(teStopTime->time());
    return limits;
}

bool TMain::HoursAndMinutes() const { return cbShowHHMM->isChecked(); }

std::string TMain::CaptureDirectory() const { return NormalizeDirectory(deDirectory->text().toStdString()); }

bool TMain::ReconnectDevice()
{
    // The failed graph leaves the SDK unable to build another until it starts
    // afresh; it was initialized twice (program start and ConnectDevice).
    QUVO_CALL(sdk, QuvoUninitialize);
    QUVO_CALL(sdk, QuvoUninitialize);
    uint32_t mask = 0;
    if (QUVO_CALL(sdk, QuvoInitialize, &mask) != QUVO_SUCCESS) return false;
    ConnectDevice();
    return true;
}

void TMain::mmSetupClick()
{
    if (!forms_.setup) return;
    // An installed program's settings live in the user's folder, made on first use.
    QDir().mkpath(QString::fromStdString(settingsFile_.substr(0, settingsFile_.rfind('/') + 1)));
    IniStartupKeys keys(settingsFile_);
    forms_.setup->SetProfileDirectory(ProfileDirectory);
    forms_.setup->EditStartupProfile(keys);
    if (!keys.LastError().empty()) ShowError(QString::fromStdString(keys.LastError()));
}

void TMain::mmCodecSetupClick()
{
    if (forms_.codecSetup) forms_.codecSetup->EditDecoderSettings();
}

void TMain::dsdClick() { HelpWindow::Instance()->ShowContents(); }

void TMain::N5Click()
{
    if (forms_.about) forms_.about->exec();
}

}  // namespace encoderdesk
