// The dialog's store over the platform registry (this file alone sees the
// platform's headers).
#include <vector>

#include "core/DecoderSettings.h"
#include "platform/registry/Registry.h"

namespace encoderdesk {
namespace {

// An open key, closed when it leaves scope; never created.
class OpenKey {
public:
    explicit OpenKey(const std::string& path)
    {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey()
    {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

bool RegistryOptionStore::KeyExists(const std::string& key) { return OpenKey(key).get() != nullptr; }

std::optional<std::uint32_t> RegistryOptionStore::ReadInteger(const std::string& key, const std::string& name)
{
    OpenKey k(key);
    if (!k.get()) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> RegistryOptionStore::ReadString(const std::string& key, const std::string& name)
{
    OpenKey k(key);
    if (!k.get()) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer.data());
}

void RegistryOptionStore::WriteInteger(const std::string& key, const std::string& name, std::uint32_t value)
{
    OpenKey k(key);
    if (!k.get()) return;
    const DWORD v = value;
    RegSetValueExA(k.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

}  // namespace encoderdesk
