// The board's entries in the video input device category: one instance per
// configured friendly name, each creating the board's capture filter class. The
// instances the board wrote last are remembered, so rewriting the set removes
// exactly those.
#pragma once

#include <string>
#include <vector>

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

namespace quvo::board {

// Replaces the board's category instances with one per name in `names` (may be
// empty), for filter class `filter`. Starts the component library on the calling
// thread for the duration of the call.
HRESULT RewriteDeviceInstances(REFCLSID filter, const std::vector<std::string>& names);
// Removes every instance the board wrote.
HRESULT RemoveDeviceInstances(REFCLSID filter);

}  // namespace quvo::board
