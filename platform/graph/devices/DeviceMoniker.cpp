#include "platform/graph/devices/DeviceMoniker.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/com/Runtime.h"
#include "platform/graph/devices/InstanceKey.h"
#include "platform/graph/devices/PropertyBag.h"
#include "platform/win32/Text.h"

namespace quvo::graph {

DeviceMoniker::DeviceMoniker(const GUID& category, std::string instance)
    : CUnknown("Device moniker"), category_(category), instance_(std::move(instance))
{
}

HRESULT DeviceMoniker::Create(const GUID& category, std::string instance, IMoniker** out)
{
    if (!out) return E_POINTER;
    auto* moniker = new (std::nothrow) DeviceMoniker(category, std::move(instance));
    if (!moniker) return E_OUTOFMEMORY;
    moniker->NonDelegatingAddRef();
    *out = moniker;
    return S_OK;
}

HRESULT DeviceMoniker::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMoniker) return GetInterface(static_cast<IMoniker*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DeviceMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    RegKey key;
    LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, InstancePath(category_, instance_).c_str(), 0,
                                KEY_READ, key.Out());
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    char text[64] = {};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    status = RegQueryValueExA(key.Get(), "CLSID", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    CLSID clsid;
    if (type != REG_SZ || !GuidFromString(text, &clsid)) return REGDB_E_CLASSNOTREG;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, ppv);
}

HRESULT DeviceMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IPropertyBag) return E_NOINTERFACE;
    return RegistryPropertyBag::Create(InstancePath(category_, instance_), riid, ppv);
}

HRESULT DeviceMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPWSTR* name)
{
    if (!name) return E_POINTER;
    std::u16string text = text::Utf8ToUtf16("@device:sw:" + GuidToString(category_) + "\\" + instance_);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    *name = copy;
    return S_OK;
}

}  // namespace quvo::graph
