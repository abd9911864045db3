// UTF-8 <-> UTF-16 for the registry's W functions. Ill-formed input becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Types.h"

namespace quvo::registry {

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
// A zero-terminated UTF-16 string (null reads as empty).
std::string Utf16ToUtf8(LPCWSTR text);

}  // namespace quvo::registry
