#include "sdk/graphs/tests/SdkGraphFixture.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "sdk/DebugLog.h"

namespace quvo::sdk::test {
namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

double ToDouble(const std::string& s) { return s.empty() ? 0 : std::strtod(s.c_str(), nullptr); }
int ToInt(const std::string& s) { return s.empty() ? 0 : std::atoi(s.c_str()); }

}  // namespace

::testing::AssertionResult ApplyPreset(const Preset& preset)
{
    QUVO_RESULT r = QuvoSetVideoCompressionStandard(preset.standard);
    if (r != QUVO_SUCCESS) return ::testing::AssertionFailure() << "standard: 0x" << std::hex << r;
    if ((r = QuvoSetVideoResolution(preset.resolution)) != QUVO_SUCCESS)
        return ::testing::AssertionFailure() << "resolution: 0x" << std::hex << r;
    if ((r = QuvoSetVideoBitrate(preset.rateMode, preset.bitrate, preset.bitrate)) != QUVO_SUCCESS)
        return ::testing::AssertionFailure() << "bit rate: 0x" << std::hex << r;
    if ((r = QuvoSetAudioFormat(16)) != QUVO_SUCCESS) return ::testing::AssertionFailure() << "audio format";
    if ((r = QuvoSetAudioSamplingRate(32)) != QUVO_SUCCESS) return ::testing::AssertionFailure() << "sampling rate";
    return ::testing::AssertionSuccess();
}

CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ProbeInfo Probe(const std::string& file)
{
    ProbeInfo info;
    const CommandResult r = RunCommand("ffprobe -v error -show_entries "
                                "stream=codec_type,codec_name,width,height,sample_rate,channels:format=duration "
                                "-of default=noprint_wrappers=1 '" + file + "'");
    std::istringstream lines(r.output);
    std::string line;
    std::string type;
    std::string codec;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "codec_name") codec = value;
        if (key == "codec_type") {
            type = value;
            (type == "video" ? info.videoCodec : info.audioCodec) = codec;
        }
        if (key == "width" && ToInt(value)) info.width = ToInt(value);
        if (key == "height" && ToInt(value)) info.height = ToInt(value);
        if (key == "sample_rate" && ToInt(value)) info.sampleRate = ToInt(value);
        if (key == "channels" && ToInt(value)) info.channels = ToInt(value);
        if (key == "duration") info.duration = ToDouble(value);
    }
    return info;
}

std::string DecodeErrors(const std::string& file)
{
    const CommandResult r = RunCommand("ffmpeg -nostdin -v error -i '" + file + "' -f null -");
    return r.status == 0 ? r.output : "exit " + std::to_string(r.status) + ": " + r.output;
}

std::string TempPath(const std::string& name)
{
    const std::string dir = Env("TMPDIR");
    return (dir.empty() ? std::string("/tmp") : dir) + "/" + name;
}

std::string LogText()
{
    std::ifstream in(TheLog().FileName(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<uint8_t> ReadFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool BeginsAtStartPoint(const std::vector<uint8_t>& b)
{
    if (b.size() < 14 || b[0] != 0 || b[1] != 0 || b[2] != 1 || b[3] != 0xBA) return false;
    // MPEG-2 pack header: 14 bytes plus stuffing; MPEG-1: 12 bytes.
    std::size_t next = (b[4] & 0xC0) == 0x40 ? 14 + (b[13] & 7) : 12;
    if (b.size() < next + 4) return false;
    return b[next] == 0 && b[next + 1] == 0 && b[next + 2] == 1 && (b[next + 3] == 0xBB || b[next + 3] == 0xB3);
}

std::vector<ListedFragment> ReadDescription(const std::string& file)
{
    std::vector<ListedFragment> listed;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != "TVMP\r") return listed;
    while (std::getline(in, line)) {
        const auto semicolon = line.find(';');
        if (line.empty() || line.back() != '\r' || semicolon == std::string::npos) return {};
        listed.push_back({line.substr(0, semicolon), std::stoull(line.substr(semicolon + 1))});
    }
    return listed;
}

std::unique_ptr<CountingWindow> CountingWindow::Create(int width, int height)
{
    std::unique_ptr<CountingWindow> window(new CountingWindow);
    window->hwnd_ = RegisterWindow(&CountingWindow::OnMessage, window.get(), window->surface_, width, height);
    return window;
}

CountingWindow::~CountingWindow() { UnregisterWindow(hwnd_); }

void CountingWindow::OnMessage(HWND, UINT message, WPARAM, LPARAM, void* context)
{
    auto* self = static_cast<CountingWindow*>(context);
    (message == 1224 ? self->messages1224_ : self->otherMessages_).fetch_add(1);
}

void SdkGraphTest::SetUpTestSuite()
{
    // The installed modules go into this test's own registry, as an installation would.
    // (The module folder also holds the runtime tests' deliberately broken modules.)
    const std::string modules = Env("QUVO_MODULE_DIR");
    const std::string regsvr = Env("QUVO_BUILD_DIR") + "/tools/regsvr";
    ASSERT_FALSE(modules.empty()) << "QUVO_MODULE_DIR names the built modules";
    for (const char* name : {"TvrFileWriter.so", "KestorBoard.so", "MpegDecoders.so", "MakerFilters.so"}) {
        const CommandResult r = RunCommand(regsvr + " -s '" + modules + "/" + name + "'");
        EXPECT_EQ(r.status, 0) << name << ": " << r.output;
    }
}

void SdkGraphTest::SetUp()
{
    // Settings outlive QuvoUninitialize; each test starts from full preview.
    QuvoSetPreviewMode(8);
    uint32_t mask = 0xFFFFFFFF;
    ASSERT_EQ(QuvoInitialize(&mask), QUVO_SUCCESS) << "mask 0x" << std::hex << mask;
    ASSERT_EQ(mask, 0u);  // every filter the graphs use is registered
}

void SdkGraphTest::TearDown()
{
    StopAll();
    QuvoUninitialize();
}

void SdkGraphTest::StopAll()
{
    QuvoStopPlayback();
    QuvoStopCapture();  // either capture stop stops whatever capture graph runs
}

}  // namespace quvo::sdk::test
