// Fuzzes the code-page conversions with arbitrary bytes: no read or write outside the
// buffers at any destination size, and malformed text settles after one conversion.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 4096) return 0;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    int cap = data[0];  // destination size from 0 to 255 units

    std::vector<WCHAR> wide(static_cast<std::size_t>(cap) + 1);
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), wide.data(), cap);
    if (n < 0 || (cap > 0 && n > cap)) std::abort();  // cap 0 asks for the size

    std::u16string once = quvo::text::Utf8ToUtf16(bytes);
    std::string back = quvo::text::Utf16ToUtf8(once);
    if (quvo::text::Utf8ToUtf16(back) != once) std::abort();  // replacement is stable

    std::vector<char> narrow(static_cast<std::size_t>(cap) + 1);
    std::u16string units(reinterpret_cast<const char16_t*>(data), size / 2);
    if (!units.empty()) {
        int m = WideCharToMultiByte(CP_UTF8, 0, units.data(), static_cast<int>(units.size()), narrow.data(), cap,
                                    nullptr, nullptr);
        if (m < 0 || (cap > 0 && m > cap)) std::abort();
    }

    std::string cp = quvo::text::Utf8ToCp1251(bytes);
    if (cp.size() > once.size()) std::abort();  // at most one byte per character
    quvo::text::Cp1251ToUtf8(bytes);
    return 0;
}
