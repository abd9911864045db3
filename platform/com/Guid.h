// GUID in the platform's 16-byte layout, with comparison and registry-form text.
#pragma once

#include <cstring>
#include <functional>
#include <string>

#include "platform/com/Types.h"

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
constexpr bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

inline bool operator<(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr GUID CLSID_NULL = GUID_NULL;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hex, as the registry stores it).
std::string GuidToString(const GUID& g);
// Accepts the registry form with or without braces, any case; false on anything else.
bool GuidFromString(const std::string& text, GUID* out);

// Writes the registry form as UTF-16 with its terminating zero; returns the number of
// units written including the zero, or 0 when `max` (in units) is too small (< 39).
int StringFromGUID2(REFGUID g, LPWSTR out, int max);

struct GuidHash {
    std::size_t operator()(const GUID& g) const noexcept
    {
        std::uint64_t a, b;
        std::memcpy(&a, &g, 8);
        std::memcpy(&b, reinterpret_cast<const char*>(&g) + 8, 8);
        return std::hash<std::uint64_t>()(a * 31 + b);
    }
};
