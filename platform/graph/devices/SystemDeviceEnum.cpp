#include "platform/graph/devices/SystemDeviceEnum.h"

#include <new>
#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/SnapshotEnumerator.h"
#include "platform/graph/devices/DeviceMoniker.h"
#include "platform/graph/devices/InstanceKey.h"

namespace quvo::graph {

namespace {

// Names of the instance keys of a category, in the registry's order.
std::vector<std::string> InstanceNames(REFCLSID category)
{
    std::vector<std::string> names;
    RegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, CategoryInstancesPath(category).c_str(), 0, KEY_READ, key.Out()) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // no instance name is that long; skip it
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}
}  // namespace

HRESULT SystemDeviceEnum::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_ICreateDevEnum) return GetInterface(static_cast<ICreateDevEnum*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT SystemDeviceEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers, DWORD)
{
    if (!monikers) return E_POINTER;
    *monikers = nullptr;
    std::vector<ComPtr<IMoniker>> found;
    for (std::string& name : InstanceNames(category)) {
        ComPtr<IMoniker> moniker;
        HRESULT hr = DeviceMoniker::Create(category, std::move(name), moniker.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
        found.push_back(std::move(moniker));
    }
    if (found.empty()) return S_FALSE;
    return SnapshotEnumerator<IEnumMoniker, IMoniker>::Create(std::move(found), monikers);
}

}  // namespace quvo::graph
