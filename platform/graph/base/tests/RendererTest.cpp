// CBaseRenderer fed by a hand-driven output pin, presenting by a clock the test
// sets by hand: a sample is drawn when the clock reaches stream start + its time,
// is held while paused (the first one completes the pause), is released at once
// by Stop or a flush, and late samples go through the drop policy.
#include <gtest/gtest.h>

#include <thread>

#include "platform/graph/testkit/TestFilters.h"

namespace {
using namespace quvo::test;

constexpr GUID kRendererClsid = {0x5e1d0003, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 3}};

class TestRenderer : public CBaseRenderer {
public:
    TestRenderer() : CBaseRenderer(kRendererClsid, "Test renderer", nullptr, &hr) {}

    HRESULT CheckMediaType(const CMediaType* mt) override
    {
        return mt->majortype == MEDIATYPE_Stream ? S_OK : S_FALSE;
    }
    HRESULT DoRenderSample(IMediaSample* sample) override
    {
        REFERENCE_TIME now = -1;
        if (ComPtr<IReferenceClock> clock = Clock()) clock->GetTime(&now);
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::uint32_t n;
        std::memcpy(&n, data, 4);
        std::lock_guard lock(drawnLock);
        drawn.push_back({n, now});
        return S_OK;
    }
    void OnReceiveFirstSample(IMediaSample*) override { ++stills; }
    bool DropLateSample(IMediaSample*, REFERENCE_TIME lateness) override
    {
        return dropLate && lateness > 0;
    }

    struct Drawn {
        std::uint32_t number;
        REFERENCE_TIME clockTime;
    };
    std::vector<Drawn> Drawn_()
    {
        std::lock_guard lock(drawnLock);
        return drawn;
    }

    HRESULT hr = S_OK;
    bool dropLate = false;
    std::atomic<int> stills{0};

private:
    std::mutex drawnLock;  // DoRenderSample (streaming thread) vs the test thread
    std::vector<Drawn> drawn;
};

struct RendererGraph {
    ManualClock clock;
    ManualSource* source = new ManualSource;
    ComPtr<IBaseFilter> holdSource{source};
    TestRenderer* renderer = new TestRenderer;
    ComPtr<IBaseFilter> holdRenderer{renderer};
    std::thread pusher;
    HRESULT pushed[2] = {E_FAIL, E_FAIL};

    RendererGraph()
    {
        EXPECT_EQ(source->Pin()->Connect(renderer->InputPin(), nullptr), S_OK);
        renderer->SetSyncSource(&clock);
    }
    ~RendererGraph()
    {
        renderer->Stop();
        source->Stop();
        if (pusher.joinable()) pusher.join();
        renderer->SetSyncSource(nullptr);
        source->Pin()->Disconnect();
        renderer->InputPin()->Disconnect();
    }
    void Run(REFERENCE_TIME start)
    {
        renderer->Pause();
        source->Pause();
        renderer->Run(start);
        source->Run(start);
    }
    // Pushes samples (number i at times[i]) on a thread of their own.
    void Push(std::vector<REFERENCE_TIME> times)
    {
        pusher = std::thread([this, times] {
            for (std::size_t i = 0; i < times.size(); ++i)
                pushed[i] = source->Pin()->Push(static_cast<std::uint32_t>(i), times[i],
                                                times[i] + UNITS / 25);
        });
    }
};

TEST(Renderer, PresentsWhenTheClockReachesStreamStartPlusSampleTime)
{
    RendererGraph g;
    g.clock.SetTime(1000);
    g.Run(2000);
    g.Push({0, 400000});

    ASSERT_TRUE(g.clock.WaitForPending(1));
    EXPECT_TRUE(g.renderer->Drawn_().empty());
    g.clock.SetTime(2000);  // due: 2000 + 0
    ASSERT_TRUE(g.clock.WaitForPending(1));  // the second sample's advice
    g.clock.SetTime(300000);
    EXPECT_EQ(g.renderer->Drawn_().size(), 1u);
    g.clock.SetTime(402000);
    g.pusher.join();

    auto drawn = g.renderer->Drawn_();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].number, 0u);
    EXPECT_EQ(drawn[0].clockTime, 2000);
    EXPECT_EQ(drawn[1].number, 1u);
    EXPECT_EQ(drawn[1].clockTime, 402000);
    EXPECT_EQ(g.pushed[0], S_OK);
    EXPECT_EQ(g.pushed[1], S_OK);
    int frames = 0;
    EXPECT_EQ(g.renderer->get_FramesDrawn(&frames), S_OK);
    EXPECT_EQ(frames, 2);
}

