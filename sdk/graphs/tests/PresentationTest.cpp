// What the preview graph the SDK builds presents, headless with SDL's dummy
// drivers, fed by the virtual board:
//  - a 5 s live preview draws at least 95% of the pictures the board delivered,
//    in time-stamp order by the audio renderer's clock, which keeps real time
//    within 2% of CLOCK_MONOTONIC;
//  - the picture goes to the owner window at the rectangle set, full screen on
//    and off through IVideoWindow moves it to the owner's whole client area and
//    back, and nothing is dropped;
//  - each of the three presets the system records (MPEG-1 VCD, MPEG-2 SVCD and
//    DVD) is drawn at its own size, every picture the board delivered, with no
//    error event.
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "interfaces/BoardInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

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
        // The board's colour bars are never black in the middle: a picture of zeros
        // means nothing was converted.
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

// The graph's clock is the audio renderer's.
bool ClockIsTheAudioRenderers(const EncoderDevice& d)
{
    ComPtr<IMediaFilter> graph;
    ComPtr<IReferenceClock> clock, own;
    return SUCCEEDED(d.graphBuilder.As(std::addressof(graph))) && SUCCEEDED(graph->GetSyncSource(&clock)) && clock
        && SUCCEEDED(d.audioRendererFilter.As(std::addressof(own))) && IsSameObject(clock.Get(), own.Get());
}

// The video window's owner and its rectangle in the owner's client area.
bool OwnedAt(QUVO_HWND owner, LONG left, LONG top, LONG width, LONG height)
{
    IVideoWindow* video = TheDevice().videoWindow.Get();
    OAHWND current = 0;
    LONG l = -1, t = -1, w = -1, h = -1;
    return video && SUCCEEDED(video->get_Owner(&current)) && current == reinterpret_cast<OAHWND>(owner)
        && SUCCEEDED(video->GetWindowPosition(&l, &t, &w, &h)) && l == left && t == top && w == width && h == height;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class PresentationTest : public SdkGraphTest {
protected:
    void TearDown() override
    {
        SdkGraphTest::TearDown();
        if (window_) UnregisterWindow(window_);
    }

    // A window of the window table whose pictures `surface_` records.
    QUVO_HWND Window(int width, int height)
    {
        window_ = RegisterWindow(nullptr, nullptr, surface_, width, height);
        return reinterpret_cast<QUVO_HWND>(window_);
    }
    // Starts the preview; `clockStart` is a clock time before the graph ran: until
    // it first plays, the audio renderer's clock reads the monotonic time.
    ::testing::AssertionResult Start()
    {
        clockStart_ = NowNs() / 100;
        monoStart_ = NowNs();
        if (QuvoStartPreview() != QUVO_SUCCESS) return ::testing::AssertionFailure() << "no preview";
        ComPtr<IReferenceClock> clock;
        if (FAILED(TheDevice().audioRendererFilter.As(std::addressof(clock))))
            return ::testing::AssertionFailure() << "no audio clock";
        surface_->SetClock(clock);
        clock_ = clock;
        return ::testing::AssertionSuccess();
    }
    // Reads the clock, the frames the board delivered and the renderer's counts,
    // then stops.
    void Stop()
    {
        ASSERT_EQ(clock_->GetTime(&clockEnd_), S_OK);
        monoEnd_ = NowNs();
        ComPtr<IKestorBoardStatus> board;
        ASSERT_EQ(TheDevice().captureFilter.As(std::addressof(board)), S_OK);
        ULONGLONG bytes = 0;
        ASSERT_EQ(board->GetCaptureCounts(&bytes, &delivered_), S_OK);
        ComPtr<IQualProp> quality;
        ASSERT_EQ(TheDevice().videoRendererFilter.As(std::addressof(quality)), S_OK);
        quality->get_FramesDrawn(&drawn_);
        quality->get_FramesDroppedInRenderer(&dropped_);
        ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    }

    // Checks common to every run: frames drawn, order by the audio clock, clock speed.
    void ExpectRealTimePresentation()
    {
        std::lock_guard lock(surface_->lock_);
        ASSERT_FALSE(surface_->times_.empty());
        // Expected: the pictures the board delivered, less two for the decoder's
        // reordering and the end of the run (a board on a busy machine skips
        // pictures itself, as a real one would).
        const int expected = static_cast<int>(delivered_) - 2;
        EXPECT_GE(expected, 25);  // at least a second of pictures
        EXPECT_GE(drawn_, 0.95 * expected) << "expected " << expected;
        const double rate =
            static_cast<double>(clockEnd_ - clockStart_) * 100.0 / static_cast<double>(monoEnd_ - monoStart_);
        EXPECT_NEAR(rate, 1.0, 0.02);
        EXPECT_GE(static_cast<int>(surface_->times_.size()), drawn_ - 1);
        // Frame k is stamped at least k * 40 ms after the stream's first time stamp,
        // and the stream starts no earlier than the clock time read before the
        // start: by the audio clock no frame is shown before its time, nor before
        // the frame ahead of it.
        const auto& times = surface_->times_;
        for (std::size_t k = 0; k < times.size(); ++k) {
            EXPECT_GE(times[k], clockStart_ + static_cast<REFERENCE_TIME>(k) * 400000) << k;
            if (k > 0) {
                EXPECT_GE(times[k], times[k - 1]) << k;
            }
        }
    }

    std::shared_ptr<RecordingSurface> surface_ = std::make_shared<RecordingSurface>();
    HWND window_ = nullptr;
    ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME clockStart_ = 0, clockEnd_ = 0;
    std::int64_t monoStart_ = 0, monoEnd_ = 0;
    ULONG delivered_ = 0;
    int drawn_ = 0, dropped_ = 0;
};

TEST_F(PresentationTest, LivePreviewDrawsWhatTheBoardDeliversByTheAudioClock)
{
    // The board's defaults: PAL, 720 x 576, MPEG-2 video, 48 kHz linear PCM.
    const QUVO_HWND window = Window(720, 576);
    ASSERT_EQ(QuvoSetPreviewWindow(window, 0, 0, 720, 576), QUVO_SUCCESS);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ClockIsTheAudioRenderers(TheDevice()));
    EXPECT_TRUE(OwnedAt(window, 0, 0, 720, 576));
    std::this_thread::sleep_for(5s);
    Stop();

    ExpectRealTimePresentation();
    std::lock_guard lock(surface_->lock_);
    EXPECT_EQ(surface_->width_, 720);
    EXPECT_EQ(surface_->height_, 576);
}

