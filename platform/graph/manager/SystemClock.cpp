#include "platform/graph/manager/SystemClock.h"

#include <time.h>

#include <new>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/BaseReferenceClock.h"

namespace quvo::graph {

namespace {

class SystemClock final : public CBaseReferenceClock {
public:
    explicit SystemClock(IUnknown* outer, HRESULT* phr) : CBaseReferenceClock("System clock", outer, phr) {}
    ~SystemClock() override { StopAdviseThread(); }

    REFERENCE_TIME GetPrivateTime() override
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<REFERENCE_TIME>(now.tv_sec) * UNITS + now.tv_nsec / 100;
    }
};

const BuiltinClassRegistrar kRegistrar(CLSID_SystemClock, "System Reference Clock", &CreateSystemClockObject);

}  // namespace

HRESULT CreateSystemClockObject(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    HRESULT hr = S_OK;
    auto* clock = new (std::nothrow) SystemClock(outer, &hr);
    if (!clock) return E_OUTOFMEMORY;
    clock->NonDelegatingAddRef();
    if (SUCCEEDED(hr)) hr = clock->NonDelegatingQueryInterface(riid, ppv);
    clock->NonDelegatingRelease();
    return hr;
}

HRESULT CreateSystemClock(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    return CreateSystemClockObject(nullptr, IID_IReferenceClock, reinterpret_cast<void**>(clock));
}

}  // namespace quvo::graph
