// Running graphs of the tests' own filters: a push source feeding an Infinite Pin
// Tee with two counting sinks. Every sample reaches both sinks in order; the graph
// moves between any two states; the default clock is chosen and shared; the
// renderers' EC_COMPLETEs become one unless default handling is cancelled; and a
// thousand run/stop cycles end with no deadlock, no thread and no filter left over.
#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <thread>

#include "platform/com/CUnknown.h"
#include "platform/graph/tests/GraphFixture.h"
#include "platform/graph/testkit/TestFilters.h"

namespace quvo::test {
namespace {

int ThreadCount()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') ++count;
        }
        closedir(dir);
    }
    return count;
}

class TeeGraphTest : public GraphTest {
protected:
    void Build(int samples, std::chrono::microseconds interval)
    {
        source = CountingSource::Make(samples, interval);
        sinkA = CountingSink::Make();
        sinkB = CountingSink::Make();
        ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   tee.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(tee.Get(), u"Tee"), S_OK);
        ASSERT_EQ(graph->AddFilter(sinkA.Get(), u"Sink A"), S_OK);
        ASSERT_EQ(graph->AddFilter(sinkB.Get(), u"Sink B"), S_OK);
        ComPtr<IPin> teeIn, out1, out2;
        ASSERT_EQ(tee->FindPin(u"Input", &teeIn), S_OK);
        ASSERT_EQ(graph->ConnectDirect(source->Out(), teeIn.Get(), nullptr), S_OK);
        ASSERT_EQ(tee->FindPin(u"Output1", &out1), S_OK);
        ASSERT_EQ(graph->ConnectDirect(out1.Get(), sinkA->In(), nullptr), S_OK);
        ASSERT_EQ(tee->FindPin(u"Output2", &out2), S_OK);
        ASSERT_EQ(graph->ConnectDirect(out2.Get(), sinkB->In(), nullptr), S_OK);
    }

    // Waits (bounded, generously) for the next event with code `wanted`; other
    // events are kept in `others`.
    bool WaitForEvent(LONG wanted)
    {
        for (int i = 0; i < 300; ++i) {
            LONG code;
            LONG_PTR p1, p2;
            if (events->GetEvent(&code, &p1, &p2, 100) != S_OK) continue;
            events->FreeEventParams(code, p1, p2);
            if (code == wanted) return true;
            others.push_back(code);
        }
        return false;
    }

    void TearDown() override
    {
        if (control) control->Stop();
        source.Reset();
        sinkA.Reset();
        sinkB.Reset();
        tee.Reset();
        GraphTest::TearDown();
    }

    ComPtr<CountingSource> source;
    ComPtr<CountingSink> sinkA, sinkB;
    ComPtr<IBaseFilter> tee;
    std::vector<LONG> others;
};

std::vector<std::uint32_t> Sequence(int n)
{
    std::vector<std::uint32_t> v(n);
    std::iota(v.begin(), v.end(), 0u);
    return v;
}

TEST_F(TeeGraphTest, EverySampleReachesBothSinksInOrder)
{
    Build(200, std::chrono::microseconds(100));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE));
    EXPECT_EQ(sinkA->Received(), Sequence(200));
    EXPECT_EQ(sinkB->Received(), Sequence(200));
    EXPECT_EQ(sinkA->EndOfStreams(), 1);
    EXPECT_EQ(sinkB->EndOfStreams(), 1);
    // Default handling: the two renderers' completions became one event.
    ASSERT_EQ(control->Stop(), S_OK);
    for (LONG code : DrainEvents()) EXPECT_NE(code, EC_COMPLETE);
}

TEST_F(TeeGraphTest, CancelledDefaultHandlingPassesEachCompletion)
{
    Build(10, {});
    ASSERT_EQ(events->CancelDefaultHandling(EC_COMPLETE), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE));
    ASSERT_TRUE(WaitForEvent(EC_COMPLETE));
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

