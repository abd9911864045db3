// The platform's built-in classes, listed by RegisterBuiltinClasses at load time.
#pragma once

#include "platform/com/ClassFactory.h"
#include "platform/com/Runtime.h"

namespace quvo::com {
// The table entry of a built-in class, or null.
const CFactoryTemplate* FindBuiltinClass(REFCLSID clsid);
}  // namespace quvo::com
