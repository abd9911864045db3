#include "core/SignalControls.h"

#include <climits>

#include "platform/win32/Text.h"

namespace encoderdesk {

std::uint32_t ProcAmpCode(int tag) { return tag >= 1 && tag <= 5 ? kProcAmpCodes[tag - 1] : 0; }

int TickFrequency(std::uint32_t code, std::int32_t maximum, std::int32_t minimum)
{
    const std::uint32_t span = static_cast<std::uint32_t>(maximum) - static_cast<std::uint32_t>(minimum);
    const std::uint32_t frequency = code == 16 ? (span > 32 ? span / 16 : 1) : span / 15;
    // A range the wrong way round wraps to a huge span; the bar takes an int.
    return frequency > INT_MAX ? INT_MAX : static_cast<int>(frequency);
}

ProfileCaptions CaptionsOf(CaptureProfile p, const std::string& previousFormat)
{
    ApplyPresetDefaults(p);
    ProfileCaptions c;
    static const char* const kProfiles[] = {"Video CD (VCD)", "Super Video CD (SVCD)", "DVD", "Настройки пользователя"};
    if (p.ProfileCode <= kProfileUser) c.profile = kProfiles[p.ProfileCode];
    c.videoFormat = p.MpegType == kMpeg1 ? "MPEG1" : p.MpegType == kMpeg2 ? "MPEG2" : previousFormat;
    c.videoFormat += ", " + FrameSizeText(p.FrameSizeCode, p.VideoStandard == kVideoPal);
    if (p.VideoStandard == kVideoPal) c.videoFormat += ", PAL";
    if (p.VideoStandard == kVideoNtsc) c.videoFormat += ", NTSC";
    c.bitrate = std::to_string(p.Bitrate);
    c.peakBitrate = p.Vbr ? std::to_string(p.PeakBitrate) : "VBR отключен";
    c.canSave = p.ProfileCode == kProfileUser;
    return c;
}

std::string DeviceNameText(const char16_t* buffer, std::size_t bufferUnits, std::uint32_t length)
{
    std::u16string name;
    for (std::size_t i = 0; i < bufferUnits && name.size() < length; ++i)
        if (buffer[i] != 0) name += buffer[i];
    const std::string utf8 = quvo::text::Utf16ToUtf8(name);
    const auto blank = [](char ch) { return static_cast<unsigned char>(ch) <= ' '; };
    std::size_t begin = 0, end = utf8.size();
    while (begin < end && blank(utf8[begin])) ++begin;
    while (end > begin && blank(utf8[end - 1])) --end;
    return utf8.substr(begin, end - begin);
}

std::uint32_t FileSizeLimitUnits(bool split, int megabytes)
{
    if (!split) return 0xFFFFFFFFu;
    const std::int32_t units = static_cast<std::int32_t>(megabytes) * 1000 / 255;
    return static_cast<std::uint32_t>(units);
}

}  // namespace encoderdesk
