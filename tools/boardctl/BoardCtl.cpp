#include "tools/boardctl/BoardCtl.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>

#include "outside/board/driver/BoardConfig.h"
#include "outside/board/driver/DeviceRegistration.h"
#include "interfaces/BoardInterfaces.h"

namespace quvo::board {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: boardctl devices NAME... | devices --none | devices --default\n"
    "       boardctl signal on|off\n"
    "       boardctl lines 0|525|625          (0: the selected standard's own count)\n"
    "       boardctl fault WHAT VALUE | fault clear\n"
    "           get-property 1..8|off   set-property 1..8|off\n"
    "           procamp-range brightness|contrast|hue|saturation|sharpness|0..4|off\n"
    "           tv-format ntsc|pal|1|16|off\n"
    "           property-set|decoder|procamp|crossbar missing|present\n"
    "       boardctl source FILE | source --generated\n"
    "       boardctl serial TEXT\n"
    "       boardctl playback-file FILE | playback-file --none\n"
    "           (device playback writes the stream the board receives to FILE)\n"
    "       boardctl status\n";

int Usage(std::ostream& err, const std::string& message)
{
    err << "boardctl: " << message << "\n" << kUsageText;
    return kUsage;
}

int Written(bool ok, std::ostream& err, const char* what)
{
    if (ok) return kOk;
    err << "boardctl: cannot write " << what << " to the registry\n";
    return kFailed;
}

bool ParseNumber(const std::string& text, long min, long max, long* out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < min || v > max) return false;
    *out = v;
    return true;
}

int Devices(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() < 2) return Usage(err, "devices needs names, --none or --default");
    std::vector<std::string> names;
    if (args[1] == "--none" || args[1] == "--default") {
        if (args.size() != 2) return Usage(err, args[1] + " takes no names");
        if (args[1] == "--default") {
            DeleteValue(value::kDevices);
            names = {kDefaultDevice};
        } else if (!WriteMultiString(value::kDevices, {})) {
            return Written(false, err, "the device list");
        }
    } else {
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i].empty()) return Usage(err, "a device name cannot be empty");
            names.push_back(args[i]);
        }
        if (!WriteMultiString(value::kDevices, names)) return Written(false, err, "the device list");
    }
    const HRESULT hr = RewriteDeviceInstances(CLSID_KestorCaptureFilter, names);
    if (FAILED(hr)) {
        err << "boardctl: cannot rewrite the video input devices (0x" << std::hex << static_cast<unsigned>(hr)
            << std::dec << ")\n";
        return kFailed;
    }
    out << "devices: " << names.size() << " registered\n";
    return kOk;
}

bool MissingOrPresent(const std::string& v, DWORD* out)
{
    if (v == "missing") *out = 1;
    else if (v == "present") *out = 0;
    else return false;
    return true;
}

int Fault(const std::vector<std::string>& args, std::ostream& err)
{
    static const char* const kAll[] = {value::kFailGetProperty, value::kFailSetProperty, value::kNoPropertySet,
                                       value::kNoDecoder,       value::kNoProcAmp,       value::kNoCrossbar,
                                       value::kFailProcAmpRange, value::kRefuseTvFormat};
    if (args.size() == 2 && args[1] == "clear") {
        for (const char* name : kAll) DeleteValue(name);
        return kOk;
    }
    if (args.size() != 3) return Usage(err, "fault needs WHAT and VALUE");
    const std::string& what = args[1];
    const std::string& v = args[2];
    long n = 0;
    DWORD flag = 0;
    if (what == "get-property" || what == "set-property") {
        const char* name = what == "get-property" ? value::kFailGetProperty : value::kFailSetProperty;
        if (v == "off") return DeleteValue(name), kOk;
        if (!ParseNumber(v, 1, 8, &n)) return Usage(err, what + " takes a property id 1..8 or off, not '" + v + "'");
        return Written(WriteDword(name, static_cast<DWORD>(n)), err, name);
    }
    if (what == "procamp-range") {
        static const std::map<std::string, long> kNames = {
            {"brightness", 0}, {"contrast", 1}, {"hue", 2}, {"saturation", 3}, {"sharpness", 4}};
        if (v == "off") return DeleteValue(value::kFailProcAmpRange), kOk;
        const auto it = kNames.find(v);
        if (it != kNames.end()) n = it->second;
        else if (!ParseNumber(v, 0, 4, &n)) return Usage(err, "procamp-range takes a proc-amp name or 0..4, not '" + v + "'");
        return Written(WriteDword(value::kFailProcAmpRange, static_cast<DWORD>(n)), err, value::kFailProcAmpRange);
    }
    if (what == "tv-format") {
        if (v == "off") return DeleteValue(value::kRefuseTvFormat), kOk;
        if (v == "ntsc" || v == "1") n = 1;
        else if (v == "pal" || v == "16") n = 16;
        else return Usage(err, "tv-format takes ntsc, pal, 1, 16 or off, not '" + v + "'");
        return Written(WriteDword(value::kRefuseTvFormat, static_cast<DWORD>(n)), err, value::kRefuseTvFormat);
    }
    const std::map<std::string, const char*> kInterfaces = {{"property-set", value::kNoPropertySet},
                                                            {"decoder", value::kNoDecoder},
                                                            {"procamp", value::kNoProcAmp},
                                                            {"crossbar", value::kNoCrossbar}};
    const auto it = kInterfaces.find(what);
    if (it == kInterfaces.end()) return Usage(err, "unknown fault '" + what + "'");
    if (!MissingOrPresent(v, &flag)) return Usage(err, what + " takes missing or present, not '" + v + "'");
    return Written(WriteDword(it->second, flag), err, it->second);
}

