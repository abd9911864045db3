// What the board's analogue front end and encoder are set to. Plain values, copied
// between the driver state (application thread) and the encoder (streaming thread).
#pragma once

#include <cstdint>
#include <string>

namespace quvo::board {

enum class TvSystem { Pal, Ntsc };
enum class VideoInput { Composite = 0, SVideo = 1 };

// One proc-amp control: its range as the decoder reports it.
struct ProcAmpRange {
    int minimum;
    int maximum;
    int step;
    int defaultValue;
};

// Brightness, contrast, hue, saturation, sharpness (the proc-amp property ids).
inline constexpr int kProcAmpCount = 5;
inline constexpr ProcAmpRange kProcAmpRanges[kProcAmpCount] = {
    {0, 255, 1, 128},    // brightness: offset of the luma level
    {0, 255, 1, 128},    // contrast: luma gain, 128 is unity
    {-128, 127, 1, 0},   // hue: chroma phase, 128 steps per half turn
    {0, 255, 1, 128},    // saturation: chroma gain, 128 is unity
    {0, 15, 1, 8},       // sharpness: below 8 softens, above 8 peaks
};

struct PictureSettings {
    int brightness = kProcAmpRanges[0].defaultValue;
    int contrast = kProcAmpRanges[1].defaultValue;
    int hue = kProcAmpRanges[2].defaultValue;
    int saturation = kProcAmpRanges[3].defaultValue;
    int sharpness = kProcAmpRanges[4].defaultValue;
    VideoInput input = VideoInput::Composite;
    bool signal = true;

    bool operator==(const PictureSettings&) const = default;
};

struct AudioSettings {
    int volume = 0;  // dB, -50 to 0
    bool mute = false;

    bool operator==(const AudioSettings&) const = default;
};

struct VideoFormat {
    int width = 720;
    int height = 576;
    bool mpeg1 = false;
    bool vbr = false;
    std::uint32_t bitRate = 4200000;
    std::uint32_t peakBitRate = 4200000;
    TvSystem tv = TvSystem::Pal;

    bool operator==(const VideoFormat&) const = default;
};

// Frame period of a TV system as a fraction of a second.
struct FrameRate {
    int num;  // frames
    int den;  // per this many seconds
};
constexpr FrameRate RateOf(TvSystem tv)
{
    return tv == TvSystem::Pal ? FrameRate{25, 1} : FrameRate{30000, 1001};
}
// Pictures per group: a sequence header starts each group.
constexpr int GopSizeOf(TvSystem tv) { return tv == TvSystem::Pal ? 12 : 15; }

// What the encoder can actually produce from a requested format: even sizes within
// what the encoder takes, a bit rate it can hold. The driver keeps the request as
// written; only the encoder sees the sanitised form.
VideoFormat Sanitise(const VideoFormat& requested);

inline constexpr int kAudioRate = 48000;
inline constexpr int kAudioChannels = 2;

}  // namespace quvo::board
