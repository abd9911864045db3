// The main window: the board's preview panel, the status panel, the four
// operation buttons and the capture profile group beside three pages (video
// signal, file, statistics). The window only wires its controls to the rules in
// encoderdesk_core and to QuvoSDK; every SDK call is made here, on the GUI thread,
// through `sdk`.
#pragma once

#include <QMainWindow>

#include <array>
#include <ctime>
#include <functional>
#include <string>

#include <quvo/QuvoSDK.h>
#include <quvo/QuvoWindow.h>

#include "core/CaptureProfile.h"
#include "core/DeviceStatus.h"
#include "core/ProfileFiles.h"
#include "forms/MainMenu.h"
#include "forms/MonitorController.h"
#include "ui/SdkCalls.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimeEdit;
class QToolButton;

namespace encoderdesk {

class PieGauge;
class TAboutDLG;
class TCaptureSetupDLG;
class TCodecSetup;
class TSetupDLG;
class TrayIcon;
class VideoPanel;

// The graph-event message the SDK posts to the window (WM_USER + 200).
inline constexpr std::uint32_t WM_DEVICE_EVENT = 1224;

// The four profile file dialogs.
enum class ProfileDialog { SaveCapture, OpenCapture, SaveSignal, OpenSignal };

// The monitoring of recordings (timers, statistics, disk, tray, a failed graph)
// is MonitorController's; the window answers its questions as MonitorHost.
class TMain : public QMainWindow, public MonitorHost {
    Q_OBJECT
public:
    // Runs FormCreate: the device is connected and the settings are loaded.
    explicit TMain(QWidget* parent = nullptr);
    // Runs FormDestroy: everything stops and the SDK is released.
    ~TMain() override;

    // The other forms, created after the main window.
    struct Forms {
        TCaptureSetupDLG* captureSetup = nullptr;
        TAboutDLG* about = nullptr;
        TSetupDLG* setup = nullptr;
        TCodecSetup* codecSetup = nullptr;
    };
    void SetForms(const Forms& forms) { forms_ = forms; }
    const Forms& GetForms() const { return forms_; }

    TDeviceStatus DeviceStatus() const { return status_; }
    void SetDeviceStatus(TDeviceStatus status);
    QString StatusText() const override;
    void SetStatusText(const QString& text);
    // NormalizeDirectory(deDirectory) followed by edFileName.
    std::string CurrentFile() const override;

    void StopAll() override;
    // False (after the error box) when the capture folder cannot be created.
    bool ApplyCaptureSettings(CaptureProfile profile);
    void MakeFileName();
    void ShowCaptureProfile(const CaptureProfile& profile);
    void ReadSignalRanges();
    void ReadSignalValues();
    void LoadSettings();
    void SaveSettings();

    // Handlers of the buttons and the graph-event message.
    void mbStartPreviewClick();
    void mbCaptureClick();
    void mbPlaybackClick();
    void mbStopClick() { StopAll(); }
    void mbChangeCapturePrClick();
    void mbSaveCapturePrClick();
    void mbLoadCapturePrClick();
    void BitBtn4Click();
    void BitBtn5Click();
    void WmDeviceEvent();

    // The menu's items.
    void mmSetupClick();
    void mmCodecSetupClick();
    void dsdClick();
    void N5Click();

    // MonitorHost.
    MonitorPhase Phase() const override;
    AutoStopLimits AutoStopSettings() const override;
    bool HoursAndMinutes() const override;
    std::string CaptureDirectory() const override;
    bool ReconnectDevice() override;

    MonitorController* Monitor() const { return monitor_; }
    TrayIcon* Tray() const { return tray_; }
    // State read by the dialogs and by the monitoring of recordings.
    CaptureProfile Profile;
    std::array<std::uint32_t, 2> SupportedResolutions{};  // index 0 MPEG1, 1 MPEG2
    std::array<SupportedVideoBitrates, 2> SupportedBitrates{};
    QString ProfileDirectory;
    std::string DeviceName;
    std::string SettingsFile() const { return settingsFile_; }

    // Every SDK call of the window; a test or benchmark may observe them.
    SdkCalls sdk;
    // The local time MakeFileName and the text description use.
    std::function<std::tm()> clock;
    // The file dialogs (a test answers them itself): the chosen name, or empty.
    std::function<QString(ProfileDialog dialog, const QString& directory)> chooseProfileFile;

