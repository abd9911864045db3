#include "core/CaptureSetupModel.h"

#include <algorithm>

namespace encoderdesk {

void CaptureSetupModel::SetBoard(const std::array<std::uint32_t, 2>& resolutions,
                                 const std::array<BitrateCaps, 2>& caps)
{
    resolutions_ = resolutions;
    caps_ = caps;
}

void CaptureSetupModel::Begin(const CaptureProfile& profile)
{
    // The USB 1.1 box is the form's own: it keeps its state between openings.
    busy_ = false;
    edited_ = profile;
    ApplyPresetDefaults(edited_);
    FillFromProfile();
}

bool CaptureSetupModel::Finish(bool accepted, CaptureProfile& profile)
{
    ApplyPresetDefaults(edited_);
    if (accepted) profile = edited_;
    return accepted;
}

void CaptureSetupModel::FillFromProfile()
{
    BusyScope busy(*this);
    view_.videoMode = edited_.ProfileCode;
    // Under a preset only the standard can change.
    view_.paramsEnabled = edited_.ProfileCode == kProfileUser;
    view_.videoStandard = edited_.VideoStandard;
    UpdateVideoControls();
}

void CaptureSetupModel::UpdateVideoControls()
{
    BusyScope busy(*this);
    ApplyPresetDefaults(edited_);
    view_.mpeg = edited_.MpegType == kMpeg1 ? 0 : 1;
    const std::uint32_t mask = resolutions_[edited_.MpegType == kMpeg1 ? 0 : 1];
    view_.frameSizes.clear();
    view_.frameSizeIndex = -1;
    for (const FrameSize& row : kFrameSizes) {
        if (mask & static_cast<std::uint32_t>(row.code))
            view_.frameSizes.push_back({FrameSizeText(row.code, edited_.VideoStandard == kVideoPal), row.code});
        // The profile's size selects the last item listed so far, listed or not.
        if (row.code == edited_.FrameSizeCode) view_.frameSizeIndex = static_cast<int>(view_.frameSizes.size()) - 1;
    }
    if (view_.frameSizeIndex < 0 && !view_.frameSizes.empty()) view_.frameSizeIndex = 0;
    view_.peak.enabled = edited_.Vbr && view_.paramsEnabled;
    UpdateBitrateControls();
}

void CaptureSetupModel::UpdateBitrateControls()
{
    BusyScope busy(*this);
    ApplyPresetDefaults(edited_);
    const BitrateCaps& caps = Caps();
    const std::int64_t sb = std::max<std::int64_t>(1000, caps.bitrateStep);
    const std::int64_t sp = std::max<std::int64_t>(1000, caps.peakStep);
    Track& bit = view_.bitrate;
    Track& peak = view_.peak;
    bit.step = static_cast<int>(sb);
    peak.step = static_cast<int>(sp);
    bit.minimum = static_cast<int>(caps.bitrateMin / sb);
    peak.minimum = static_cast<int>(caps.bitrateMin / sb);
    std::int64_t bitMax = caps.bitrateMax / sp;
    std::int64_t peakMax = caps.peakMax / sp;
    if (view_.usb11) {
        bitMax = std::min(kUsb11MaxBitrate / sb, bitMax);
        peakMax = std::min(kUsb11MaxBitrate / sp, peakMax);
    }
    bit.maximum = static_cast<int>(bitMax);
    peak.maximum = static_cast<int>(peakMax);
    // The bars clamp; the edited copy keeps its values until a bar is moved.
    auto clamp = [](std::int64_t v, const Track& t) {
        return static_cast<int>(std::max<std::int64_t>(t.minimum, std::min<std::int64_t>(v, t.maximum)));
    };
    bit.position = clamp(edited_.Bitrate / sb, bit);
    peak.position = clamp(edited_.PeakBitrate / sp, peak);
    bit.enabled = view_.paramsEnabled;
    view_.vbrChecked = edited_.Vbr;
    view_.vbrEnabled = view_.paramsEnabled && caps.vbrAllowed != 0;
}

void CaptureSetupModel::VideoModeClicked(int item)
{
    if (busy_ || item < 0 || item > 3) return;
    edited_.ProfileCode = static_cast<std::uint8_t>(item);
    FillFromProfile();
}

void CaptureSetupModel::MpegClicked(int item)
{
    if (busy_) return;
    edited_.MpegType = item == 0 ? kMpeg1 : kMpeg2;
    UpdateVideoControls();
}

void CaptureSetupModel::VideoStandardClicked(int item)
{
    if (busy_) return;
    edited_.VideoStandard = item == 1 ? kVideoNtsc : kVideoPal;
    view_.videoStandard = edited_.VideoStandard;
    UpdateVideoControls();
}

void CaptureSetupModel::FrameSizeClicked(int index)
{
    if (busy_ || index < 0 || index >= static_cast<int>(view_.frameSizes.size())) return;
    edited_.FrameSizeCode = view_.frameSizes[static_cast<std::size_t>(index)].code;
    UpdateVideoControls();
}

void CaptureSetupModel::VbrClicked(bool checked)
{
    if (busy_) return;
    edited_.Vbr = checked;
    UpdateVideoControls();
}

void CaptureSetupModel::BitrateTrackChanged(int position)
{
    if (busy_) return;
    edited_.Bitrate = static_cast<std::int32_t>(static_cast<std::int64_t>(position) * view_.bitrate.step);
    UpdateBitrateControls();
}

void CaptureSetupModel::PeakTrackChanged(int position)
{
    if (busy_) return;
    edited_.PeakBitrate = static_cast<std::int32_t>(static_cast<std::int64_t>(position) * view_.peak.step);
    UpdateBitrateControls();
}

// A spin edit moves its bar; the bar's change handler runs only when the
// position really changes.
void CaptureSetupModel::BitrateSpinChanged(int value)
{
    if (busy_) return;
    const int position = std::clamp(value, view_.bitrate.minimum, std::max(view_.bitrate.minimum, view_.bitrate.maximum));
    if (position != view_.bitrate.position) BitrateTrackChanged(position);
}

void CaptureSetupModel::PeakSpinChanged(int value)
{
    if (busy_) return;
    const int position = std::clamp(value, view_.peak.minimum, std::max(view_.peak.minimum, view_.peak.maximum));
    if (position != view_.peak.position) PeakTrackChanged(position);
}

void CaptureSetupModel::Usb11Clicked(bool checked)
{
    view_.usb11 = checked;
    UpdateBitrateControls();
}

}  // namespace encoderdesk
