// CBaseReferenceClock: IReferenceClock over a time source supplied by the derived
// class (GetPrivateTime; the default is the monotonic system time). One advise
// thread, started on the first advice, signals the events of AdviseTime (once) and
// AdvisePeriodic (every period) when the clock reaches their times.
//
// GetTime never goes backwards: it answers the largest time handed out so far.
// A derived clock whose time jumps (an audio clock following its device) calls
// TriggerThread so advice that became due is signalled without delay.
//
// A derived class must call StopAdviseThread in its destructor: the advise thread
// calls GetPrivateTime, which must not run on a half-destroyed object.
//
// Threads: any thread may call any method. adviseLock guards the advice list; the
// clock's own time source is read without it (GetPrivateTime of an audio renderer
// takes the renderer's locks, which may be held by a thread calling GetTime).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/graph/Event.h"
#include "platform/graph/Interfaces.h"

class CBaseReferenceClock : public CUnknown, public IReferenceClock {
public:
    CBaseReferenceClock(const char* name, IUnknown* outer, HRESULT* phr);
    ~CBaseReferenceClock() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetTime(REFERENCE_TIME* time) override;
    // E_INVALIDARG for a null event or a negative base + offset; E_POINTER for a null cookie.
    HRESULT AdviseTime(REFERENCE_TIME base, REFERENCE_TIME offset, HEVENT event,
                       DWORD_PTR* cookie) override;
    // E_INVALIDARG for a null semaphore, a negative start or a period <= 0.
    HRESULT AdvisePeriodic(REFERENCE_TIME start, REFERENCE_TIME period, HSEMAPHORE semaphore,
                           DWORD_PTR* cookie) override;
    // S_OK when the advice was pending, S_FALSE when it was unknown (or already fired).
    HRESULT Unadvise(DWORD_PTR cookie) override;

    // The clock's own time in 100 ns units.
    virtual REFERENCE_TIME GetPrivateTime();

protected:
    void TriggerThread();
    void StopAdviseThread();

private:
    struct Advice {
        DWORD_PTR cookie;
        REFERENCE_TIME due;
        REFERENCE_TIME period;  // 0 for a single advice
        quvo::Event* event;
    };

    HRESULT AddAdvice(REFERENCE_TIME due, REFERENCE_TIME period, quvo::Event* event,
                      DWORD_PTR* cookie);
    void AdviseThread();

    std::atomic<REFERENCE_TIME> lastTime_{0};

    std::mutex adviseLock_;
    std::condition_variable adviceChanged_;
    std::vector<Advice> advice_;
    DWORD_PTR nextCookie_ = 1;
    bool exiting_ = false;
    bool threadStopped_ = false;  // after StopAdviseThread no new thread starts
    std::thread thread_;
};
