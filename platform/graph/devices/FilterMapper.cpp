#include "platform/graph/devices/FilterMapper.h"

#include <new>
#include <string>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/devices/DeviceMoniker.h"
#include "platform/graph/devices/FilterData.h"
#include "platform/graph/devices/InstanceKey.h"
#include "platform/win32/Text.h"

namespace quvo::graph {

namespace {

// The instance key's name: the one given, else the filter's class identifier.
std::string InstanceName(LPCWSTR instance, REFCLSID filter)
{
    return instance && instance[0] ? text::Utf16ToUtf8(instance) : GuidToString(filter);
}

LONG SetString(HKEY key, const char* name, const std::string& utf8)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(utf8.c_str()),
                          static_cast<DWORD>(utf8.size() + 1));
}
}  // namespace

HRESULT FilterMapper::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IFilterMapper2) return GetInterface(static_cast<IFilterMapper2*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FilterMapper::CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description)
{
    RegKey key;
    std::string path = "CLSID\\" + GuidToString(category);
    LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    status = SetString(key.Get(), "FriendlyName", description ? text::Utf16ToUtf8(description) : std::string());
    if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key.Get(), "Merit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&merit),
                                sizeof merit);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    RegKey instances;
    return HResultFromRegistry(RegCreateKeyExA(key.Get(), "Instance", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                               KEY_WRITE, nullptr, instances.Out(), nullptr));
}

HRESULT FilterMapper::RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker, const CLSID* category,
                                     LPCWSTR instance, const REGFILTER2* data)
{
    if (!name) return E_POINTER;
    if (moniker) *moniker = nullptr;
    const GUID& cat = category ? *category : CLSID_LegacyAmFilterCategory;
    const std::string instanceName = InstanceName(instance, filter);
    RegKey key;
    LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, InstancePath(cat, instanceName).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    status = SetString(key.Get(), "FriendlyName", text::Utf16ToUtf8(name));
    if (status == ERROR_SUCCESS) status = SetString(key.Get(), "CLSID", GuidToString(filter));
    if (status == ERROR_SUCCESS && data) status = SetString(key.Get(), "FilterData", FilterDataText(*data));
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    if (moniker) return DeviceMoniker::Create(cat, instanceName, moniker);
    return S_OK;
}

HRESULT FilterMapper::UnregisterFilter(const CLSID* category, LPCWSTR instance, REFCLSID filter)
{
    const GUID& cat = category ? *category : CLSID_LegacyAmFilterCategory;
    const std::string path = InstancePath(cat, InstanceName(instance, filter));
    LONG status;
    {
        RegKey key;  // closed again before the deletion
        status = RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Out());
    }
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    return HResultFromRegistry(RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str()));
}

}  // namespace quvo::graph
