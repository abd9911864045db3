// Preview graph as the SDK builds it, headless with SDL's dummy drivers, fed by the
// virtual board's capture filter, and by a source that plays a DVD-preset stream
// with linear PCM in real time:
//  - the board's live preview draws at least 95% of the pictures the board sent
//    for a 5 s run (counted on the tee's other output, where the writer goes), in
//    time-stamp order by the audio renderer's clock, which keeps real time;
//  - a 5 s run draws at least 95% of the frames due, into the video surface of a
//    window-table window at the rectangle set through IVideoWindow;
//  - frames are presented in time-stamp order by the audio renderer's clock, and
//    that clock runs at real-time speed within 2% of CLOCK_MONOTONIC;
//  - full screen on and off is reported through IVideoWindow and moves the picture
//    to the owner's whole client area and back.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/com/Runtime.h"
#include "platform/filters/tests/PreviewGraph.h"
#include "platform/win32/Window.h"

namespace quvo::filters::test {
namespace {

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Records what the video renderer presents, with the audio clock's time.
class RecordingSurface final : public IVideoSurface {
public:
    void SetClock(ComPtr<IReferenceClock> clock)
    {
        std::lock_guard lock(lock_);
        clock_ = std::move(clock);
    }

    void PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest) override
    {
        std::lock_guard lock(lock_);
        REFERENCE_TIME now = 0;
        if (clock_) clock_->GetTime(&now);
        times_.push_back(now);
        dests_.push_back(dest);
        width_ = width;
        height_ = height;
        // testsrc is never black: a picture of zeros means nothing was converted.
        if (bgra[static_cast<std::size_t>(height / 2) * stride + width * 2] != 0
            || bgra[static_cast<std::size_t>(height / 2) * stride + width * 2 + 1] != 0)
            ++nonBlack_;
    }

    std::vector<REFERENCE_TIME> times_;
    std::vector<RECT> dests_;
    int width_ = 0, height_ = 0, nonBlack_ = 0;
    std::mutex lock_;
    ComPtr<IReferenceClock> clock_;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class PreviewGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_TRUE(RegisterMpegModule());
    }
    void TearDown() override
    {
        graph_.TearDown();
        CoUninitialize();
    }
    PreviewGraph graph_;
};

// Checks common to both runs: frames drawn, order by the audio clock, clock speed.
void ExpectRealTimePresentation(int drawn, const RecordingSurface& surface, const PictureLog& pictures,
                                REFERENCE_TIME clockStart, REFERENCE_TIME clockEnd, std::int64_t monoStart,
                                std::int64_t monoEnd)
{
    ASSERT_FALSE(surface.times_.empty());
    // Expected: the pictures the source delivered whose time came within the run,
    // less two frames for the decoder's reordering and the start of the run (a
    // board on a busy machine skips pictures itself, as a real one would).
    int expected = 0;
    for (REFERENCE_TIME t : pictures.Times())
        if (t < clockEnd - clockStart - 2 * 400000) ++expected;
    EXPECT_GE(expected, 25);  // at least a second of pictures
    EXPECT_GE(drawn, 0.95 * expected) << "expected " << expected;
    const double rate = static_cast<double>(clockEnd - clockStart) * 100.0 / static_cast<double>(monoEnd - monoStart);
    EXPECT_NEAR(rate, 1.0, 0.02);
    EXPECT_GE(static_cast<int>(surface.times_.size()), drawn - 1);
    // Frame k is stamped at least k * 40 ms after the stream's first time stamp, and
    // the stream starts no earlier than the clock time read before Run: by the audio
    // clock no frame is shown before its time, nor before the frame ahead of it.
    for (std::size_t k = 0; k < surface.times_.size(); ++k) {
        EXPECT_GE(surface.times_[k], clockStart + static_cast<REFERENCE_TIME>(k) * 400000) << k;
        if (k > 0) {
            EXPECT_GE(surface.times_[k], surface.times_[k - 1]) << k;
        }
    }
}

