#include "platform/graph/base/WideText.h"

#include "platform/com/Runtime.h"

namespace quvo::base {

LPWSTR TaskMemString(const std::u16string& text)
{
    auto* out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (!out) return nullptr;
    text.copy(out, text.size());
    out[text.size()] = 0;
    return out;
}

}  // namespace quvo::base
