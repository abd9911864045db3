// The main window's signal controls and profile group: the board's ranges and
// values read into the bars, every change sent to the board at once, and the
// profile and signal files with their four dialogs.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "core/AutoOffSummary.h"
#include "core/SignalControls.h"
#include "ui/TMain.h"

namespace encoderdesk {
namespace {

// Updating is set for the scope's life, and cleared whatever happens.
class UpdatingScope {
public:
    explicit UpdatingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~UpdatingScope() { flag_ = false; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    bool& flag_;
};

QString AskProfileFile(QWidget* parent, ProfileDialog dialog, const QString& directory)
{
    const bool capture = dialog == ProfileDialog::SaveCapture || dialog == ProfileDialog::OpenCapture;
    const bool save = dialog == ProfileDialog::SaveCapture || dialog == ProfileDialog::SaveSignal;
    QFileDialog box(parent);
    box.setDirectory(directory);
    box.setWindowTitle(dialog == ProfileDialog::SaveCapture  ? "Сохранение настроек видеозахвата"
                       : dialog == ProfileDialog::SaveSignal ? "Сохранение параметров"
                                                             : "Загрузка параметров");
    // Windows-made files carry upper-case extensions.
    box.setNameFilter(capture ? "Параметры видеозахвата (*.vcp *.VCP)" : "Параметры видеосигнала (*.vsp *.VSP)");
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) box.setDefaultSuffix(capture ? "vcp" : "vsp");
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return {};
    return box.selectedFiles().front();
}

}  // namespace

QSlider* TMain::Bar(int index) const
{
    QSlider* const bars[] = {tbBrightness, tbContrast, tbHue, tbSaturation, tbSharpness, tbAudioVol};
    return bars[index];
}

QLabel* TMain::BarLabel(int index) const
{
    QLabel* const labels[] = {lbBrightness, lbContrast, lbHue, lbSaturation, lbSharpness, lbAudioVol};
    return labels[index];
}

void TMain::ReadSignalRanges()
{
    UpdatingScope updating(Updating);
    for (int i = 0; i < 5; ++i) {
        ControlRange range{};
        QUVO_CALL(sdk, QuvoGetProcAmpRange, kProcAmpCodes[i], &range);
        Bar(i)->setTickInterval(TickFrequency(kProcAmpCodes[i], range.maximum, range.minimum));
        Bar(i)->setMinimum(range.minimum);
        Bar(i)->setMaximum(range.maximum);
    }
    ControlRange volume{};
    QUVO_CALL(sdk, QuvoGetSupportedAudioPropertyRange, kAudioVolumeProperty, &volume);
    tbAudioVol->setMinimum(volume.minimum);
    tbAudioVol->setMaximum(volume.maximum);
    uint32_t channel = 0;
    QUVO_CALL(sdk, QuvoGetCurrentInputChannel, &channel);
    cbVideoIn->setCurrentIndex(ItemOfChannel(channel));
    // This export takes its argument by value and never writes it (it answers
    // "not supported"): the variable keeps the input channel, as the board's
    // output selector shows it.
    QUVO_CALL(sdk, QuvoGetCurrentOutputChannel, channel);
    cbVideoOut->setCurrentIndex(ItemOfChannel(channel));
}

void TMain::ReadSignalValues()
{
    UpdatingScope updating(Updating);
    for (int i = 0; i < 5; ++i) {
        int32_t value = 0;
        QUVO_CALL(sdk, QuvoGetCurrentProcAmpValue, kProcAmpCodes[i], &value);
        Bar(i)->setValue(value);
        BarLabel(i)->setText(QString::number(value));
    }
    int32_t volume = 0;
    QUVO_CALL(sdk, QuvoGetCurrentAudioPropertyValue, kAudioVolumeProperty, &volume);
    tbAudioVol->setValue(volume);
    lbAudioVol->setText(QString::number(volume - tbAudioVol->minimum()));
    uint32_t caps = 0, mute = 0;
    QUVO_CALL(sdk, QuvoGetAudioMuteCapabilities, &caps);
    cbMute->setChecked(false);
    cbMute->setEnabled((caps & kMuteProperty) != 0);
    QUVO_CALL(sdk, QuvoGetAudioMute, kMuteProperty, &mute);
    if (cbMute->isEnabled()) cbMute->setChecked(mute != 0);
}

void TMain::tbSharpnessChange(QSlider* bar)
{
    if (Updating) return;
    const int tag = bar->property("tag").toInt();
    const int position = bar->value();
    if (const std::uint32_t code = ProcAmpCode(tag)) {
        QUVO_CALL(sdk, QuvoSetProcAmpValue, code, position);
        BarLabel(tag - 1)->setText(QString::number(position));
    } else if (tag == kVolumeTag) {
        QUVO_CALL(sdk, QuvoSetAudioPropertyValue, kAudioVolumeProperty, position);
        lbAudioVol->setText(QString::number(position - tbAudioVol->minimum()));
    }
}

void TMain::cbVideoInChange()
{
    if (Updating) return;
    QUVO_CALL(sdk, QuvoSetInputChannel, ChannelOfItem(cbVideoIn->currentIndex()));
}

void TMain::cbVideoOutClick()
{
    if (Updating) return;
    QUVO_CALL(sdk, QuvoSetOutputChannel, ChannelOfItem(cbVideoOut->currentIndex()));
}

void TMain::cbMuteClick()
{
    if (Updating) return;
    QUVO_CALL(sdk, QuvoSetAudioMute, kMuteProperty, cbMute->isChecked() ? 0xFFFFFFFFu : 0u);
}

void TMain::cbAutoFileNameClick()
{
    const bool editable = !cbAutoFileName->isChecked() && status_ == dsIdle;
    edFileName->setEnabled(editable);
    edFileNameButton->setEnabled(editable);
}

void TMain::ShowCaptureProfile(const CaptureProfile& profile)
{
    const ProfileCaptions c = CaptionsOf(profile, lbVideoFormat->text().toStdString());
    if (!c.profile.empty()) lbProfile->setText(QString::fromStdString(c.profile));
    lbVideoFormat->setText(QString::fromStdString(c.videoFormat));
    lbBitrate->setText(QString::fromStdString(c.bitrate));
    lbPeakBitrate->setText(QString::fromStdString(c.peakBitrate));
    mbSaveCapturePr->setEnabled(c.canSave);
    lbAutoOff->setText(QString::fromStdString(AutoOffSummary(
        cbStopAfterMaxSize->isChecked(), cbStopAfterNoSignal->isChecked(), cbStopAfterTime->isChecked())));
}

QString TMain::AskFile(ProfileDialog dialog)
{
    return chooseProfileFile ? chooseProfileFile(dialog, ProfileDirectory) : AskProfileFile(this, dialog, ProfileDirectory);
}

SignalSettings TMain::CurrentSignalSettings() const
{
    SignalSettings s;
    for (int i = 0; i < 5; ++i) s.procAmp[static_cast<std::size_t>(i)] = Bar(i)->value();
    s.audioVolume = tbAudioVol->value();
    if (cbMute->isEnabled()) s.mute = cbMute->isChecked();
    return s;
}

void TMain::mbSaveCapturePrClick()
{
    const QString name = AskFile(ProfileDialog::SaveCapture);
    std::string error;
    if (!name.isEmpty() && !SaveCaptureProfile(name.toStdString(), Profile, error)) ShowError(QString::fromStdString(error));
}

void TMain::mbLoadCapturePrClick()
{
    const QString name = AskFile(ProfileDialog::OpenCapture);
    if (!name.isEmpty() && LoadCaptureProfile(name.toStdString(), Profile)) ShowCaptureProfile(Profile);
}

void TMain::BitBtn4Click()
{
    const QString name = AskFile(ProfileDialog::SaveSignal);
    std::string error;
    if (!name.isEmpty() && !SaveSignalSettings(name.toStdString(), CurrentSignalSettings(), error))
        ShowError(QString::fromStdString(error));
}

void TMain::BitBtn5Click()
{
    const QString name = AskFile(ProfileDialog::OpenSignal);
    if (name.isEmpty()) return;
    // Not Updating: each bar that moves, and a mute box that changes, reach the board.
    const SignalSettings s = LoadSignalSettings(name.toStdString(), CurrentSignalSettings());
    for (int i = 0; i < 5; ++i) Bar(i)->setValue(s.procAmp[static_cast<std::size_t>(i)]);
    tbAudioVol->setValue(s.audioVolume);
    if (s.mute && cbMute->isEnabled()) cbMute->setChecked(*s.mute);
}

}  // namespace encoderdesk