TEST_F(PreviewGraphTest, VirtualBoardLivePreview)
{
    ASSERT_TRUE(RegisterModule("KestorBoard.so"));
    ComPtr<IBaseFilter> board = BindCaptureDevice("Kestor Recorder A");
    ASSERT_TRUE(board);
    // The board's defaults: PAL, 720 x 576, MPEG-2 video, 48 kHz linear PCM.
    ASSERT_EQ(graph_.Build(board, VideoOutType(720, 576, 4200000, 400000), {LpcmAudioType(48000), 0xBD, 0xA0, 7}),
              "");
    auto surface = std::make_shared<RecordingSurface>();
    surface->SetClock(graph_.clock);
    HWND window = RegisterWindow(nullptr, nullptr, surface, 720, 576);
    ASSERT_TRUE(window);
    ComPtr<IVideoWindow> video;
    ASSERT_EQ(graph_.graph->QueryInterface(IID_IVideoWindow, video.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(video->put_Owner(reinterpret_cast<OAHWND>(window)), S_OK);
    video->SetWindowPosition(0, 0, 720, 576);

    REFERENCE_TIME clockStart = 0, clockEnd = 0;
    ASSERT_EQ(graph_.clock->GetTime(&clockStart), S_OK);
    const std::int64_t monoStart = NowNs();
    ASSERT_GE(graph_.control->Run(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    ASSERT_EQ(graph_.clock->GetTime(&clockEnd), S_OK);
    const std::int64_t monoEnd = NowNs();
    ComPtr<IQualProp> quality;
    ASSERT_EQ(graph_.videoRenderer->QueryInterface(IID_IQualProp, quality.ReleaseAndGetVoidAddressOf()), S_OK);
    int drawn = 0;
    quality->get_FramesDrawn(&drawn);
    graph_.control->Stop();

    std::lock_guard lock(surface->lock_);
    ExpectRealTimePresentation(drawn, *surface, *graph_.pictures, clockStart, clockEnd, monoStart, monoEnd);
    EXPECT_EQ(surface->width_, 720);
    UnregisterWindow(window);
}

TEST_F(PreviewGraphTest, RealTimePreviewIntoOwnerWindowByTheAudioClock)
{
    const std::string file = MakeStream("board.mpg", "pal-dvd", 8, "-acodec pcm_dvd -ac 2");
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(graph_.Build(file, true, VideoOutType(720, 576, 6000000, 400000),
                           {LpcmAudioType(48000), 0xBD, 0xA0, 7}),
              "");

    auto surface = std::make_shared<RecordingSurface>();
    surface->SetClock(graph_.clock);
    HWND window = RegisterWindow(nullptr, nullptr, surface, 800, 600);
    ASSERT_TRUE(window);

    ComPtr<IVideoWindow> video;
    ASSERT_EQ(graph_.graph->QueryInterface(IID_IVideoWindow, video.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(video->put_Owner(reinterpret_cast<OAHWND>(window)), S_OK);
    EXPECT_EQ(video->put_WindowStyle(WS_CHILD), S_OK);
    EXPECT_EQ(video->SetWindowPosition(10, 20, 360, 288), S_OK);
    EXPECT_EQ(video->put_Visible(OATRUE), S_OK);
    LONG mode = 1;
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);

    REFERENCE_TIME clockStart = 0, clockEnd = 0;
    ASSERT_EQ(graph_.clock->GetTime(&clockStart), S_OK);
    const std::int64_t monoStart = NowNs();
    ASSERT_GE(graph_.control->Run(), 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    ASSERT_EQ(video->put_FullScreenMode(OATRUE), S_OK);
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OATRUE);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    RECT fullDest{};
    {
        std::lock_guard lock(surface->lock_);
        fullDest = surface->dests_.back();
    }
    ASSERT_EQ(video->put_FullScreenMode(OAFALSE), S_OK);
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    ASSERT_EQ(graph_.clock->GetTime(&clockEnd), S_OK);
    const std::int64_t monoEnd = NowNs();
    ComPtr<IQualProp> quality;
    ASSERT_EQ(graph_.videoRenderer->QueryInterface(IID_IQualProp, quality.ReleaseAndGetVoidAddressOf()), S_OK);
    int drawn = 0, dropped = 0;
    quality->get_FramesDrawn(&drawn);
    quality->get_FramesDroppedInRenderer(&dropped);
    graph_.control->Stop();

    EXPECT_EQ(dropped, 0);
    std::lock_guard lock(surface->lock_);
    ExpectRealTimePresentation(drawn, *surface, *graph_.pictures, clockStart, clockEnd, monoStart, monoEnd);
    EXPECT_EQ(surface->width_, 720);
    EXPECT_EQ(surface->height_, 576);
    EXPECT_GE(surface->nonBlack_, static_cast<int>(surface->times_.size()) - 1);
    EXPECT_TRUE(SameRect(fullDest, RECT{0, 0, 800, 600}));
    EXPECT_TRUE(SameRect(surface->dests_.front(), RECT{10, 20, 370, 308}));
    EXPECT_TRUE(SameRect(surface->dests_.back(), RECT{10, 20, 370, 308}));
    UnregisterWindow(window);
}

}  // namespace
}  // namespace quvo::filters::test
