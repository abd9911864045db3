#include "core/AppSettings.h"

#include "core/FileNaming.h"
#include "core/IniFile.h"
#include "core/NumberFormat.h"

namespace encoderdesk {
namespace {

std::optional<int> Digits(const std::string& text, std::size_t from, std::size_t to)
{
    if (from >= to || to - from > 2) return std::nullopt;
    int value = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

std::optional<int> ParseLongTime(const std::string& raw)
{
    const std::size_t begin = raw.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    const std::string text = raw.substr(begin, raw.find_last_not_of(" \t") + 1 - begin);
    const std::size_t first = text.find(':');
    if (first == std::string::npos) return std::nullopt;
    const std::size_t second = text.find(':', first + 1);
    const auto hours = Digits(text, 0, first);
    const auto minutes = Digits(text, first + 1, second == std::string::npos ? text.size() : second);
    const auto seconds = second == std::string::npos ? std::optional<int>(0) : Digits(text, second + 1, text.size());
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

AppSettings LoadAppSettings(const std::string& path, const std::string& videoFolder)
{
    const IniFile f(path);
    AppSettings s;
    s.videoIn = f.ReadInteger("Video", "IN", 0);
    s.videoOut = f.ReadInteger("Video", "OUT", 0);
    s.disablePreview = f.ReadBool("Video", "DisablePreview", false);
    s.autoFileName = f.ReadBool("File", "AutoFileName", true);
    s.directory = f.ReadString("File", "Directory", videoFolder);
    if (HasDriveLetter(s.directory)) s.directory = videoFolder;
    s.fileName = f.ReadString("File", "FileName", "test.mpg");
    s.splitFile = f.ReadBool("File", "SplitFile", false);
    s.splitFileSize = kFileSplitSizeRange.Clamp(f.ReadInteger("File", "SplitFileSize", 2000));
    s.textDescr = f.ReadBool("File", "TextDescr", false);
    s.stopAfterMaxSize = f.ReadBool("AutoOff", "AfterMaxSize", false);
    s.stopSize = kStopSizeRange.Clamp(f.ReadInteger("AutoOff", "SplitFileSize", 2000));
    s.stopAfterNoSignal = f.ReadBool("AutoOff", "AfterNoSignal", false);
    s.stopNoSignal = kStopNoSignalRange.Clamp(f.ReadInteger("AutoOff", "NoSignalTime", 2));
    s.stopAfterTime = f.ReadBool("AutoOff", "AfterTime", false);
    s.stopTimeSeconds = ParseLongTime(f.ReadString("AutoOff", "Time", "0:30:00")).value_or(30 * 60);
    s.showHHMM = f.ReadBool("Stat", "ShowHHMM", false);
    return s;
}

bool SaveAppSettings(const std::string& path, const AppSettings& s, std::string& error)
{
    IniFile f(path);
    bool ok = true;
    auto integer = [&](const char* section, const char* key, int value) {
        ok = ok && f.WriteInteger(section, key, value);
    };
    auto boolean = [&](const char* section, const char* key, bool value) { ok = ok && f.WriteBool(section, key, value); };
    auto text = [&](const char* section, const char* key, const std::string& value) {
        ok = ok && f.WriteString(section, key, value);
    };
    integer("Video", "IN", s.videoIn);
    integer("Video", "OUT", s.videoOut);
    boolean("Video", "DisablePreview", s.disablePreview);
    boolean("File", "AutoFileName", s.autoFileName);
    text("File", "Directory", s.directory);
    text("File", "FileName", s.fileName);
    boolean("File", "SplitFile", s.splitFile);
    integer("File", "SplitFileSize", s.splitFileSize);
    boolean("File", "TextDescr", s.textDescr);
    boolean("AutoOff", "AfterMaxSize", s.stopAfterMaxSize);
    integer("AutoOff", "SplitFileSize", s.stopSize);
    boolean("AutoOff", "AfterNoSignal", s.stopAfterNoSignal);
    integer("AutoOff", "NoSignalTime", s.stopNoSignal);
    boolean("AutoOff", "AfterTime", s.stopAfterTime);
    text("AutoOff", "Time", FormatLongTime(s.stopTimeSeconds));
    boolean("Stat", "ShowHHMM", s.showHHMM);
    if (!ok) error = f.LastError();
    return ok;
}

StartupProfile ReadStartupProfile(const std::string& path)
{
    const IniFile f(path);
    StartupProfile p;
    p.profile = f.ReadInteger("Startup", "Profile", 0);
    if (p.profile == 3) p.profileName = f.ReadString("Startup", "ProfileName", "??");
    return p;
}

int IniStartupKeys::ReadProfile(int defaultValue) { return IniFile(path_).ReadInteger("Startup", "Profile", defaultValue); }

std::string IniStartupKeys::ReadProfileName(const std::string& defaultValue)
{
    return IniFile(path_).ReadString("Startup", "ProfileName", defaultValue);
}

void IniStartupKeys::WriteProfile(int value)
{
    IniFile f(path_);
    if (!f.WriteInteger("Startup", "Profile", value)) error_ = f.LastError();
}

void IniStartupKeys::WriteProfileName(const std::string& value)
{
    IniFile f(path_);
    if (!f.WriteString("Startup", "ProfileName", value)) error_ = f.LastError();
}

}  // namespace encoderdesk
