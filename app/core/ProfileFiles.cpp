#include "core/ProfileFiles.h"

#include <filesystem>
#include <system_error>

#include "core/FileNaming.h"
#include "core/IniFile.h"

namespace encoderdesk {
namespace {

constexpr const char* kProcAmpKeys[5] = {"Brightness", "Contrast", "Hue", "Saturation", "Sharpness"};

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

bool SaveCaptureProfile(const std::string& name, const CaptureProfile& p, std::string& error)
{
    IniFile file(ForceExtension(name, ".vcp"));
    bool ok = true;
    auto write = [&](const char* section, const char* key, int value) {
        if (ok && !file.WriteInteger(section, key, value)) {
            ok = false;
            error = file.LastError();
        }
    };
    if (p.ProfileCode <= kProfileUser) write("Video", "ProfileCode", p.ProfileCode);
    if (p.MpegType <= kMpeg2) write("Video", "MPEG", p.MpegType == kMpeg1 ? 1 : 2);
    if (p.VideoStandard <= kVideoNtsc) write("Video", "VideoStandart", p.VideoStandard);
    write("Video", "FrameSizeCode", p.FrameSizeCode);
    write("Bitrate", "VBR", p.Vbr ? 1 : 0);
    write("Bitrate", "BitRate", p.Bitrate);
    write("Bitrate", "PeakBitRate", p.PeakBitrate);
    write("File", "MaxFileSize", p.MaxFileSize);
    write("AutoOFF", "MaxSize", p.AutoOffMaxSize);
    return ok;
}

bool LoadCaptureProfile(const std::string& name, CaptureProfile& profile)
{
    const std::string path = FindIgnoringExtensionCase(ForceExtension(name, ".vcp"));
    if (!Exists(path)) return false;
    const IniFile file(path);
    const int code = file.ReadInteger("Video", "ProfileCode", -1);
    if (code < kProfileVideoCd || code > kProfileUser) return false;
    profile.ProfileCode = static_cast<std::uint8_t>(code);
    if (code == kProfileUser) {
        profile.MpegType = file.ReadInteger("Video", "MPEG", 1) == 1 ? kMpeg1 : kMpeg2;
        profile.VideoStandard = file.ReadInteger("Video", "VideoStandart", 0) != 0 ? kVideoNtsc : kVideoPal;
        profile.FrameSizeCode = file.ReadInteger("Video", "FrameSizeCode", 0);
        profile.Vbr = file.ReadBool("Bitrate", "VBR", false);
        profile.Bitrate = file.ReadInteger("Bitrate", "BitRate", 0);
        profile.PeakBitrate = file.ReadInteger("Bitrate", "PeakBitRate", 0);
        profile.MaxFileSize = file.ReadInteger("File", "MaxFileSize", 0);
        profile.AutoOffMaxSize = file.ReadInteger("AutoOFF", "MaxSize", 0);
    }
    ApplyPresetDefaults(profile);
    return true;
}

bool SaveSignalSettings(const std::string& name, const SignalSettings& s, std::string& error)
{
    IniFile file(ForceExtension(name, ".vsp"));
    bool ok = true;
    for (std::size_t i = 0; i < s.procAmp.size() && ok; ++i) ok = file.WriteInteger("SignalSettings", kProcAmpKeys[i], s.procAmp[i]);
    ok = ok && file.WriteInteger("Audio", "AudioVol", s.audioVolume);
    if (ok && s.mute) ok = file.WriteBool("Audio", "AudioMute", *s.mute);
    if (!ok) error = file.LastError();
    return ok;
}

SignalSettings LoadSignalSettings(const std::string& name, const SignalSettings& current)
{
    const IniFile file(name);
    SignalSettings s = current;
    for (std::size_t i = 0; i < s.procAmp.size(); ++i)
        s.procAmp[i] = file.ReadInteger("SignalSettings", kProcAmpKeys[i], current.procAmp[i]);
    s.audioVolume = file.ReadInteger("Audio", "AudioVol", current.audioVolume);
    if (current.mute) s.mute = file.ReadBool("Audio", "AudioMute", *current.mute);
    return s;
}

}  // namespace encoderdesk
