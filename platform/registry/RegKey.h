// quvo::registry::Key: an open registry key that closes itself, with UTF-8
// accessors for the common value types. Results are Win32 error codes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Registry.h"

namespace quvo::registry {

class Key {
public:
    Key() = default;
    ~Key() { Close(); }
    Key(Key&& o) noexcept : key_(o.key_) { o.key_ = nullptr; }
    Key& operator=(Key&& o) noexcept;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    // Opens an existing key (ERROR_FILE_NOT_FOUND when absent).
    static LONG Open(HKEY parent, std::string_view path, Key* out);
    // Opens or creates the key and the keys above it; *created says which.
    static LONG Create(HKEY parent, std::string_view path, Key* out, bool* created = nullptr);

    HKEY get() const { return key_; }
    bool IsOpen() const { return key_ != nullptr; }
    void Close();

    // Empty `name` is the default value. Get* answer ERROR_FILE_NOT_FOUND for a
    // missing value and ERROR_INVALID_PARAMETER for a value of another type.
    LONG GetString(std::string_view name, std::string* out) const;
    LONG GetDword(std::string_view name, DWORD* out) const;
    LONG GetValue(std::string_view name, DWORD* type, std::string* bytes) const;
    bool HasValue(std::string_view name) const;
    LONG SetString(std::string_view name, std::string_view value);
    LONG SetDword(std::string_view name, DWORD value);
    LONG SetValue(std::string_view name, DWORD type, std::string_view bytes);
    LONG DeleteValue(std::string_view name);
    // Deletes a subkey with everything below it.
    LONG DeleteTree(std::string_view subKey);

    LONG SubkeyNames(std::vector<std::string>* out) const;
    LONG ValueNames(std::vector<std::string>* out) const;

private:
    HKEY key_ = nullptr;
};

}  // namespace quvo::registry
