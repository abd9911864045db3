// The platform's built-in classes, filled at load time by BuiltinClassRegistrar.
#pragma once

#include "platform/com/Runtime.h"

namespace quvo::com {
// The creation function of a built-in class, or null.
BuiltinCreateFn FindBuiltinClass(REFCLSID clsid);
// A class factory over a built-in creation function (one reference).
HRESULT NewBuiltinClassFactory(BuiltinCreateFn create, REFIID riid, void** ppv);
}  // namespace quvo::com
