#include "platform/graph/base/BaseReferenceClock.h"

#include <algorithm>
#include <chrono>

#include "platform/com/NoThrow.h"

CBaseReferenceClock::CBaseReferenceClock(const char* name, IUnknown* outer, HRESULT* phr)
    : CUnknown(name, outer)
{
    if (phr) *phr = S_OK;
}

CBaseReferenceClock::~CBaseReferenceClock() { StopAdviseThread(); }

HRESULT CBaseReferenceClock::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

REFERENCE_TIME CBaseReferenceClock::GetPrivateTime()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
}

HRESULT CBaseReferenceClock::GetTime(REFERENCE_TIME* time)
{
    if (!time) return E_POINTER;
    REFERENCE_TIME now = GetPrivateTime();
    REFERENCE_TIME last = lastTime_.load();
    while (now > last && !lastTime_.compare_exchange_weak(last, now)) {
    }
    *time = std::max(now, last);
    return S_OK;
}

HRESULT CBaseReferenceClock::AdviseTime(REFERENCE_TIME base, REFERENCE_TIME offset, HEVENT event,
                                        DWORD_PTR* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!event || base + offset < 0) return E_INVALIDARG;
    return AddAdvice(base + offset, 0, event, cookie);
}

HRESULT CBaseReferenceClock::AdvisePeriodic(REFERENCE_TIME start, REFERENCE_TIME period,
                                            HSEMAPHORE semaphore, DWORD_PTR* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!semaphore || start < 0 || period <= 0) return E_INVALIDARG;
    return AddAdvice(start, period, semaphore, cookie);
}

HRESULT CBaseReferenceClock::AddAdvice(REFERENCE_TIME due, REFERENCE_TIME period,
                                       quvo::Event* event, DWORD_PTR* cookie)
{
    {
        std::lock_guard lock(adviseLock_);
        if (threadStopped_) return E_UNEXPECTED;
        // The list may grow and the advise thread may have to start: either can fail.
        const HRESULT hr = quvo::NoThrow([&] {
            if (!thread_.joinable()) thread_ = std::thread(&CBaseReferenceClock::AdviseThread, this);
            advice_.push_back({nextCookie_, due, period, event});
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *cookie = nextCookie_++;
    }
    adviceChanged_.notify_all();
    return S_OK;
}

HRESULT CBaseReferenceClock::Unadvise(DWORD_PTR cookie)
{
    std::lock_guard lock(adviseLock_);
    auto it = std::find_if(advice_.begin(), advice_.end(),
                           [cookie](const Advice& a) { return a.cookie == cookie; });
    if (it == advice_.end()) return S_FALSE;
    advice_.erase(it);
    return S_OK;
}

void CBaseReferenceClock::TriggerThread() { adviceChanged_.notify_all(); }

void CBaseReferenceClock::StopAdviseThread()
{
    {
        std::lock_guard lock(adviseLock_);
        exiting_ = true;
        threadStopped_ = true;
    }
    adviceChanged_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void CBaseReferenceClock::AdviseThread()
{
    for (;;) {
        // Read the time outside adviseLock (see the header).
        REFERENCE_TIME now = 0;
        GetTime(&now);

        std::unique_lock lock(adviseLock_);
        if (exiting_) return;
        REFERENCE_TIME next = -1;
        for (auto it = advice_.begin(); it != advice_.end();) {
            if (it->due <= now) {
                // Set under the lock: once Unadvise returns, the event is never touched,
                // so its owner may destroy it.
                it->event->Set();
                if (it->period == 0) {
                    it = advice_.erase(it);
                    continue;
                }
                // Missed periods are signalled once, not replayed.
                it->due += ((now - it->due) / it->period + 1) * it->period;
            }
            if (next < 0 || it->due < next) next = it->due;
            ++it;
        }
        if (next < 0) {
            adviceChanged_.wait(lock);
        } else {
            // Assumes the clock runs near real time; an early wake just looks again.
            auto wait = std::chrono::microseconds((next - now + 9) / 10);
            adviceChanged_.wait_for(lock, wait);
        }
    }
}
