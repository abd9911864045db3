#include "platform/registry/RegKey.h"

#include <new>

#include "platform/registry/RegistryCore.h"

namespace quvo::registry {

namespace {
template <class Fn>
LONG Guarded(Fn fn) noexcept
{
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (...) {
        return ERROR_INVALID_PARAMETER;
    }
}
}  // namespace

Key& Key::operator=(Key&& o) noexcept
{
    if (this != &o) {
        Close();
        key_ = o.key_;
        o.key_ = nullptr;
    }
    return *this;
}

void Key::Close()
{
    if (key_) core::CloseKey(key_);
    key_ = nullptr;
}

LONG Key::Open(HKEY parent, std::string_view path, Key* out)
{
    return Guarded([&]() -> LONG {
        out->Close();
        return core::OpenKey(parent, path, &out->key_);
    });
}

LONG Key::Create(HKEY parent, std::string_view path, Key* out, bool* created)
{
    return Guarded([&]() -> LONG {
        out->Close();
        DWORD disposition = 0;
        LONG rc = core::CreateKey(parent, path, &out->key_, &disposition);
        if (created) *created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
        return rc;
    });
}

LONG Key::GetValue(std::string_view name, DWORD* type, std::string* bytes) const
{
    return Guarded([&]() -> LONG {
        Value v;
        LONG rc = core::QueryValue(key_, name, &v);
        if (rc != ERROR_SUCCESS) return rc;
        if (type) *type = v.type;
        if (bytes) *bytes = std::move(v.bytes);
        return ERROR_SUCCESS;
    });
}

LONG Key::GetString(std::string_view name, std::string* out) const
{
    DWORD type = 0;
    std::string bytes;
    LONG rc = GetValue(name, &type, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_PARAMETER;
    *out = std::move(bytes);
    return ERROR_SUCCESS;
}

LONG Key::GetDword(std::string_view name, DWORD* out) const
{
    DWORD type = 0;
    std::string bytes;
    LONG rc = GetValue(name, &type, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_DWORD || bytes.size() != 4) return ERROR_INVALID_PARAMETER;
    DWORD v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    *out = v;
    return ERROR_SUCCESS;
}

bool Key::HasValue(std::string_view name) const
{
    return GetValue(name, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG Key::SetValue(std::string_view name, DWORD type, std::string_view bytes)
{
    return Guarded([&]() -> LONG { return core::SetValue(key_, name, Value{type, std::string(bytes)}); });
}

LONG Key::SetString(std::string_view name, std::string_view value)
{
    return SetValue(name, REG_SZ, value);
}

LONG Key::SetDword(std::string_view name, DWORD value)
{
    char bytes[4];
    for (int i = 0; i < 4; ++i, value >>= 8) bytes[i] = static_cast<char>(value & 0xFF);
    return SetValue(name, REG_DWORD, std::string_view(bytes, 4));
}

LONG Key::DeleteValue(std::string_view name)
{
    return Guarded([&]() -> LONG { return core::DeleteValue(key_, name); });
}

LONG Key::DeleteTree(std::string_view subKey)
{
    if (subKey.empty()) return ERROR_INVALID_PARAMETER;  // deleting "everything" is RegDeleteTree's job
    return Guarded([&]() -> LONG { return core::DeleteKey(key_, subKey, true); });
}

LONG Key::SubkeyNames(std::vector<std::string>* out) const
{
    return Guarded([&]() -> LONG { return core::ListSubkeys(key_, out); });
}

LONG Key::ValueNames(std::vector<std::string>* out) const
{
    return Guarded([&]() -> LONG { return core::ListValues(key_, out); });
}

}  // namespace quvo::registry
