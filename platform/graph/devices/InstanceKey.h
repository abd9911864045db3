// Where the devices and filters of a category live in the registry:
//   HKEY_CLASSES_ROOT\CLSID\{category}\Instance\{instance}
// with the values "FriendlyName" (string), "CLSID" (string) and, for filters
// registered through the mapper, "FilterData". Plus a closing handle for keys.
#pragma once

#include <string>

#include "platform/com/Guid.h"
#include "platform/registry/Registry.h"

namespace quvo::graph {

// Closes the key it holds; predefined keys are never held.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return key_; }
    PHKEY Out() { Close(); return &key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    void Close()
    {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY key_ = nullptr;
};

// "CLSID\{category}\Instance" and "...\Instance\{instance}", relative to HKEY_CLASSES_ROOT.
std::string CategoryInstancesPath(const GUID& category);
std::string InstancePath(const GUID& category, const std::string& instance);

// An HRESULT for a registry status (ERROR_SUCCESS -> S_OK).
HRESULT HResultFromRegistry(LONG status);

}  // namespace quvo::graph
