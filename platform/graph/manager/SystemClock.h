// The system clock (CLSID_SystemClock): IReferenceClock on CLOCK_MONOTONIC. The
// graph manager runs by it when no filter offers a clock.
#pragma once

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/Interfaces.h"

namespace quvo::graph {

// Built-in class entry for CLSID_SystemClock.
CUnknown* CreateSystemClockObject(IUnknown* outer, HRESULT* hr);
// A new system clock for the graph manager's own use.
HRESULT CreateSystemClock(IReferenceClock** clock);

}  // namespace quvo::graph
