#include "platform/graph/manager/SystemClock.h"

#include <time.h>

#include "platform/com/ClassFactory.h"
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

}  // namespace

CUnknown* CreateSystemClockObject(IUnknown* outer, HRESULT* hr) { return CreateComObject<SystemClock>(outer, hr); }

HRESULT CreateSystemClock(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    return CreateClassInstance(&CreateSystemClockObject, nullptr, IID_IReferenceClock, reinterpret_cast<void**>(clock));
}

}  // namespace quvo::graph
