// A push source connected by hand to a counting sink, driven the way a graph
// drives them (sink first: Pause, Pause, Run, Run; Stop sink, Stop source).
// Expected: samples arrive in order, end of stream once, EC_COMPLETE only while
// running, and a thousand start/stop cycles end with no thread, object or lock left.
#include <gtest/gtest.h>

#include "platform/graph/testkit/TestFilters.h"

namespace {
using namespace quvo::test;

struct SourceToSink {
    CountingSource* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource{source};
    CountingSink* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink{sink};

    SourceToSink() { EXPECT_EQ(source->Stream()->Connect(sink->Pin(), nullptr), S_OK); }
    ~SourceToSink()
    {
        Stop();
        source->Stream()->Disconnect();
        sink->Pin()->Disconnect();
    }
    HRESULT Pause()
    {
        HRESULT hr = sink->Pause();
        return FAILED(hr) ? hr : source->Pause();
    }
    HRESULT Run()
    {
        HRESULT hr = Pause();
        if (SUCCEEDED(hr)) hr = sink->Run(0);
        return FAILED(hr) ? hr : source->Run(0);
    }
    void Stop()
    {
        sink->Stop();
        source->Stop();
    }
};

TEST(Streaming, DeliversEverySampleInOrderThenEndOfStream)
{
    SourceToSink g;
    g.source->Stream()->limit = 50;
    ASSERT_EQ(g.Run(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    g.Stop();

    std::vector<std::uint32_t> got = g.sink->Received();
    ASSERT_EQ(got.size(), 50u);
    for (std::uint32_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], i);
    EXPECT_EQ(g.sink->EndOfStreams(), 1);
    EXPECT_FALSE(g.source->Stream()->ThreadExists());
    EXPECT_EQ(g.source->Stream()->threadsCreated, 1);
    EXPECT_EQ(g.source->Stream()->threadsDestroyed, 1);
}

TEST(Streaming, PausedSourceAlreadyPushes)
{
    SourceToSink g;
    g.source->Stream()->limit = 3;
    ASSERT_EQ(g.Pause(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    EXPECT_EQ(g.sink->Received().size(), 3u);
}

TEST(Streaming, EndOfStreamCompletesOnceAndOnlyWhileRunning)
{
    EventRecorder graph;
    SourceToSink g;
    g.sink->JoinFilterGraph(&graph, u"Sink");
    g.source->Stream()->limit = 2;

    // Paused: the end of stream is held back until Run.
    ASSERT_EQ(g.Pause(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    EXPECT_EQ(graph.Count(EC_COMPLETE), 0);
    ASSERT_EQ(g.sink->Run(0), S_OK);
    EXPECT_EQ(graph.Count(EC_COMPLETE), 1);
    g.sink->Pause();
    g.sink->Run(0);
    EXPECT_EQ(graph.Count(EC_COMPLETE), 1);
    EXPECT_EQ(graph.LastParam2(EC_COMPLETE),
              reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(g.sink)));

    // Stop then Pause starts over; this time the stream ends while running.
    g.Stop();
    g.sink->Clear();
    g.source->Stream()->next = 0;
    ASSERT_EQ(g.Run(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    g.Stop();
    EXPECT_EQ(graph.Count(EC_COMPLETE), 2);

    // A flush forgets the end of stream.
    g.sink->Clear();
    g.source->Stream()->next = 0;
    ASSERT_EQ(g.Pause(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    g.sink->Pin()->BeginFlush();
    g.sink->Pin()->EndFlush();
    g.sink->Run(0);
    EXPECT_EQ(graph.Count(EC_COMPLETE), 2);
    g.Stop();
    g.sink->JoinFilterGraph(nullptr, nullptr);
}

TEST(Streaming, DeliveryFailureEndsTheLoopAndReportsAnError)
{
    EventRecorder graph;
    SourceToSink g;
    g.source->JoinFilterGraph(&graph, u"Source");
    g.sink->failAfter = 5;
    ASSERT_EQ(g.Run(), S_OK);
    ASSERT_TRUE(g.sink->WaitForRefusal());
    g.Stop();  // joins the thread, so everything it did is done
    EXPECT_EQ(g.sink->Received().size(), 5u);
    EXPECT_EQ(g.source->Stream()->next, 6);  // the refused sample ended the loop
    EXPECT_EQ(graph.Count(EC_ERRORABORT), 1);
    EXPECT_EQ(g.sink->EndOfStreams(), 0);
    g.source->JoinFilterGraph(nullptr, nullptr);
}

TEST(Streaming, FillFailureSendsEndOfStreamAndReportsAnError)
{
    EventRecorder graph;
    SourceToSink g;
    g.source->JoinFilterGraph(&graph, u"Source");
    g.source->Stream()->limit = 2;
    g.source->Stream()->endResult = E_OUTOFMEMORY;
    ASSERT_EQ(g.Run(), S_OK);
    ASSERT_TRUE(g.sink->WaitForEndOfStream());
    g.Stop();
    EXPECT_EQ(g.sink->Received().size(), 2u);
    EXPECT_EQ(graph.Count(EC_ERRORABORT), 1);
    g.source->JoinFilterGraph(nullptr, nullptr);
}

TEST(Streaming, SamplesAreRefusedWhileFlushingAndWhenStopped)
{
    auto* manual = new ManualSource;
    ComPtr<IBaseFilter> holdManual(manual);
    auto* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink(sink);
    ASSERT_EQ(manual->Pin()->Connect(sink->Pin(), nullptr), S_OK);
    EXPECT_EQ(manual->Pin()->Push(1, -1, -1), VFW_E_NOT_COMMITTED);  // stopped

    sink->Pause();
    manual->Pause();
    EXPECT_EQ(manual->Pin()->Push(1, -1, -1), S_OK);
    sink->Pin()->BeginFlush();
    EXPECT_EQ(manual->Pin()->Push(2, -1, -1), S_FALSE);
    sink->Pin()->EndFlush();
    EXPECT_EQ(manual->Pin()->Push(3, -1, -1), S_OK);
    sink->Stop();  // stopping downstream first decommits the shared allocator
    EXPECT_EQ(manual->Pin()->Push(4, -1, -1), VFW_E_NOT_COMMITTED);
    manual->Stop();
    EXPECT_EQ(sink->Received(), (std::vector<std::uint32_t>{1, 3}));
    manual->Pin()->Disconnect();
    sink->Pin()->Disconnect();
}

// A thousand cycles of start, some streaming, stop: each stop must find the
// streaming thread (blocked in GetBuffer, in Deliver, or filling) and join it.
TEST(Streaming, ThousandRunStopCyclesLeaveNothingBehind)
{
    const long objectsBefore = quvo::module::ObjectCount();
    {
        SourceToSink g;
        for (int cycle = 0; cycle < 1000; ++cycle) {
            g.sink->Clear();
            ASSERT_EQ(g.Run(), S_OK) << "cycle " << cycle;
            ASSERT_TRUE(g.sink->WaitForSamples(1 + cycle % 5)) << "cycle " << cycle;
            g.Stop();
            ASSERT_FALSE(g.source->Stream()->ThreadExists()) << "cycle " << cycle;
        }
        EXPECT_EQ(g.source->Stream()->threadsCreated, 1000);
        EXPECT_EQ(g.source->Stream()->threadsDestroyed, 1000);
        std::vector<std::uint32_t> last = g.sink->Received();
        for (std::size_t i = 1; i < last.size(); ++i) EXPECT_EQ(last[i], last[i - 1] + 1);
    }
    EXPECT_EQ(quvo::module::ObjectCount(), objectsBefore);
}

}  // namespace
