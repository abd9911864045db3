// Preview through QuvoSDK: pictures reach the host's window, graph events reach it
// as message 1224, the event registration ends with the graph, and the preview
// flags decide which branches a build adds.
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct GraphCensus {
    int filters = 0;
    int connections = 0;  // connected output pins
};

GraphCensus Census()
{
    GraphCensus census;
    ComPtr<IEnumFilters> filters;
    if (FAILED(TheDevice().graphBuilder->EnumFilters(&filters))) return census;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        ++census.filters;
        ComPtr<IEnumPins> pins;
        filter->EnumPins(&pins);
        ComPtr<IPin> pin;
        while (pins && pins->Next(1, &pin, nullptr) == S_OK) {
            PIN_DIRECTION dir;
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == PINDIR_OUTPUT && SUCCEEDED(pin->ConnectedTo(&peer)))
                ++census.connections;
        }
    }
    return census;
}

using PreviewTest = SdkGraphTest;

TEST_F(PreviewTest, PicturesReachTheWindowSurface)
{
    ASSERT_TRUE(ApplyPreset(kDvd));
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 0, 0, 720, 576), QUVO_SUCCESS);
    double rate = 0;
    ASSERT_EQ(QuvoGetCurrentFrameRate(&rate), QUVO_SUCCESS);

    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    ASSERT_TRUE(WaitUntil([&] { return window->Frames() > 0; }, 10s)) << "no picture";
    const int first = window->Frames();
    const auto start = Clock::now();
    std::this_thread::sleep_for(5s);
    const int frames = window->Frames() - first;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    EXPECT_GE(frames, static_cast<int>(0.95 * rate * seconds)) << frames << " frames in " << seconds << " s";
}

TEST_F(PreviewTest, StatusFailsAfterStopUntilRegisteredAgain)
{
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    uint32_t state = 99;
    EXPECT_EQ(QuvoGetCurrentGraphStatus(&state, 100), QUVO_SUCCESS);
    EXPECT_EQ(state, 4u);
    uint32_t handle = 0;
    EXPECT_EQ(QuvoGetFilterGraphEvent(&handle), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetFilterGraphEvent(nullptr), QUVO_ERR_FAILED);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    EXPECT_EQ(QuvoGetCurrentGraphStatus(&state, 100), QUVO_ERR_FAILED);
    EXPECT_EQ(state, 0u);
    EXPECT_EQ(QuvoGetFilterGraphEvent(&handle), QUVO_ERR_FAILED);
    EXPECT_EQ(QuvoStopPreview(), QUVO_ERR_FAILED);  // already stopped

    ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentGraphStatus(&state, 100), QUVO_SUCCESS);
    EXPECT_EQ(state, 2u);
}

// A capture into a device that takes no bytes: the writer's failure stops the board,
// which reports an aborting error. It reaches the window as message 1224 and, once
// read, leaves the device reset until it is initialized again.
TEST_F(PreviewTest, ErrorEventReachesTheWindowAndResetsTheDevice)
{
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetCaptureFileName("/dev/full", 9), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    ASSERT_TRUE(WaitUntil([&] { return window->Messages1224() > 0; }, 15s)) << "no event message";
    EXPECT_EQ(window->OtherMessages(), 0);

    uint32_t state = 0;
    for (int i = 0; i < 20 && state != 5; ++i) ASSERT_EQ(QuvoGetCurrentGraphStatus(&state, 100), QUVO_SUCCESS);
    EXPECT_EQ(state, 5u);
    EXPECT_FALSE(TheDevice().graphBuilder);
    EXPECT_FALSE(TheDevice().deviceMoniker);
    EXPECT_EQ(TheDevice().previewVideo, 1u);

    // No graph can be built now, but the old one still stops.
    EXPECT_EQ(QuvoStartPreview(), QUVO_ERR_FAILED);
    EXPECT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetGraphState(&state), QUVO_SUCCESS);
    EXPECT_EQ(state, 2u);
}

