// Small helpers for the UTF-16 names pins and filters hand out.
#pragma once

#include <string>

#include "platform/com/Types.h"

namespace quvo::base {

// Copies `name` into a fixed array of N units, cut to fit, always zero-terminated.
template <std::size_t N>
void CopyName(WCHAR (&out)[N], const std::u16string& name)
{
    std::size_t n = name.size() < N - 1 ? name.size() : N - 1;
    name.copy(out, n);
    out[n] = 0;
}

// A task-memory copy of `text` for out-parameters (null when memory runs out).
LPWSTR TaskMemString(const std::u16string& text);

}  // namespace quvo::base