TEST_F(TeeGraphTest, DefaultClockIsSharedByEveryFilter)
{
    Build(1, {});
    ComPtr<IMediaFilter> asFilter;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, asFilter.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(asFilter->GetSyncSource(&clock), S_OK);
    EXPECT_FALSE(clock);  // chosen on the first pause, not before

    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    ASSERT_EQ(asFilter->GetSyncSource(&clock), S_OK);
    ASSERT_TRUE(clock);
    for (IBaseFilter* f : {static_cast<IBaseFilter*>(source.Get()), tee.Get(), static_cast<IBaseFilter*>(sinkB.Get())}) {
        ComPtr<IReferenceClock> filterClock;
        ASSERT_EQ(f->GetSyncSource(&filterClock), S_OK);
        EXPECT_TRUE(IsSameObject(filterClock.Get(), clock.Get()));
    }
    EXPECT_EQ(asFilter->SetSyncSource(nullptr), VFW_E_NOT_STOPPED);

    // Stream time 0 lies after the moment Run was called; a resumed run keeps
    // the stream time that passed before the pause.
    REFERENCE_TIME before = 0;
    ASSERT_EQ(clock->GetTime(&before), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    const REFERENCE_TIME firstStart = source->StreamStart();
    EXPECT_GT(firstStart, before);
    EXPECT_EQ(sinkA->StreamStart(), firstStart);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_GE(source->StreamStart(), firstStart);
}

TEST_F(TeeGraphTest, AFilterThatIsAClockBecomesTheGraphClock)
{
    sinkA = CountingSink::Make();
    ASSERT_EQ(sinkA->OfferClock(), S_OK);
    ASSERT_EQ(graph->AddFilter(sinkA.Get(), u"Clock sink"), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    ComPtr<IMediaFilter> asFilter;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, asFilter.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(asFilter->GetSyncSource(&clock), S_OK);
    EXPECT_TRUE(IsSameObject(clock.Get(), sinkA->OwnClock()));

    // The clock leaves with its filter.
    ASSERT_EQ(control->Stop(), S_OK);
    ASSERT_EQ(graph->RemoveFilter(sinkA.Get()), S_OK);
    ASSERT_EQ(asFilter->GetSyncSource(&clock), S_OK);
    EXPECT_FALSE(clock);
}

TEST_F(TeeGraphTest, GraphStateIsIntermediateWhileAFilterIsOnItsWay)
{
    Build(1, {});
    sinkB->ReportIntermediate(true);
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    OAFilterState state = -1;
    EXPECT_EQ(control->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);
    sinkB->ReportIntermediate(false);
    EXPECT_EQ(control->GetState(0, &state), S_OK);
}

TEST_F(TeeGraphTest, MovesBetweenAnyTwoStates)
{
    Build(-1, std::chrono::microseconds(200));
    const OAFilterState states[] = {State_Stopped, State_Paused, State_Running};
    auto go = [&](OAFilterState s) {
        if (s == State_Stopped) return control->Stop();
        if (s == State_Paused) return control->Pause();
        return control->Run();
    };
    for (OAFilterState from : states) {
        for (OAFilterState to : states) {
            ASSERT_TRUE(SUCCEEDED(go(from)));
            ASSERT_TRUE(SUCCEEDED(go(to)));
            OAFilterState now = -1;
            ASSERT_EQ(control->GetState(1000, &now), S_OK);
            EXPECT_EQ(now, to);
            FILTER_STATE fs;
            ASSERT_EQ(sinkA->GetState(0, &fs), S_OK);
            EXPECT_EQ(fs, to) << "from " << from << " to " << to;
            ASSERT_EQ(source->GetState(0, &fs), S_OK);
            EXPECT_EQ(fs, to);
            if (to != State_Stopped) {
                // Samples flow while paused or running (bounded wait, not a timing check).
                const std::size_t before = sinkB->Received().size();
                for (int i = 0; i < 5000 && sinkB->Received().size() == before; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                EXPECT_GT(sinkB->Received().size(), before) << "from " << from << " to " << to;
            }
        }
    }
    ASSERT_EQ(control->Stop(), S_OK);
    // The sinks stop one after the other, so at each stop a sample the tee is
    // delivering may reach only the one still running; nothing else may differ.
    int stops = 1;
    for (OAFilterState from : states)
        for (OAFilterState to : states) stops += (from == State_Stopped) + (to == State_Stopped);
    const auto a = static_cast<long>(sinkA->Received().size()), b = static_cast<long>(sinkB->Received().size());
    EXPECT_LE(std::labs(a - b), stops);
}

TEST_F(TeeGraphTest, ThousandRunStopCyclesLeaveNothingBehind)
{
    const int threadsBefore = ThreadCount();
    Build(-1, {});
    int streamedCycles = 0;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(SUCCEEDED(control->Run())) << "cycle " << i;
        if (i % 10 == 0) {
            // Every tenth cycle stops in mid-stream rather than before the first sample.
            const int before = source->Stream()->next.load();
            for (int w = 0; w < 5000 && source->Stream()->next.load() == before; ++w)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (source->Stream()->next.load() > before) ++streamedCycles;
        }
        ASSERT_EQ(control->Stop(), S_OK) << "cycle " << i;
    }
    EXPECT_EQ(streamedCycles, 100);
    EXPECT_EQ(ThreadCount(), threadsBefore);

    // The graph lets go of every filter: only our references keep them, and once
    // those go no object of this module (filters, pins' allocators, samples) is left.
    control.Reset();
    events.Reset();
    graph.Reset();
    source.Reset();
    sinkA.Reset();
    sinkB.Reset();
    tee.Reset();
    EXPECT_EQ(quvo::module::ObjectCount(), 0);
}

TEST_F(TeeGraphTest, ReleasingARunningGraphStopsAndFreesItsFilters)
{
    const int threadsBefore = ThreadCount();
    Build(-1, std::chrono::microseconds(100));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    control.Reset();
    events.Reset();
    graph.Reset();  // the last reference: the graph stops and disconnects everything
    FILTER_STATE fs;
    ASSERT_EQ(source->GetState(0, &fs), S_OK);
    EXPECT_EQ(fs, State_Stopped);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->Out()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(ThreadCount(), threadsBefore);
    source.Reset();
    sinkA.Reset();
    sinkB.Reset();
    tee.Reset();
    EXPECT_EQ(quvo::module::ObjectCount(), 0);
}

TEST_F(TeeGraphTest, WaitForCompletionNeedsARun)
{
    Build(1, {});
    LONG code = -1;
    EXPECT_EQ(events->WaitForCompletion(0, &code), VFW_E_WRONG_STATE);
}

}  // namespace
}  // namespace quvo::test
