// The capture settings dialog without its widgets: an edited copy of the profile,
// the dialog's fill and update rules, and the state every control must show. The
// form shows View() after each call and forwards its controls' changes here; while
// it writes its controls it holds a BusyScope, so that the changes it causes are
// ignored (all but the USB 1.1 box, whose handler only recomputes ranges).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/CaptureProfile.h"

namespace encoderdesk {

// What the board supports for one compression standard (the fields of the SDK's
// SupportedVideoBitrates record that the dialog reads).
struct BitrateCaps {
    std::uint32_t vbrAllowed = 0;
    std::uint32_t bitrateMax = 0;
    std::uint32_t bitrateMin = 0;
    std::uint32_t peakMax = 0;
    std::uint32_t bitrateStep = 0;
    std::uint32_t peakStep = 0;
};

// Ceiling of a board on a USB 1.1 port, bit/s.
inline constexpr std::int64_t kUsb11MaxBitrate = 7000000;

class CaptureSetupModel {
public:
    struct Track {
        int step = 1000;  // bit/s per position
        int minimum = 0;
        int maximum = 0;
        int position = 0;
        bool enabled = false;
    };
    struct FrameSizeItem {
        std::string text;
        std::int32_t code = 0;
    };
    struct View {
        int videoMode = 0;        // rgVideoMode item
        int videoStandard = 0;    // rgVideoStandart item
        int mpeg = 0;             // rgMPEG item
        bool paramsEnabled = false;  // gbVideoParams and everything in it
        std::vector<FrameSizeItem> frameSizes;
        int frameSizeIndex = -1;
        Track bitrate, peak;      // the spin edits show the same ranges and positions
        bool vbrChecked = false;
        bool vbrEnabled = false;  // effective: the group and the board both allow it
        bool usb11 = false;
    };

    // The board's masks and bit-rate records, index kMpeg1 and kMpeg2.
    void SetBoard(const std::array<std::uint32_t, 2>& resolutions, const std::array<BitrateCaps, 2>& caps);

    // Opening: a copy of `profile` with the preset rule applied, shown.
    void Begin(const CaptureProfile& profile);
    // Closing: the preset rule once more; with `accepted` the edited copy goes to
    // `profile`. Returns `accepted`.
    bool Finish(bool accepted, CaptureProfile& profile);

    // The controls' handlers (item indexes and positions as the controls give them).
    void VideoModeClicked(int item);
    void MpegClicked(int item);
    void VideoStandardClicked(int item);
    void FrameSizeClicked(int index);
    void VbrClicked(bool checked);
    void BitrateTrackChanged(int position);
    void PeakTrackChanged(int position);
    void BitrateSpinChanged(int value);
    void PeakSpinChanged(int value);
    void Usb11Clicked(bool checked);

    const View& GetView() const { return view_; }
    const CaptureProfile& Edited() const { return edited_; }
    bool Busy() const { return busy_; }

    class BusyScope {
    public:
        explicit BusyScope(CaptureSetupModel& m) : m_(m), was_(m.busy_) { m_.busy_ = true; }
        ~BusyScope() { m_.busy_ = was_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CaptureSetupModel& m_;
        bool was_;
    };

private:
    void FillFromProfile();
    void UpdateVideoControls();
    void UpdateBitrateControls();
    const BitrateCaps& Caps() const { return caps_[edited_.MpegType == kMpeg1 ? 0 : 1]; }

    std::array<std::uint32_t, 2> resolutions_{};
    std::array<BitrateCaps, 2> caps_{};
    CaptureProfile edited_;
    View view_;
    bool busy_ = false;
};

}  // namespace encoderdesk