    // The controls, by their names on the form.
    VideoPanel* PreviewPanel = nullptr;
    QLabel* pnState = nullptr;
    QPushButton *mbStartPreview = nullptr, *mbCapture = nullptr, *mbPlayback = nullptr, *mbStop = nullptr;
    QGroupBox* gbCaptureProfile = nullptr;
    QLabel *lbProfile = nullptr, *lbVideoFormat = nullptr, *lbBitrate = nullptr, *lbPeakBitrate = nullptr,
           *lbAutoOff = nullptr;
    QPushButton *mbChangeCapturePr = nullptr, *mbSaveCapturePr = nullptr, *mbLoadCapturePr = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *tsFile = nullptr, *TabSheet3 = nullptr;
    // Brightness, contrast, hue, saturation, sharpness, volume: tags 1-5 and 101.
    QSlider *tbBrightness = nullptr, *tbContrast = nullptr, *tbHue = nullptr, *tbSaturation = nullptr,
            *tbSharpness = nullptr, *tbAudioVol = nullptr;
    QLabel *lbBrightness = nullptr, *lbContrast = nullptr, *lbHue = nullptr, *lbSaturation = nullptr,
           *lbSharpness = nullptr, *lbAudioVol = nullptr;
    QCheckBox* cbMute = nullptr;
    QComboBox *cbVideoIn = nullptr, *cbVideoOut = nullptr;
    QCheckBox* cbDisablePreview = nullptr;
    QPushButton *BitBtn4 = nullptr, *BitBtn5 = nullptr;
    QLineEdit *deDirectory = nullptr, *edFileName = nullptr;
    QToolButton *deDirectoryButton = nullptr, *edFileNameButton = nullptr;
    QCheckBox *cbAutoFileName = nullptr, *cbSplitFile = nullptr, *cbTextDescr = nullptr;
    QSpinBox* seFileSplitSize = nullptr;
    QToolButton* sbSplitSize = nullptr;
    QGroupBox* gbAutoOff = nullptr;
    QCheckBox *cbStopAfterMaxSize = nullptr, *cbStopAfterNoSignal = nullptr, *cbStopAfterTime = nullptr;
    QSpinBox *seStopSize = nullptr, *seStopNoSignal = nullptr;
    QToolButton* sbStopSize = nullptr;
    QTimeEdit* teStopTime = nullptr;
    PieGauge* gaDiskInfo = nullptr;
    QLabel *lbDiskSize = nullptr, *lbDiskZan = nullptr, *lbDiskFree = nullptr;
    QLabel *lbDeviceName = nullptr, *lbCaptureLength = nullptr, *lbCapturedSize = nullptr, *lbAvgBitrate = nullptr;
    QTableWidget *sgSizePrognoz = nullptr, *sgDiskPrognoz = nullptr;
    QCheckBox* cbShowHHMM = nullptr;
    std::array<QLabel*, 4> StatusBar1{};  // the status bar's four panels
    MainMenuActions menu;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The form, built in TMainForm.cpp.
    void CreateControls();
    QWidget* CreateLeftColumn();
    QWidget* CreateVideoPage();
    QWidget* CreateFilePage();
    QWidget* CreateStatisticsPage();
    void CreateStatusBar();
    void ConnectHandlers();
    void ConnectMenu();

    void FormCreate();
    void ConnectDevice();
    bool FormCloseQuery();
    void FormDestroy();
    void EnableButtons(int set);
    void WriteTextDescription();
    void ShowError(const QString& text);

    // The signal controls (TMainSignal.cpp).
    void tbSharpnessChange(QSlider* bar);
    void cbVideoInChange();
    void cbVideoOutClick();
    void cbMuteClick();
    void cbAutoFileNameClick();
    SignalSettings CurrentSignalSettings() const;
    QString AskFile(ProfileDialog dialog);
    QSlider* Bar(int index) const;
    QLabel* BarLabel(int index) const;

    static void OnWindowMessage(QUVO_WINDOW, uint32_t message, uintptr_t, intptr_t, void* context);

    TDeviceStatus status_ = dsIdle;
    bool Updating = false;
    bool formCreated_ = false;
    std::string settingsFile_;
    QUVO_WINDOW window_ = nullptr;  // the window's own handle, for graph events
    Forms forms_;
    TrayIcon* tray_ = nullptr;
    MonitorController* monitor_ = nullptr;
};

}  // namespace encoderdesk
