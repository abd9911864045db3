// Fixture for the graph tests: the built modules registered into this test's own
// registry, QuvoInitialize on the virtual board, and helpers that check recorded
// files with ffprobe and ffmpeg run as subprocesses.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Window.h"
#include <quvo/QuvoSDK.h>

namespace quvo::sdk::test {

struct Preset {
    const char* name;
    uint32_t standard;    // compression standard code
    uint32_t resolution;  // frame-size code
    uint32_t rateMode;    // 0 constant, 1 variable
    uint32_t bitrate;
};
inline constexpr Preset kVcd{"vcd", 1, 16, 0, 1150000};
inline constexpr Preset kSvcd{"svcd", 2, 256, 1, 2375000};
inline constexpr Preset kDvd{"dvd", 2, 8192, 1, 6000000};

// Sends the preset to the board as the desktop program does.
::testing::AssertionResult ApplyPreset(const Preset& preset);

// Runs a shell command; its exit status, and its standard output and error joined.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult RunCommand(const std::string& command);

// What ffprobe reports of a file.
struct ProbeInfo {
    std::string videoCodec;
    int width = 0;
    int height = 0;
    std::string audioCodec;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;
};
ProbeInfo Probe(const std::string& file);
// ffmpeg's error output when decoding the whole file (empty: decoded cleanly).
std::string DecodeErrors(const std::string& file);

std::string TempPath(const std::string& name);
// The diagnostic log written so far (the file QuvoSetDebugTarget(1) opened).
std::string LogText();

// Waits until `pred` holds; false after `limit`, which only guards against a hang.
template <class Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
std::vector<uint8_t> ReadFile(const std::string& file);
// True when the bytes begin with a pack header followed by a system or sequence header.
bool BeginsAtStartPoint(const std::vector<uint8_t>& bytes);

// The fragments a description file lists, in order (empty when it cannot be read or
// its header is wrong). Names are as written there: relative to the file's folder.
struct ListedFragment {
    std::string name;
    uint64_t size = 0;
};
std::vector<ListedFragment> ReadDescription(const std::string& file);

// A registered window that counts what reaches it: posted messages and presented
// frames. Unregistered when destroyed.
class CountingWindow {
public:
    static std::unique_ptr<CountingWindow> Create(int width = 720, int height = 576);
    ~CountingWindow();

    QUVO_HWND Handle() const { return reinterpret_cast<QUVO_HWND>(hwnd_); }
    int Frames() const { return surface_->frames.load(); }
    int Messages1224() const { return messages1224_.load(); }
    int OtherMessages() const { return otherMessages_.load(); }

private:
    struct Surface : IVideoSurface {
        void PresentFrame(const std::uint8_t*, int, int, int, RECT) override { frames.fetch_add(1); }
        std::atomic<int> frames{0};
    };
    CountingWindow() = default;
    static void OnMessage(HWND, UINT message, WPARAM, LPARAM, void* context);

    HWND hwnd_ = nullptr;
    std::shared_ptr<Surface> surface_ = std::make_shared<Surface>();
    std::atomic<int> messages1224_{0};
    std::atomic<int> otherMessages_{0};
};

class SdkGraphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
    // Stops whatever graph runs; ignores "no graph".
    static void StopAll();
};

}  // namespace quvo::sdk::test
