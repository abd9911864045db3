#include "core/CaptureProfile.h"

namespace encoderdesk {

namespace {

void ApplyPreset(CaptureProfile& p, std::uint8_t mpegType, bool vbr, std::int32_t bitrate, std::int32_t frameSize)
{
    p.MpegType = mpegType;
    p.Vbr = vbr;
    p.Bitrate = bitrate;
    p.PeakBitrate = bitrate;
    p.FrameSizeCode = frameSize;
}

}  // namespace

void ApplyPresetDefaults(CaptureProfile& profile)
{
    switch (profile.ProfileCode) {
    case kProfileVideoCd:
        ApplyPreset(profile, kMpeg1, false, 1150000, 16);
        break;
    case kProfileSuperVideoCd:
        ApplyPreset(profile, kMpeg2, true, 2375000, 256);
        break;
    case kProfileDvd:
        ApplyPreset(profile, kMpeg2, true, 6000000, 8192);
        break;
    case kProfileUser:
        if (profile.Bitrate > profile.PeakBitrate) profile.PeakBitrate = profile.Bitrate;
        break;
    default:
        break;  // an unknown code is left as it is
    }
}

std::string FrameSizeText(std::int32_t code, bool isPal)
{
    for (const FrameSize& row : kFrameSizes) {
        if (row.code != code) continue;
        int width = isPal ? row.palWidth : row.ntscWidth;
        int height = isPal ? row.palHeight : row.ntscHeight;
        return std::to_string(width) + " x " + std::to_string(height);
    }
    return "?";
}

}  // namespace encoderdesk
