// In-process server modules loaded by the runtime, one handle per path.
#pragma once

#include <string>

#include "platform/com/Unknown.h"

namespace quvo::com {
// Loads the module at `path` (once; later calls reuse it) and asks its
// DllGetClassObject for `clsid`. The call happens while the cache is locked, so
// CoFreeUnusedLibraries cannot unload the module before the class object counts.
HRESULT GetModuleClassObject(const std::string& path, REFCLSID clsid, REFIID riid, void** ppv);
// dlcloses every module whose DllCanUnloadNow answers S_OK.
void FreeUnusedModules();
// The calling thread's last load failure text.
std::string LastModuleError();
}  // namespace quvo::com
