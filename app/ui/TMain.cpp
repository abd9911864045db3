#include "ui/TMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/FileNaming.h"
#include "core/ProgramLocations.h"
#include "core/SignalControls.h"
#include "core/TextDescription.h"
#include "forms/TCaptureSetupDLG.h"
#include "forms/TrayIcon.h"
#include "ui/VideoPanel.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::tm LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The user's configuration and data folders.
std::string ConfigHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}
std::string DataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}

}  // namespace

TMain::TMain(QWidget* parent) : QMainWindow(parent), clock(&LocalTimeNow)
{
    window_ = QuvoWindowCreate(&TMain::OnWindowMessage, nullptr, this);
    CreateControls();
    tray_ = new TrayIcon(this);
    monitor_ = new MonitorController(this, *this, StatusBar1[1], StatusBar1[2], tray_);
    ConnectHandlers();
    ConnectMenu();
    FormCreate();
}

TMain::~TMain()
{
    FormDestroy();
    // After this no message callback runs for the window.
    QuvoWindowDestroy(window_);
}

// The SDK posts from its own threads: the message is handled on the GUI thread.
void TMain::OnWindowMessage(QUVO_WINDOW, uint32_t message, uintptr_t, intptr_t, void* context)
{
    auto* self = static_cast<TMain*>(context);
    if (message == WM_DEVICE_EVENT) QMetaObject::invokeMethod(self, &TMain::WmDeviceEvent, Qt::QueuedConnection);
}

void TMain::FormCreate()
{
    monitor_->ClearStatistics();
    monitor_->FillFixedForecastCells();
    new HintRouter(this, StatusBar1[0]);
    Profile.ProfileCode = kProfileVideoCd;
    const ProgramLocations where =
        FindProgramLocations(QCoreApplication::applicationDirPath().toStdString(), ConfigHome(), DataHome());
    settingsFile_ = where.settingsFile;
    ProfileDirectory = Q(where.profileDirectory);
    QDir().mkpath(ProfileDirectory);
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    deDirectory->setText(videos.isEmpty() ? QDir::homePath() : videos);
    monitor_->UpdateDiskInfo();
    ConnectDevice();
    LoadSettings();
    MakeFileName();
    // Fixed from here on: the window has no maximise box and keeps its size.
    setFixedSize(sizeHint());
    formCreated_ = true;
}

void TMain::ConnectDevice()
{
    DeviceName.clear();
    SetDeviceStatus(dsIdle);
    SupportedResolutions = {0, 0};
    uint32_t mask = 0;
    QUVO_CALL(sdk, QuvoInitialize, &mask);
    QUVO_WCHAR name[500] = {};
    uint32_t length = 0;
    QUVO_CALL(sdk, QuvoGetDeviceName, name, 500u, &length);
    DeviceName = DeviceNameText(name, 500, length);
    lbDeviceName->setText(Q(DeviceName));
    QUVO_CALL(sdk, QuvoSetEventNotificationWindow, window_, WM_DEVICE_EVENT);
    for (std::uint32_t standard = 1; standard <= 2; ++standard) {
        QUVO_CALL(sdk, QuvoSetVideoCompressionStandard, standard);
        QUVO_CALL(sdk, QuvoGetSupportedVideoResolutions, &SupportedResolutions[standard - 1]);
        QUVO_CALL(sdk, QuvoGetSupportedVideoBitrates, &SupportedBitrates[standard - 1]);
    }
    ReadSignalRanges();
    ReadSignalValues();
    ApplyPresetDefaults(Profile);
    ShowCaptureProfile(Profile);
    StopAll();
}

void TMain::EnableButtons(int set)
{
    mbStartPreview->setEnabled(set & kButtonPreview);
    mbCapture->setEnabled(set & kButtonCapture);
    mbPlayback->setEnabled(set & kButtonPlayback);
    mbStop->setEnabled(set & kButtonStop);
}

void TMain::SetDeviceStatus(TDeviceStatus status)
{
    status_ = status;
    const StatusView view = ViewOf(status);
    for (QWidget* w : std::initializer_list<QWidget*>{cbVideoIn, cbVideoOut, cbDisablePreview, tbAudioVol,
                                                      mbChangeCapturePr, cbMute, deDirectory, deDirectoryButton,
                                                      edFileName, edFileNameButton, cbAutoFileName, cbSplitFile,
                                                      seFileSplitSize, sbSplitSize})
        w->setEnabled(view.settingsEnabled);
    if (view.settingsEnabled) cbAutoFileNameClick();  // the name field follows automatic naming
    for (QAction* item : {menu.mmSetup, menu.mmCodecSetup}) item->setEnabled(view.settingsEnabled);
    gbAutoOff->setEnabled(view.autoOffEnabled);
    EnableButtons(view.buttons);
    SetStatusText(QString::fromUtf8(view.text));
    // Statistics cleared, counters restarted, tray animation, statistics shown.
    monitor_->StatusChanged(Phase());
}