TEST(Renderer, PausedSampleIsHeldUntilRunAndCompletesThePause)
{
    RendererGraph g;
    g.renderer->SetSyncSource(nullptr);  // no clock: drawn as soon as running
    g.renderer->Pause();
    g.source->Pause();
    FILTER_STATE state;
    EXPECT_EQ(g.renderer->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);

    g.Push({0});
    EXPECT_EQ(g.renderer->GetState(30000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(g.renderer->stills.load(), 1);
    EXPECT_TRUE(g.renderer->Drawn_().empty());

    g.renderer->Run(0);
    g.pusher.join();
    EXPECT_EQ(g.pushed[0], S_OK);
    EXPECT_EQ(g.renderer->Drawn_().size(), 1u);
}

TEST(Renderer, StopReleasesAWaitingSampleAtOnce)
{
    RendererGraph g;
    g.Run(0);
    g.Push({10 * UNITS});
    ASSERT_TRUE(g.clock.WaitForPending(1));
    EXPECT_EQ(g.renderer->Stop(), S_OK);
    g.pusher.join();
    EXPECT_EQ(g.pushed[0], S_FALSE);
    EXPECT_TRUE(g.renderer->Drawn_().empty());
    EXPECT_EQ(g.clock.Pending(), 0u);  // its advice was taken back
}

TEST(Renderer, FlushReleasesAWaitingSample)
{
    RendererGraph g;
    g.Run(0);
    g.Push({10 * UNITS});
    ASSERT_TRUE(g.clock.WaitForPending(1));
    g.renderer->InputPin()->BeginFlush();
    g.pusher.join();
    EXPECT_EQ(g.pushed[0], S_FALSE);
    g.renderer->InputPin()->EndFlush();

    g.Push({0});  // accepted again after the flush
    g.pusher.join();
    EXPECT_EQ(g.pushed[0], S_OK);
    EXPECT_EQ(g.renderer->Drawn_().size(), 1u);
}

TEST(Renderer, PauseWhileWaitingHoldsAndRunReschedules)
{
    RendererGraph g;
    g.Run(0);
    g.Push({1000});
    ASSERT_TRUE(g.clock.WaitForPending(1));
    g.renderer->Pause();
    ASSERT_TRUE(g.clock.WaitForPending(0));
    g.clock.SetTime(5000);
    EXPECT_TRUE(g.renderer->Drawn_().empty());

    g.renderer->Run(10000);  // due now 11000
    ASSERT_TRUE(g.clock.WaitForPending(1));
    EXPECT_TRUE(g.renderer->Drawn_().empty());
    g.clock.SetTime(11000);
    g.pusher.join();
    auto drawn = g.renderer->Drawn_();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].clockTime, 11000);
}

TEST(Renderer, LateSamplesFollowTheDropPolicy)
{
    RendererGraph g;
    g.renderer->dropLate = true;
    g.clock.SetTime(5000);
    g.Run(0);
    g.Push({0, 6000});  // the first is 5000 late, the second on time
    ASSERT_TRUE(g.clock.WaitForPending(1));
    g.clock.SetTime(6000);
    g.pusher.join();
    int dropped = 0, drawn = 0;
    g.renderer->get_FramesDroppedInRenderer(&dropped);
    g.renderer->get_FramesDrawn(&drawn);
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(g.renderer->Drawn_().at(0).number, 1u);
}

TEST(Renderer, EndOfStreamCompletesThePauseAndReportsWhenRunning)
{
    EventRecorder events;
    RendererGraph g;
    g.renderer->JoinFilterGraph(&events, u"Renderer");
    g.renderer->Pause();
    g.source->Pause();
    ASSERT_EQ(g.source->Pin()->DeliverEndOfStream(), S_OK);
    FILTER_STATE state;
    EXPECT_EQ(g.renderer->GetState(0, &state), S_OK);
    EXPECT_EQ(events.Count(EC_COMPLETE), 0);
    g.renderer->Run(0);
    EXPECT_EQ(events.Count(EC_COMPLETE), 1);
    g.renderer->Stop();
    g.renderer->JoinFilterGraph(nullptr, nullptr);
}

TEST(Renderer, SeekingPassesUpstream)
{
    RendererGraph g;
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(g.renderer->QueryInterface(IID_IMediaSeeking, seeking.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IMediaPosition> position;
    ASSERT_EQ(g.renderer->QueryInterface(IID_IMediaPosition, position.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IMediaSeeking> again;
    g.renderer->QueryInterface(IID_IMediaSeeking, again.ReleaseAndGetVoidAddressOf());
    EXPECT_EQ(seeking.Get(), again.Get());
    EXPECT_TRUE(IsSameObject(seeking.Get(), g.renderer->GetOwner()));

    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), E_NOTIMPL);  // the manual source has none
    g.source->seeking.duration = 5 * UNITS;
    g.source->seeking.enabled = true;
    EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 5 * UNITS);
    REFTIME seconds = 0;
    EXPECT_EQ(position->get_Duration(&seconds), S_OK);  // converted from IMediaSeeking
    EXPECT_DOUBLE_EQ(seconds, 5.0);
    EXPECT_EQ(position->put_CurrentPosition(1.5), S_OK);
    EXPECT_EQ(g.source->seeking.current, 15000000);

    g.source->Pin()->Disconnect();
    g.renderer->InputPin()->Disconnect();
    EXPECT_EQ(seeking->GetDuration(&duration), VFW_E_NOT_CONNECTED);
}

}  // namespace
