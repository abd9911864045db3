// The rules of the signal controls and of the profile group, without widgets: the
// track bars' board properties and tick marks, the input selectors' channels, the
// captions that show a capture profile, and the device name as shown.
#pragma once

#include <cstdint>
#include <string>

#include "core/CaptureProfile.h"

namespace encoderdesk {

// The six track bars by tag: 1-5 proc-amp, 101 volume.
inline constexpr int kVolumeTag = 101;
// Proc-amp code of tags 1-5 (brightness 1, contrast 2, hue 4, saturation 8,
// sharpness 16); 0 for any other tag.
std::uint32_t ProcAmpCode(int tag);
inline constexpr std::uint32_t kProcAmpCodes[5] = {1, 2, 4, 8, 16};
inline constexpr std::uint32_t kAudioVolumeProperty = 1;
inline constexpr std::uint32_t kMuteProperty = 64;

// A bar's tick frequency from its board range: a fifteenth of the span for the
// proc-amp bars, a sixteenth for sharpness when its span exceeds 32 (else 1); in
// unsigned arithmetic, as the board's ranges are read.
int TickFrequency(std::uint32_t code, std::int32_t maximum, std::int32_t minimum);

// Input and output selectors: item 0 "Композитный" is channel 1, item 1
// "S-видео" channel 4.
inline int ItemOfChannel(std::uint32_t channel) { return channel == 1 ? 0 : 1; }
inline std::uint32_t ChannelOfItem(int item) { return item == 1 ? 4 : 1; }

// The profile group's captions for a profile (the preset rule applied first).
struct ProfileCaptions {
    std::string profile;      // lbProfile; empty for an unknown code (the label keeps its text)
    std::string videoFormat;  // lbVideoFormat
    std::string bitrate;      // lbBitrate
    std::string peakBitrate;  // lbPeakBitrate
    bool canSave = false;     // mbSaveCapturePr: user profiles only
};

// `previousFormat`: lbVideoFormat's text before, which an unknown MPEG type keeps
// in front of the frame size.
ProfileCaptions CaptionsOf(CaptureProfile profile, const std::string& previousFormat);

// The name QuvoGetDeviceName returned (`length` units of `buffer`), as shown:
// zero characters removed, blanks and control characters trimmed.
std::string DeviceNameText(const char16_t* buffer, std::size_t bufferUnits, std::uint32_t length);

// The fragment size for QuvoSetFileSizeLimit: (MB x 1000) div 255 in signed 32
// bits, or all bits set when the recording is not split.
std::uint32_t FileSizeLimitUnits(bool split, int megabytes);

}  // namespace encoderdesk
