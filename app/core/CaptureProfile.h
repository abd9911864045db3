// The record that describes a recording: a preset or the user's own settings.
#pragma once

#include <cstdint>
#include <string>

namespace encoderdesk {

enum : std::uint8_t {
    kProfileVideoCd = 0,
    kProfileSuperVideoCd = 1,
    kProfileDvd = 2,
    kProfileUser = 3,
};

enum : std::uint8_t { kMpeg1 = 0, kMpeg2 = 1 };       // MpegType; compression standard = MpegType + 1
enum : std::uint8_t { kVideoPal = 0, kVideoNtsc = 1 };  // VideoStandard

// Copied whole between the main window and the capture settings dialog.
struct CaptureProfile {
    std::uint8_t ProfileCode = kProfileDvd;
    std::uint8_t MpegType = kMpeg2;
    std::uint8_t VideoStandard = kVideoPal;
    std::int32_t FrameSizeCode = 8192;  // one bit of the frame-size table; QuvoSetVideoResolution's code
    bool Vbr = true;
    std::int32_t Bitrate = 6000000;      // bit/s
    std::int32_t PeakBitrate = 6000000;  // bit/s
    std::int32_t MaxFileSize = 0;        // kept in profile files only
    std::int32_t AutoOffMaxSize = 0;     // kept in profile files only

    bool operator==(const CaptureProfile&) const = default;
};

// The preset rule, applied before every use of a profile: a preset forces its
// standard, rate mode, bit rates and frame size; user settings only keep the
// peak at or above the average.
void ApplyPresetDefaults(CaptureProfile& profile);

// One row of the frame-size table.
struct FrameSize {
    std::int32_t code;
    int palWidth, palHeight;
    int ntscWidth, ntscHeight;
};

// The 14 rows, in the order the capture settings dialog lists them.
inline constexpr FrameSize kFrameSizes[] = {
    {1, 128, 96, 128, 96},       {2, 160, 120, 160, 120},     {4, 176, 144, 176, 128},
    {8, 320, 288, 320, 240},     {16, 352, 288, 352, 240},    {32, 352, 576, 352, 480},
    {64, 384, 576, 384, 480},    {128, 384, 288, 384, 288},   {256, 480, 576, 480, 480},
    {512, 480, 288, 480, 240},   {1024, 544, 576, 544, 480},  {2048, 704, 288, 704, 288},
    {4096, 704, 576, 704, 480},  {8192, 720, 576, 720, 480},
};

// "720 x 576" for code 8192 under PAL; "?" for a code not in the table.
std::string FrameSizeText(std::int32_t code, bool isPal);

}  // namespace encoderdesk
