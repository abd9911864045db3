// The capture settings dialog: the widgets of the rules in CaptureSetupModel. The
// form is created once and reused, so the USB 1.1 box keeps its state.
#pragma once

#include <QDialog>

#include "core/CaptureSetupModel.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QGridLayout;
class QSlider;
class QSpinBox;

namespace encoderdesk {

class TCaptureSetupDLG : public QDialog {
    Q_OBJECT
public:
    explicit TCaptureSetupDLG(QWidget* parent = nullptr);

    // What the board supports for MPEG 1 and MPEG 2 (read once by the main window).
    void SetBoard(const std::array<std::uint32_t, 2>& resolutions, const std::array<BitrateCaps, 2>& caps);

    // Shows the dialog modally on a copy of `profile`; OK copies the edited
    // profile back and returns true, anything else leaves `profile` as it was.
    bool EditProfile(CaptureProfile& profile);

    // The dialog's state (for the window's own tests).
    const CaptureSetupModel& Model() const { return model_; }

private:
    void CreateControls();
    QGroupBox* CreateRadioGroup(const char* name, const QString& title, const QStringList& items,
                                QButtonGroup** group);
    // Writes the model's view into the controls; their change signals are ignored meanwhile.
    void ShowView();
    void RebuildFrameSizes();

    CaptureSetupModel model_;
    QButtonGroup* rgVideoMode_ = nullptr;
    QButtonGroup* rgVideoStandart_ = nullptr;
    QButtonGroup* rgMPEG_ = nullptr;
    QButtonGroup* rgFrameSize_ = nullptr;
    QGroupBox* gbVideoParams_ = nullptr;
    QGroupBox* rgFrameSizeBox_ = nullptr;
    QGridLayout* frameSizeLayout_ = nullptr;
    QSlider* tbBitrate_ = nullptr;
    QSlider* tbPeakBitrate_ = nullptr;
    QSpinBox* seBitrate_ = nullptr;
    QSpinBox* sePeakBitrate_ = nullptr;
    QCheckBox* cbUseVBR_ = nullptr;
    QCheckBox* cbUSB11Mode_ = nullptr;
    std::vector<std::int32_t> shownSizes_;  // codes of the frame-size buttons now shown
    int shownStandard_ = -1;
};

}  // namespace encoderdesk
