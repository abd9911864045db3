// Per-thread initialization count. Each thread has its own state, so nothing here
// is shared between threads.
#include "platform/com/InstalledModules.h"
#include "platform/com/Runtime.h"
#include "platform/com/ThreadInit.h"

namespace {
struct ThreadState {
    int count = 0;
    bool multithreaded = false;  // the model chosen by the thread's first call
};
thread_local ThreadState t_state;

constexpr DWORD kKnownFlags = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;
}  // namespace

namespace quvo::com {
bool IsThreadInitialized() { return t_state.count > 0; }
}  // namespace quvo::com

HRESULT CoInitializeEx(void* reserved, DWORD flags)
{
    if (reserved || (flags & ~kKnownFlags) != 0) return E_INVALIDARG;
    const bool multithreaded = (flags & COINIT_APARTMENTTHREADED) == 0;
    if (t_state.count > 0) {
        if (multithreaded != t_state.multithreaded) return RPC_E_CHANGED_MODE;
        ++t_state.count;
        return S_FALSE;
    }
    t_state.count = 1;
    t_state.multithreaded = multithreaded;
    quvo::com::RegisterInstalledModulesOnce();
    return S_OK;
}

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize()
{
    if (t_state.count == 0) return;  // unbalanced call: nothing to undo
    if (--t_state.count == 0) t_state = ThreadState();
}
