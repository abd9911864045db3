// The program's settings file: the main window's controls between runs, and the
// start-up profile choice that the startup profile dialog writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/StartupProfileModel.h"

namespace encoderdesk {

// A spin edit's range.
struct SpinRange {
    int minimum, maximum, step;
    int Clamp(int value) const { return value < minimum ? minimum : value > maximum ? maximum : value; }
};

inline constexpr SpinRange kFileSplitSizeRange{10, 2000000, 10};  // seFileSplitSize, MB
inline constexpr SpinRange kStopSizeRange{10, 100000, 1};         // seStopSize, MB
inline constexpr SpinRange kStopNoSignalRange{1, 120, 1};         // seStopNoSignal, seconds

// What the controls hold, with the values of a missing settings file.
struct AppSettings {
    int videoIn = 0;   // item of cbVideoIn
    int videoOut = 0;  // item of cbVideoOut
    bool disablePreview = false;
    bool autoFileName = true;
    std::string directory;  // the user's video folder unless the file names another
    std::string fileName = "test.mpg";
    bool splitFile = false;
    int splitFileSize = 2000;
    bool textDescr = false;
    bool stopAfterMaxSize = false;
    int stopSize = 2000;
    bool stopAfterNoSignal = false;
    int stopNoSignal = 2;
    bool stopAfterTime = false;
    int stopTimeSeconds = 30 * 60;  // teStopTime, a time of day
    bool showHHMM = false;
};

// Reads every key in the file's order; a missing file or key, or a malformed
// value, gives the default; numbers are clamped to their spin edit's range. A
// directory with a drive letter (from a file written on Windows) counts as
// missing: `videoFolder` is used.
AppSettings LoadAppSettings(const std::string& path, const std::string& videoFolder);

// Writes the keys from [Video] IN to [Stat] ShowHHMM, in order; the [Startup]
// section is never written here. False with `error` set at the first failing
// write.
bool SaveAppSettings(const std::string& path, const AppSettings& settings, std::string& error);

// The start-up profile: a preset code 0-2, a profile file for 3 ("??" when the
// file names none), anything else leaves the profile as it is.
struct StartupProfile {
    int profile = 0;
    std::string profileName;
};
StartupProfile ReadStartupProfile(const std::string& path);

// The time is written as FormatLongTime writes it ("1:30:00"). Read back:
// "1:30:00", "01:30:00" or "1:30" as seconds since midnight; nothing when it is no
// time of day.
std::optional<int> ParseLongTime(const std::string& text);

// The [Startup] keys of the settings file, for the startup profile dialog.
class IniStartupKeys final : public StartupKeys {
public:
    explicit IniStartupKeys(std::string path) : path_(std::move(path)) {}
    int ReadProfile(int defaultValue) override;
    std::string ReadProfileName(const std::string& defaultValue) override;
    void WriteProfile(int value) override;
    void WriteProfileName(const std::string& value) override;
    // The last failing write's text, or empty.
    const std::string& LastError() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

}  // namespace encoderdesk
