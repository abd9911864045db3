// 200 cycles each of preview start/stop, capture start/stop and recording on/off
// within one preview, with the streaming threads of the board, tee, demultiplexer,
// decoders and renderers running in between. Afterwards the process must hold no
// more threads or descriptors than after the first cycle, and the graph nothing but
// the capture filter. Built for ThreadSanitizer too, which watches every cycle.
// Playback cycles in each mode stop in the middle of the file; their count comes
// from QUVO_PLAYBACK_CYCLES (200 by hand, fewer in the test command).
#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

constexpr int kCycles = 200;

int CountEntries(const char* dir)
{
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

struct ProcessCensus {
    int threads = CountEntries("/proc/self/task");
    int descriptors = CountEntries("/proc/self/fd");
};

int FiltersInGraph()
{
    int n = 0;
    ComPtr<IEnumFilters> filters;
    if (!TheDevice().graphBuilder || FAILED(TheDevice().graphBuilder->EnumFilters(&filters))) return -1;
    ComPtr<IBaseFilter> f;
    while (filters->Next(1, &f, nullptr) == S_OK) ++n;
    return n;
}

// Threads of a stopped graph may take a moment to be reaped by the kernel.
void ExpectSettlesTo(const ProcessCensus& before)
{
    ProcessCensus now;
    for (int i = 0; i < 100 && (now.threads > before.threads || now.descriptors > before.descriptors); ++i) {
        std::this_thread::sleep_for(20ms);
        now = ProcessCensus{};
    }
    EXPECT_LE(now.threads, before.threads);
    EXPECT_LE(now.descriptors, before.descriptors);
}

using CycleTest = SdkGraphTest;

TEST_F(CycleTest, PreviewStartStop)
{
    ASSERT_TRUE(ApplyPreset(kVcd));
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 0, 0, 352, 288), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    const ProcessCensus before;
    for (int i = 0; i < kCycles; ++i) {
        ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS) << i;
        ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS) << i;
        if (i % 20 == 0) std::this_thread::sleep_for(200ms);  // let pictures flow now and then
        ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS) << i;
    }
    EXPECT_EQ(FiltersInGraph(), 1);
    ExpectSettlesTo(before);
}

TEST_F(CycleTest, CaptureStartStop)
{
    ASSERT_TRUE(ApplyPreset(kVcd));
    const std::string file = TempPath("cycle.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    const ProcessCensus before;
    for (int i = 0; i < kCycles; ++i) {
        ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS) << i;
        if (i % 20 == 0) std::this_thread::sleep_for(200ms);
        uint64_t bytes = 0;
        ASSERT_EQ(QuvoGetBytesStreamed(&bytes), QUVO_SUCCESS) << i;
        ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS) << i;
    }
    EXPECT_EQ(FiltersInGraph(), 1);
    ExpectSettlesTo(before);
}

TEST_F(CycleTest, RecordingOnOffDuringOnePreview)
{
    ASSERT_TRUE(ApplyPreset(kVcd));
    ASSERT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    const ProcessCensus before;
    uint64_t last = 0;
    for (int i = 0; i < kCycles; ++i) {
        const std::string file = TempPath("rec" + std::to_string(i % 4) + ".mpg");
        ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS) << i;
        ASSERT_EQ(QuvoStartRecording(), QUVO_SUCCESS) << i;
        std::this_thread::sleep_for(i % 20 == 0 ? 300ms : 5ms);
        ASSERT_EQ(QuvoStopRecording(), QUVO_SUCCESS) << i;
        uint64_t bytes = 0;
        ASSERT_EQ(QuvoGetBytesStreamed(&bytes), QUVO_SUCCESS) << i;
        ASSERT_GE(bytes, last) << i;
        last = bytes;
    }
    EXPECT_GT(last, 0u);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    ExpectSettlesTo(before);
}

int PlaybackCycles()
{
    const char* v = std::getenv("QUVO_PLAYBACK_CYCLES");
    return v && std::atoi(v) > 0 ? std::atoi(v) : kCycles;
}

TEST_F(CycleTest, PlaybackStartStopInEveryMode)
{
    ASSERT_TRUE(ApplyPreset(kVcd));
    ASSERT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    const std::string file = TempPath("played.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 0, 0, 352, 288), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetPlaybackFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetPlaybackMode(8), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPlayback(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopPlayback(), QUVO_SUCCESS);
    const ProcessCensus before;
    const int cycles = PlaybackCycles();
    for (uint32_t mode : {8u, 4u, 2u, 6u, 1u}) {
        ASSERT_EQ(QuvoSetPlaybackMode(mode), QUVO_SUCCESS);
        for (int i = 0; i < cycles; ++i) {
            ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS) << mode << ' ' << i;
            ASSERT_EQ(QuvoStartPlayback(), QUVO_SUCCESS) << mode << ' ' << i;
            std::this_thread::sleep_for(i % 10 == 0 ? 300ms : 5ms);  // mid-file: the file lasts 2 s
            ASSERT_EQ(QuvoStopPlayback(), QUVO_SUCCESS) << mode << ' ' << i;
        }
    }
    // Playback right after a capture has closed the same file.
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS) << i;
        std::this_thread::sleep_for(300ms);
        ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS) << i;
        ASSERT_EQ(QuvoSetPlaybackMode(i % 2 ? 1 : 2), QUVO_SUCCESS);
        ASSERT_EQ(QuvoStartPlayback(), QUVO_SUCCESS) << i;
        std::this_thread::sleep_for(100ms);
        ASSERT_EQ(QuvoStopPlayback(), QUVO_SUCCESS) << i;
    }
    EXPECT_EQ(FiltersInGraph(), 1);
    ExpectSettlesTo(before);
}

}  // namespace
}  // namespace quvo::sdk::test
