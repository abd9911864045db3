// The graph's event queue as the host sees it: events reach a registered window
// as the registered message, the eventfd is readable exactly while events are
// queued, GetEvent on an empty queue answers E_ABORT, and events sent from many
// threads at once all arrive.
#include <poll.h>

#include <atomic>
#include <thread>

#include "platform/graph/tests/GraphFixture.h"
#include "platform/win32/Window.h"

namespace quvo::test {
namespace {

struct Posted {
    std::atomic<int> count{0};
    std::atomic<UINT> message{0};
    std::atomic<WPARAM> wParam{99};
    std::atomic<LPARAM> lParam{0};
};

void OnMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, void* context)
{
    auto* posted = static_cast<Posted*>(context);
    posted->message = message;
    posted->wParam = wParam;
    posted->lParam = lParam;
    posted->count.fetch_add(1);
}

bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

class EventQueueTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEventSink, sink.ReleaseAndGetVoidAddressOf()), S_OK);
    }
    void TearDown() override
    {
        sink.Reset();
        GraphTest::TearDown();
    }
    ComPtr<IMediaEventSink> sink;
};

TEST_F(EventQueueTest, EachEventPostsTheRegisteredMessage)
{
    Posted posted;
    HWND window = RegisterWindow(&OnMessage, &posted);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(events->SetNotifyWindow(reinterpret_cast<OAHWND>(window), 1224, 77), S_OK);

    ASSERT_EQ(sink->Notify(EC_USERABORT, 5, 6), S_OK);
    ASSERT_EQ(sink->Notify(EC_ERRORABORT, 7, 8), S_OK);
    EXPECT_EQ(posted.count.load(), 2);
    EXPECT_EQ(posted.message.load(), 1224u);
    EXPECT_EQ(posted.wParam.load(), 0u);
    EXPECT_EQ(posted.lParam.load(), 77);

    LONG code;
    LONG_PTR p1, p2;
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_USERABORT);
    EXPECT_EQ(p1, 5);
    EXPECT_EQ(p2, 6);
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);

    // A null window ends the notification; events still queue.
    ASSERT_EQ(events->SetNotifyWindow(0, 0, 0), S_OK);
    ASSERT_EQ(sink->Notify(EC_USERABORT, 0, 0), S_OK);
    EXPECT_EQ(posted.count.load(), 2);
    EXPECT_EQ(DrainEvents(), std::vector<LONG>{EC_USERABORT});
    UnregisterWindow(window);
}

TEST_F(EventQueueTest, NotAWindowIsRefused)
{
    EXPECT_EQ(events->SetNotifyWindow(12345, 1224, 0), E_INVALIDARG);
}

TEST_F(EventQueueTest, HandleIsReadableExactlyWhileEventsAreQueued)
{
    OAEVENT fd = -1;
    ASSERT_EQ(events->GetEventHandle(&fd), S_OK);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(Readable(fd));

    sink->Notify(EC_USERABORT, 0, 0);
    EXPECT_TRUE(Readable(fd));
    sink->Notify(EC_ERRORABORT, 0, 0);
    EXPECT_TRUE(Readable(fd));

    LONG code;
    LONG_PTR p1, p2;
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_TRUE(Readable(fd));  // one left
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_FALSE(Readable(fd));

    sink->Notify(EC_USERABORT, 0, 0);
    EXPECT_TRUE(Readable(fd));
}

TEST_F(EventQueueTest, EmptyQueueAnswersAbort)
{
    LONG code = -1;
    LONG_PTR p1 = -1, p2 = -1;
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 20), E_ABORT);
    EXPECT_EQ(code, 0);
}

TEST_F(EventQueueTest, WaitingGetEventWakesForAnEventFromAnotherThread)
{
    std::thread notifier([this] { sink->Notify(EC_USERABORT, 1, 2); });
    LONG code = 0;
    LONG_PTR p1, p2;
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, -1), S_OK);  // no time-out: must be woken
    EXPECT_EQ(code, EC_USERABORT);
    notifier.join();
}

TEST_F(EventQueueTest, EventsFromManyThreadsAllArrive)
{
    Posted posted;
    HWND window = RegisterWindow(&OnMessage, &posted);
    ASSERT_EQ(events->SetNotifyWindow(reinterpret_cast<OAHWND>(window), 1224, 0), S_OK);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 250; ++i) sink->Notify(EC_USERABORT, t, i);
        });
    }
    // Meanwhile the host drains.
    int taken = 0;
    LONG code;
    LONG_PTR p1, p2;
    while (taken < 1000 && events->GetEvent(&code, &p1, &p2, 5000) == S_OK) ++taken;
    for (auto& t : threads) t.join();
    EXPECT_EQ(taken, 1000);
    EXPECT_EQ(posted.count.load(), 1000);
    OAEVENT fd;
    events->GetEventHandle(&fd);
    EXPECT_FALSE(Readable(fd));
    events->SetNotifyWindow(0, 0, 0);
    UnregisterWindow(window);
}

}  // namespace
}  // namespace quvo::test