TEST_F(PresentationTest, OwnerWindowAndFullScreenByTheAudioClock)
{
    ASSERT_TRUE(ApplyPreset(kDvd));
    const QUVO_HWND window = Window(800, 600);
    ASSERT_EQ(QuvoSetPreviewWindow(window, 10, 20, 360, 288), QUVO_SUCCESS);
    ASSERT_TRUE(Start());
    IVideoWindow* video = TheDevice().videoWindow.Get();
    ASSERT_TRUE(video);
    EXPECT_TRUE(OwnedAt(window, 10, 20, 360, 288));
    EXPECT_TRUE(ClockIsTheAudioRenderers(TheDevice()));
    EXPECT_EQ(video->put_WindowStyle(WS_CHILD), S_OK);
    EXPECT_EQ(video->SetWindowPosition(10, 20, 360, 288), S_OK);
    EXPECT_EQ(video->put_Visible(OATRUE), S_OK);
    LONG mode = 1;
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);

    std::this_thread::sleep_for(3000ms);
    ASSERT_EQ(video->put_FullScreenMode(OATRUE), S_OK);
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OATRUE);
    std::this_thread::sleep_for(500ms);
    RECT fullDest{};
    {
        std::lock_guard lock(surface_->lock_);
        fullDest = surface_->dests_.back();
    }
    ASSERT_EQ(video->put_FullScreenMode(OAFALSE), S_OK);
    ASSERT_EQ(video->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);
    std::this_thread::sleep_for(1500ms);
    Stop();

    EXPECT_EQ(dropped_, 0);
    ExpectRealTimePresentation();
    std::lock_guard lock(surface_->lock_);
    EXPECT_EQ(surface_->width_, 720);
    EXPECT_EQ(surface_->height_, 576);
    EXPECT_GE(surface_->nonBlack_, static_cast<int>(surface_->times_.size()) - 1);
    EXPECT_TRUE(SameRect(fullDest, RECT{0, 0, 800, 600}));
    EXPECT_TRUE(SameRect(surface_->dests_.front(), RECT{10, 20, 370, 308}));
    EXPECT_TRUE(SameRect(surface_->dests_.back(), RECT{10, 20, 370, 308}));
}

TEST_F(PresentationTest, EveryPresetIsDrawnWholeWithoutAnErrorEvent)
{
    auto events = CountingWindow::Create();
    QuvoSetDebugLevel(5);
    QuvoSetDebugTarget(1);
    ASSERT_EQ(QuvoSetPreviewWindow(Window(720, 576), 0, 0, 720, 576), QUVO_SUCCESS);
    const struct {
        const Preset& preset;
        int width, height;
    } runs[] = {{kVcd, 352, 288}, {kSvcd, 480, 576}, {kDvd, 720, 576}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.preset.name);
        ASSERT_TRUE(ApplyPreset(run.preset));
        ASSERT_EQ(QuvoSetEventNotificationWindow(events->Handle(), 1224), QUVO_SUCCESS);
        ASSERT_TRUE(Start());
        EXPECT_TRUE(TheDevice().demuxFilter && TheDevice().videoDecoderFilter && TheDevice().audioDecoderFilter);
        std::this_thread::sleep_for(2s);
        // Every event so far is read: none may be an error.
        uint32_t state = QUVO_GRAPH_STATE_RUNNING;
        for (int i = 0; i < 50 && state == QUVO_GRAPH_STATE_RUNNING; ++i)
            ASSERT_EQ(QuvoGetCurrentGraphStatus(&state, 0), QUVO_SUCCESS);
        EXPECT_EQ(state, QUVO_GRAPH_STATE_RUNNING);
        Stop();
        // None dropped; the last few delivered may still be on their way (the
        // decoder's reordering, the samples queued between the filters).
        EXPECT_EQ(dropped_, 0);
        EXPECT_GE(drawn_, static_cast<int>(delivered_) - 6);
        std::lock_guard lock(surface_->lock_);
        EXPECT_EQ(surface_->width_, run.width);
        EXPECT_EQ(surface_->height_, run.height);
    }
    QuvoSetDebugTarget(0);
    const std::string log = LogText();
    EXPECT_EQ(log.find("Event - Operation Aborted due to an Error"), std::string::npos);
    EXPECT_EQ(log.find("Event - Stream has stopped due to an Error."), std::string::npos);
}

}  // namespace
}  // namespace quvo::sdk::test
