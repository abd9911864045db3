// The calling thread's CoInitialize state, for the runtime's own checks.
#pragma once

namespace quvo::com {
// True between a thread's first successful CoInitialize(Ex) and its last CoUninitialize.
bool IsThreadInitialized();
}  // namespace quvo::com