int Status(std::ostream& out)
{
    const BoardConfig c = RefreshConfig();
    out << "signal: " << (c.signal ? "on" : "off") << "\n";
    out << "lines: " << c.lines << (c.lines == 0 ? " (the selected standard's)" : "") << "\n";
    out << "source: " << (c.source.empty() ? "generated" : c.source) << "\n";
    out << "serial: " << c.serialNumber << "\n";
    out << "devices:";
    for (const std::string& d : ConfiguredDevices()) out << " \"" << d << "\"";
    out << "\n";
    out << "faults:";
    bool any = false;
    auto note = [&](bool on, const std::string& text) {
        if (!on) return;
        out << " " << text;
        any = true;
    };
    note(c.failGetProperty != 0, "get-property=" + std::to_string(c.failGetProperty));
    note(c.failSetProperty != 0, "set-property=" + std::to_string(c.failSetProperty));
    note(c.failProcAmpRange >= 0, "procamp-range=" + std::to_string(c.failProcAmpRange));
    note(c.refuseTvFormat != 0, "tv-format=" + std::to_string(c.refuseTvFormat));
    note(c.noPropertySet, "property-set=missing");
    note(c.noDecoder, "decoder=missing");
    note(c.noProcAmp, "procamp=missing");
    note(c.noCrossbar, "crossbar=missing");
    out << (any ? "" : " none") << "\n";
    std::string playbackFile;
    ReadString(value::kPlaybackFile, &playbackFile);
    out << "playback file: " << (playbackFile.empty() ? "none" : playbackFile) << "\n";
    DWORD samples = 0;
    if (ReadDword(value::kPlaybackSamples, &samples)) {
        ULONGLONG bytes = 0, audioFrames = 0;
        DWORD pictures = 0, errors = 0;
        ReadQword(value::kPlaybackBytes, &bytes);
        ReadDword(value::kPlaybackPictures, &pictures);
        ReadQword(value::kPlaybackAudioFrames, &audioFrames);
        ReadDword(value::kPlaybackErrors, &errors);
        out << "last playback: " << samples << " samples, " << bytes << " bytes, " << pictures << " pictures, "
            << audioFrames << " audio frames, " << errors << " decode errors\n";
    }
    return kOk;
}

}  // namespace

int RunBoardCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) return Usage(err, "no command");
    const std::string& cmd = args[0];
    if (cmd == "devices") return Devices(args, out, err);
    if (cmd == "signal") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off")) return Usage(err, "signal takes on or off");
        return Written(WriteDword(value::kSignal, args[1] == "on" ? 1 : 0), err, value::kSignal);
    }
    if (cmd == "lines") {
        if (args.size() != 2 || (args[1] != "0" && args[1] != "525" && args[1] != "625"))
            return Usage(err, "lines takes 0, 525 or 625");
        return Written(WriteDword(value::kLines, static_cast<DWORD>(std::atoi(args[1].c_str()))), err,
                       value::kLines);
    }
    if (cmd == "fault") return Fault(args, err);
    if (cmd == "source") {
        if (args.size() != 2) return Usage(err, "source takes one FILE or --generated");
        if (args[1] == "--generated") return DeleteValue(value::kSource), kOk;
        struct stat st {};
        if (stat(args[1].c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return Usage(err, "no such file: " + args[1]);
        char full[PATH_MAX];
        const std::string path = realpath(args[1].c_str(), full) ? full : args[1];
        return Written(WriteString(value::kSource, path), err, value::kSource);
    }
    if (cmd == "playback-file") {
        if (args.size() != 2 || args[1].empty()) return Usage(err, "playback-file takes one FILE or --none");
        if (args[1] == "--none") return DeleteValue(value::kPlaybackFile), kOk;
        // The board opens it in its own process, maybe elsewhere: an absolute name.
        std::string path = args[1];
        if (path.front() != '/') {
            char cwd[PATH_MAX];
            if (!getcwd(cwd, sizeof cwd)) return Written(false, err, value::kPlaybackFile);
            path = std::string(cwd) + "/" + path;
        }
        return Written(WriteString(value::kPlaybackFile, path), err, value::kPlaybackFile);
    }
    if (cmd == "serial") {
        if (args.size() != 2) return Usage(err, "serial takes one TEXT");
        return Written(WriteString(value::kSerialNumber, args[1]), err, value::kSerialNumber);
    }
    if (cmd == "status") {
        if (args.size() != 1) return Usage(err, "status takes no arguments");
        return Status(out);
    }
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        out << kUsageText;
        return kOk;
    }
    return Usage(err, "unknown command '" + cmd + "'");
}

}  // namespace quvo::board