QString TMain::StatusText() const { return pnState->text(); }

void TMain::SetStatusText(const QString& text)
{
    pnState->setText(text);
    pnState->repaint();
}

std::string TMain::CurrentFile() const
{
    return encoderdesk::CurrentFile(deDirectory->text().toStdString(), edFileName->text().toStdString());
}

void TMain::StopAll()
{
    SetDeviceStatus(dsIdle);
    QUVO_CALL(sdk, QuvoStopPreview);
    QUVO_CALL(sdk, QuvoStopCapture);
    QUVO_CALL(sdk, QuvoStopRecording);
    QUVO_CALL(sdk, QuvoStopPlayback);
    PreviewPanel->Clear();
    const std::string file = CurrentFile();
    if (!FileExists(file)) return;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        ShowError("Не удалось открыть файл " + Q(file) + ": " + QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    if (in.tellg() != 0) return;
    in.close();
    // Nothing was recorded: the file and its companions go.
    std::error_code ec;
    fs::remove(file, ec);
    for (const char* companion : {".mzl", ".txt"}) fs::remove(FindIgnoringExtensionCase(ChangeFileExt(file, companion)), ec);
}

bool TMain::ApplyCaptureSettings(CaptureProfile p)
{
    ApplyPresetDefaults(p);
    QUVO_CALL(sdk, QuvoSetPreviewWindow, PreviewPanel->Handle(), 1, 1, 320, 240);
    if (p.MpegType == kMpeg1) QUVO_CALL(sdk, QuvoSetVideoCompressionStandard, 1u);
    if (p.MpegType == kMpeg2) QUVO_CALL(sdk, QuvoSetVideoCompressionStandard, 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QUVO_CALL(sdk, QuvoSetVideoResolution, static_cast<uint32_t>(p.FrameSizeCode));
    QUVO_CALL(sdk, QuvoSetVideoBitrate, p.Vbr ? 0xFFFFFFFFu : 0u, static_cast<uint32_t>(p.Bitrate),
              static_cast<uint32_t>(p.PeakBitrate));
    QUVO_CALL(sdk, QuvoSetFileSizeLimit, FileSizeLimitUnits(cbSplitFile->isChecked(), seFileSplitSize->value()));
    QUVO_CALL(sdk, QuvoSetCaptureLimit, 0xFFFFFFFFu);
    QUVO_CALL(sdk, QuvoSetAudioFormat, 16u);
    const std::string folder = NormalizeDirectory(deDirectory->text().toStdString());
    std::error_code ec;
    if (folder.empty() || (fs::create_directories(folder, ec), !fs::is_directory(folder, ec))) {
        ShowError("Unable to create directory");
        return false;
    }
    const std::string file = CurrentFile();
    QUVO_CALL(sdk, QuvoSetCaptureFileName, file.c_str(), static_cast<uint32_t>(Q(file).size()));
    const bool off = cbDisablePreview->isChecked();
    QUVO_CALL(sdk, QuvoSetPlaybackMode, off ? 1u : 8u);
    QUVO_CALL(sdk, QuvoSetPreviewMode, off ? 1u : 8u);
    PreviewPanel->SetCaption(off ? "Предварительный просмотр отключен" : "");
    return true;
}

void TMain::MakeFileName()
{
    edFileName->setText(Q(encoderdesk::MakeFileName(edFileName->text().toStdString(), cbAutoFileName->isChecked(), clock())));
    edFileName->repaint();
}

void TMain::mbStartPreviewClick()
{
    StopAll();
    MakeFileName();
    const std::string file = CurrentFile();
    if (FileExists(file) &&
        QMessageBox::warning(this, windowTitle(), Q(OverwriteQuestion(file)), QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes)
        return;
    SetDeviceStatus(dsInitMode);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!ApplyCaptureSettings(Profile)) return;
    // Each teardown ends the registration: without it this graph's events are lost.
    QUVO_CALL(sdk, QuvoSetEventNotificationWindow, window_, WM_DEVICE_EVENT);
    if (QUVO_CALL(sdk, QuvoStartPreview) == QUVO_SUCCESS) {
        SetDeviceStatus(dsPreview);
        return;
    }
    SetDeviceStatus(dsIdle);
    ShowError("Ошибка при включении предварительного просмотра");
}

void TMain::mbCaptureClick()
{
    QUVO_RESULT result;
    if (status_ == dsIdle) {
        StopAll();
        MakeFileName();
        // A recording that cannot get 30 seconds onto the drive is not started.
        if (!monitor_->RoomToRecord(Profile)) return;
        if (cbTextDescr->isChecked()) WriteTextDescription();
        if (!ApplyCaptureSettings(Profile)) return;
        SetDeviceStatus(dsInitMode);
        QUVO_CALL(sdk, QuvoSetEventNotificationWindow, window_, WM_DEVICE_EVENT);
        result = QUVO_CALL(sdk, QuvoStartCapture);
        if (result == QUVO_SUCCESS) SetDeviceStatus(dsCapture);
    } else {
        if (!monitor_->RoomToRecord(Profile)) return;  // the preview goes on
        if (cbTextDescr->isChecked()) WriteTextDescription();
        SetDeviceStatus(dsInitMode);
        result = QUVO_CALL(sdk, QuvoStartRecording);
        if (result == QUVO_SUCCESS) SetDeviceStatus(dsOnTheFlyCapture);
    }
    if (result == QUVO_SUCCESS) return;
    SetDeviceStatus(dsIdle);
    ShowError("Ошибка при включении захвата видео");
}

void TMain::mbPlaybackClick()
{
    if (!FileExists(CurrentFile())) {
        ShowError("Файл не найден !");
        return;
    }
    if (!ApplyCaptureSettings(Profile)) return;
    SetDeviceStatus(dsInitMode);
    QUVO_CALL(sdk, QuvoSetEventNotificationWindow, window_, WM_DEVICE_EVENT);
    if (QUVO_CALL(sdk, QuvoStartPlayback) == QUVO_SUCCESS) {
        SetDeviceStatus(dsPlayback);
        return;
    }
    SetDeviceStatus(dsIdle);
    ShowError("Ошибка при включении воспроизведения");
}

void TMain::mbChangeCapturePrClick()
{
    if (!forms_.captureSetup) return;
    forms_.captureSetup->SetBoard(SupportedResolutions,
                                  {BitrateCaps{SupportedBitrates[0].vbrAllowed, SupportedBitrates[0].bitrateMax,
                                               SupportedBitrates[0].bitrateMin, SupportedBitrates[0].peakMax,
                                               SupportedBitrates[0].bitrateStep, SupportedBitrates[0].peakStep},
                                   BitrateCaps{SupportedBitrates[1].vbrAllowed, SupportedBitrates[1].bitrateMax,
                                               SupportedBitrates[1].bitrateMin, SupportedBitrates[1].peakMax,
                                               SupportedBitrates[1].bitrateStep, SupportedBitrates[1].peakStep}});
    if (!forms_.captureSetup->EditProfile(Profile)) return;
    ShowCaptureProfile(Profile);
    ApplyCaptureSettings(Profile);
}

// One QuvoGetCurrentGraphStatus collects the graph's events; a failed graph
// ends the operation with its error box (MonitorController::GraphEvent).
void TMain::WmDeviceEvent() { monitor_->GraphEvent(); }

void TMain::WriteTextDescription()
{
    ApplyPresetDefaults(Profile);
    const std::tm t = clock();
    char when[64];
    std::snprintf(when, sizeof when, "%02d.%02d.%04d %d:%02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec);
    // Errors are not reported: the capture starts anyway.
    encoderdesk::WriteTextDescription(ChangeFileExt(CurrentFile(), ".txt"),
                                      {when, lbProfile->text().toStdString(), lbVideoFormat->text().toStdString(),
                                       lbBitrate->text().toStdString(), lbPeakBitrate->text().toStdString()});
}

bool TMain::FormCloseQuery()
{
    if (!CloseNeedsConfirmation(status_)) return true;
    return QMessageBox::question(this, windowTitle(), Q(CloseQuestion(DeviceName, StatusText().toStdString())),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TMain::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    SaveSettings();  // FormClose
    event->accept();
}

void TMain::FormDestroy()
{
    StopAll();
    QUVO_CALL(sdk, QuvoUninitialize);
}

void TMain::ShowError(const QString& text) { QMessageBox::critical(this, windowTitle(), text); }

}  // namespace encoderdesk