TEST_F(PreviewTest, PreviewModeOneBuildsOnlyTheRecordingPath)
{
    ASSERT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 0, 0, 720, 576), QUVO_SUCCESS);
    QuvoSetDebugLevel(5);
    QuvoSetDebugTarget(1);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    const GraphCensus census = Census();
    EXPECT_EQ(census.filters, 3);
    EXPECT_EQ(census.connections, 2);
    EXPECT_TRUE(TheDevice().captureFilter && TheDevice().teeFilter && TheDevice().fileWriterFilter);
    EXPECT_FALSE(TheDevice().demuxFilter);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    // Only the capture filter stays, for the next bind to replace.
    EXPECT_EQ(Census().filters, 1);
    QuvoSetDebugTarget(0);
    // No video renderer to own the window.
    EXPECT_NE(LogText().find("***Error : Set Video Window Failed : 0x"), std::string::npos);
}

TEST_F(PreviewTest, FullPreviewGraphAndVideoOnly)
{
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    GraphCensus census = Census();
    EXPECT_EQ(census.filters, 8);
    EXPECT_EQ(census.connections, 7);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    ASSERT_EQ(QuvoSetPreviewMode(2), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    census = Census();
    EXPECT_EQ(census.filters, 6);
    EXPECT_EQ(census.connections, 5);
    EXPECT_FALSE(TheDevice().audioRendererFilter);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
}

// Full-screen requests wait for the next start and are then forgotten; a running
// graph refuses them.
TEST_F(PreviewTest, FullScreenRequestAppliesOnceAtTheNextStart)
{
    auto window = CountingWindow::Create();
    ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 10, 20, 352, 288), QUVO_SUCCESS);
    QuvoSetDebugLevel(5);
    QuvoSetDebugTarget(1);

    ASSERT_EQ(QuvoSetPreviewToFullScreen(2), QUVO_SUCCESS);  // windowed, as 0
    EXPECT_EQ(TheDevice().fullScreenChangePending, 1u);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    EXPECT_EQ(TheDevice().fullScreenChangePending, 0u);
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(TheDevice().videoWindow);
    ASSERT_EQ(TheDevice().videoWindow->GetWindowPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 20);
    EXPECT_EQ(width, 352);
    EXPECT_EQ(height, 288);
    EXPECT_EQ(QuvoSetPreviewToFullScreen(1), QUVO_ERR_FAILED);
    EXPECT_EQ(TheDevice().fullScreenChangePending, 0u);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    ASSERT_EQ(QuvoSetPreviewToFullScreen(1), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    LONG mode = 0;
    ASSERT_EQ(TheDevice().videoWindow->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OATRUE);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    // Forgotten after one start: the next graph's window is in its default mode.
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    ASSERT_EQ(TheDevice().videoWindow->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    QuvoSetDebugTarget(0);

    const std::string log = LogText();
    EXPECT_NE(log.find("FullScreenMode - Change not required\r\n"), std::string::npos);
    EXPECT_NE(log.find("-Warning : Full screen mode cannot be set while Graph is running-\r\n"), std::string::npos);
    EXPECT_NE(log.find("Preview Started...\r\n---Exit : TvrStartPreview---\r\n"), std::string::npos);
    EXPECT_NE(log.find("...Preview Stopped\r\n"), std::string::npos);
}

TEST_F(PreviewTest, StopWithoutStartWritesOnlyItsTrace)
{
    QuvoSetDebugLevel(6);
    QuvoSetDebugTarget(1);
    EXPECT_EQ(QuvoStopPreview(), QUVO_ERR_FAILED);
    QuvoSetDebugTarget(0);
    EXPECT_EQ(LogText(), "---Enter : TvrStopPreview---\r\n---Exit : TvrStopPreview---\r\n");
}

TEST_F(PreviewTest, UnknownTvStandardFailsAtTheVideoDecoderConnection)
{
    QuvoSetDebugLevel(3);
    QuvoSetDebugTarget(1);
    TheDevice().tvStandard = 2;  // neither NTSC nor PAL: no "Video Out" type
    EXPECT_EQ(QuvoStartPreview(), QUVO_ERR_FAILED);
    uint32_t state = 0;
    EXPECT_EQ(QuvoGetGraphState(&state), QUVO_SUCCESS);
    EXPECT_EQ(state, 2u);
    EXPECT_EQ(Census().filters, 1);
    QuvoSetDebugTarget(0);
    EXPECT_NE(LogText().find("***Error : Capture Graph Build Failed On Connecting MpegDemuxer - VideoDecoder : "
                             "0x80004005\r\n"),
              std::string::npos)
        << LogText();
}

}  // namespace
}  // namespace quvo::sdk::test
