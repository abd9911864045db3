// CBaseReferenceClock over a time source the test moves by hand, and the Event it
// signals: single advice fires once when reached, periodic advice every period,
// taken-back advice never, and the clock never runs backwards.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/graph/Event.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/base/BaseReferenceClock.h"

namespace {
using quvo::Event;

constexpr DWORD kGuardMs = 30000;  // only keeps a broken run from hanging

class HandClock : public CBaseReferenceClock {
public:
    HandClock() : CBaseReferenceClock("Hand clock", nullptr, nullptr) {}
    ~HandClock() override { StopAdviseThread(); }
    REFERENCE_TIME GetPrivateTime() override { return time.load(); }
    void Move(REFERENCE_TIME t)
    {
        time.store(t);
        TriggerThread();
    }
    std::atomic<REFERENCE_TIME> time{0};
};

struct ClockHolder {
    HandClock* clock = new HandClock;
    ComPtr<IReferenceClock> hold{clock};
};

TEST(Event, AutoResetReleasesOneWaitManualStaysSet)
{
    Event automatic;
    EXPECT_FALSE(automatic.Wait(0));
    automatic.Set();
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0));

    Event manual(Event::Mode::ManualReset);
    manual.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.IsSet());

    Event crossThread;
    std::thread setter([&] { crossThread.Set(); });
    EXPECT_TRUE(crossThread.Wait(kGuardMs));
    setter.join();
}

TEST(ReferenceClock, SingleAdviceFiresOnceWhenReached)
{
    ClockHolder h;
    Event e;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(h.clock->AdviseTime(100, 50, &e, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    h.clock->Move(150);
    EXPECT_TRUE(e.Wait(kGuardMs));
    EXPECT_EQ(h.clock->Unadvise(cookie), S_FALSE);  // already gone
}

TEST(ReferenceClock, AdviceInThePastFiresAtOnce)
{
    ClockHolder h;
    h.clock->Move(1000);
    Event e;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(h.clock->AdviseTime(0, 10, &e, &cookie), S_OK);
    EXPECT_TRUE(e.Wait(kGuardMs));
}

TEST(ReferenceClock, PeriodicAdviceFiresEveryPeriod)
{
    ClockHolder h;
    Event e;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(h.clock->AdvisePeriodic(100, 100, &e, &cookie), S_OK);
    h.clock->Move(100);
    EXPECT_TRUE(e.Wait(kGuardMs));
    h.clock->Move(200);
    EXPECT_TRUE(e.Wait(kGuardMs));
    h.clock->Move(1000);
    EXPECT_TRUE(e.Wait(kGuardMs));
    EXPECT_EQ(h.clock->Unadvise(cookie), S_OK);
}

TEST(ReferenceClock, TakenBackAdviceNeverFires)
{
    ClockHolder h;
    Event dropped, witness;
    DWORD_PTR c1 = 0, c2 = 0;
    ASSERT_EQ(h.clock->AdviseTime(0, 1000, &dropped, &c1), S_OK);
    ASSERT_EQ(h.clock->AdviseTime(0, 1500, &witness, &c2), S_OK);
    EXPECT_EQ(h.clock->Unadvise(c1), S_OK);
    h.clock->Move(2000);
    // Both would be signalled in the same pass of the advise thread.
    EXPECT_TRUE(witness.Wait(kGuardMs));
    EXPECT_FALSE(dropped.IsSet());
}

TEST(ReferenceClock, TimeNeverRunsBackwards)
{
    ClockHolder h;
    REFERENCE_TIME t = 0;
    h.clock->Move(500);
    h.clock->GetTime(&t);
    EXPECT_EQ(t, 500);
    h.clock->Move(300);
    h.clock->GetTime(&t);
    EXPECT_EQ(t, 500);
    h.clock->Move(700);
    h.clock->GetTime(&t);
    EXPECT_EQ(t, 700);
}

TEST(ReferenceClock, RefusesBadArguments)
{
    ClockHolder h;
    Event e;
    DWORD_PTR cookie = 0;
    EXPECT_EQ(h.clock->AdviseTime(0, 10, nullptr, &cookie), E_INVALIDARG);
    EXPECT_EQ(h.clock->AdviseTime(0, 10, &e, nullptr), E_POINTER);
    EXPECT_EQ(h.clock->AdviseTime(-20, 10, &e, &cookie), E_INVALIDARG);
    EXPECT_EQ(h.clock->AdvisePeriodic(0, 0, &e, &cookie), E_INVALIDARG);
    EXPECT_EQ(h.clock->AdvisePeriodic(-1, 10, &e, &cookie), E_INVALIDARG);
    EXPECT_EQ(h.clock->Unadvise(12345), S_FALSE);
}

TEST(ReferenceClock, ReleasedWithPendingAdviceStopsItsThread)
{
    Event e;
    {
        ClockHolder h;
        DWORD_PTR cookie = 0;
        ASSERT_EQ(h.clock->AdviseTime(0, 1000000, &e, &cookie), S_OK);
    }
    EXPECT_FALSE(e.IsSet());
}

TEST(ReferenceClock, SystemTimeSourceAdvances)
{
    auto* clock = new CBaseReferenceClock("System time", nullptr, nullptr);
    ComPtr<IReferenceClock> hold(clock);
    REFERENCE_TIME now = 0;
    ASSERT_EQ(clock->GetTime(&now), S_OK);
    Event e;
    DWORD_PTR cookie = 0;
    ASSERT_EQ(clock->AdviseTime(now, 10 * MILLISECONDS, &e, &cookie), S_OK);
    EXPECT_TRUE(e.Wait(kGuardMs));
    REFERENCE_TIME later = 0;
    clock->GetTime(&later);
    EXPECT_GE(later, now + 10 * MILLISECONDS);
}

}  // namespace
