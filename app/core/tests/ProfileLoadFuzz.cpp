// Fuzzes the loaders with arbitrary file contents: the profile, signal and
// settings files and the start-up profile read whatever the bytes, and what they
// give stays inside what the controls can hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/AppSettings.h"
#include "core/ProfileFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* dir = std::getenv("TMPDIR");
    static const std::string path = std::string(dir ? dir : "/tmp") + "/profile_load_fuzz.vcp";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    encoderdesk::CaptureProfile profile;
    profile.ProfileCode = encoderdesk::kProfileUser;
    if (encoderdesk::LoadCaptureProfile(path, profile)) {
        if (profile.ProfileCode > encoderdesk::kProfileUser || profile.MpegType > encoderdesk::kMpeg2 ||
            profile.VideoStandard > encoderdesk::kVideoNtsc || profile.PeakBitrate < profile.Bitrate)
            std::abort();
    }
    encoderdesk::LoadSignalSettings(path, encoderdesk::SignalSettings{{}, 0, false});
    const encoderdesk::AppSettings s = encoderdesk::LoadAppSettings(path, "/videos");
    if (s.splitFileSize != encoderdesk::kFileSplitSizeRange.Clamp(s.splitFileSize) ||
        s.stopSize != encoderdesk::kStopSizeRange.Clamp(s.stopSize) ||
        s.stopNoSignal != encoderdesk::kStopNoSignalRange.Clamp(s.stopNoSignal) || s.stopTimeSeconds < 0 ||
        s.stopTimeSeconds >= 86400)
        std::abort();
    encoderdesk::ReadStartupProfile(path);
    return 0;
}
