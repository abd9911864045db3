// The Win32-style registry functions: name conversion (UTF-16 for W, UTF-8 for A)
// and Win32 buffer conventions over the UTF-8 core.
#include <cstring>
#include <new>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryCore.h"
#include "platform/registry/Utf16.h"

using quvo::registry::IsStringType;
using quvo::registry::Utf16ToUtf8;
using quvo::registry::Utf8ToUtf16;
using quvo::registry::Value;
namespace core = quvo::registry::core;

namespace {

// Nothing may throw out of the C-style interface.
template <class Fn>
LSTATUS Guarded(Fn fn) noexcept
{
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (...) {
        return ERROR_INVALID_PARAMETER;
    }
}

std::string Narrow(LPCWSTR s) { return Utf16ToUtf8(s); }
std::string Narrow(LPCSTR s) { return s ? std::string(s) : std::string(); }

// Win32 string data may carry its terminating zero; we keep strings without it.
std::string StripOneZero(std::string bytes)
{
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

// Value as given to RegSetValueEx -> stored form.
Value FromWide(DWORD type, const BYTE* data, DWORD size)
{
    Value v{type, {}};
    if (!data) return v;
    if (IsStringType(type)) {
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), data, units.size() * 2);
        if (!units.empty() && units.back() == u'\0') units.pop_back();
        v.bytes = Utf16ToUtf8(units);
    } else {
        v.bytes.assign(reinterpret_cast<const char*>(data), size);
    }
    return v;
}

Value FromNarrow(DWORD type, const BYTE* data, DWORD size)
{
    Value v{type, {}};
    if (!data) return v;
    v.bytes.assign(reinterpret_cast<const char*>(data), size);
    if (IsStringType(type)) v.bytes = StripOneZero(std::move(v.bytes));
    return v;
}

// Stored form -> the bytes RegQueryValueEx hands out (strings with their zero).
std::string ToWide(const Value& v)
{
    if (!IsStringType(v.type)) return v.bytes;
    std::u16string units = Utf8ToUtf16(v.bytes);
    units.push_back(u'\0');
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
}

std::string ToNarrow(const Value& v)
{
    if (!IsStringType(v.type)) return v.bytes;
    return v.bytes + '\0';
}

LSTATUS CopyData(const std::string& bytes, BYTE* data, DWORD* dataSize)
{
    const DWORD needed = static_cast<DWORD>(bytes.size());
    if (!data) {
        if (dataSize) *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (!dataSize) return ERROR_INVALID_PARAMETER;
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = needed;
    return ERROR_SUCCESS;
}

// Copies a name into a character buffer of *size units (zero included).
template <class Char>
LSTATUS CopyName(const std::basic_string<Char>& name, Char* out, DWORD* size)
{
    if (!out || !size) return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *size) {
        *size = static_cast<DWORD>(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(out, name.data(), name.size() * sizeof(Char));
    out[name.size()] = 0;
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LSTATUS Query(HKEY key, const std::string& name, DWORD* type, BYTE* data, DWORD* dataSize, bool wide)
{
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    Value v;
    LSTATUS rc = core::QueryValue(key, name, &v);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v.type;
    return CopyData(wide ? ToWide(v) : ToNarrow(v), data, dataSize);
}

template <class Char>
LSTATUS EnumValue(HKEY key, DWORD index, Char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                  DWORD* dataSize, bool wide)
{
    std::string utf8;
    Value v;
    LSTATUS rc = core::EnumValue(key, index, &utf8, &v);
    if (rc != ERROR_SUCCESS) return rc;
    if constexpr (sizeof(Char) == 2)
        rc = CopyName(Utf8ToUtf16(utf8), name, nameSize);
    else
        rc = CopyName(utf8, name, nameSize);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v.type;
    if (!data && !dataSize) return ERROR_SUCCESS;
    return CopyData(wide ? ToWide(v) : ToNarrow(v), data, dataSize);
}

}  // namespace

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY result,
                        DWORD* disposition)
{
    return Guarded([&]() -> LONG { return core::CreateKey(key, Narrow(subKey), result, disposition); });
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result,
                        DWORD* disposition)
{
    return Guarded([&]() -> LONG { return core::CreateKey(key, Narrow(subKey), result, disposition); });
}

LSTATUS RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result)
{
    return RegCreateKeyExW(key, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, result, nullptr);
}

LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result)
{
    return RegCreateKeyExA(key, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, result, nullptr);
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    return Guarded([&]() -> LONG { return core::OpenKey(key, Narrow(subKey), result); });
}

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
{
    return Guarded([&]() -> LONG { return core::OpenKey(key, Narrow(subKey), result); });
}

LSTATUS RegCloseKey(HKEY key)
{
    return Guarded([&]() -> LONG { return core::CloseKey(key); });
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    return Guarded([&]() -> LONG { return Query(key, Narrow(name), type, data, dataSize, true); });
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    return Guarded([&]() -> LONG { return Query(key, Narrow(name), type, data, dataSize, false); });
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    return Guarded([&]() -> LONG { return core::SetValue(key, Narrow(name), FromWide(type, data, dataSize)); });
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    return Guarded([&]() -> LONG { return core::SetValue(key, Narrow(name), FromNarrow(type, data, dataSize)); });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name)
{
    return Guarded([&]() -> LONG { return core::DeleteValue(key, Narrow(name)); });
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR name)
{
    return Guarded([&]() -> LONG { return core::DeleteValue(key, Narrow(name)); });
}

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    return Guarded([&]() -> LONG { return core::DeleteKey(key, Narrow(subKey), false); });
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    return Guarded([&]() -> LONG { return core::DeleteKey(key, Narrow(subKey), false); });
}

LSTATUS RegDeleteTreeW(HKEY key, LPCWSTR subKey)
{
    return Guarded([&]() -> LONG { return core::DeleteKey(key, Narrow(subKey), true); });
}

LSTATUS RegDeleteTreeA(HKEY key, LPCSTR subKey)
{
    return Guarded([&]() -> LONG { return core::DeleteKey(key, Narrow(subKey), true); });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD*, LPWSTR, DWORD*, void*)
{
    return Guarded([&]() -> LONG {
        std::string utf8;
        LSTATUS rc = core::EnumKey(key, index, &utf8);
        return rc != ERROR_SUCCESS ? rc : CopyName(Utf8ToUtf16(utf8), name, nameSize);
    });
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, LPSTR, DWORD*, void*)
{
    return Guarded([&]() -> LONG {
        std::string utf8;
        LSTATUS rc = core::EnumKey(key, index, &utf8);
        return rc != ERROR_SUCCESS ? rc : CopyName(utf8, name, nameSize);
    });
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameSize, DWORD*, DWORD* type,
                      BYTE* data, DWORD* dataSize)
{
    return Guarded([&]() -> LONG { return EnumValue(key, index, name, nameSize, type, data, dataSize, true); });
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD*, DWORD* type,
                      BYTE* data, DWORD* dataSize)
{
    return Guarded([&]() -> LONG { return EnumValue(key, index, name, nameSize, type, data, dataSize, false); });
}
