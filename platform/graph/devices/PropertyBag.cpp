#include "platform/graph/devices/PropertyBag.h"

#include <new>
#include <vector>

#include "platform/graph/devices/InstanceKey.h"

namespace quvo::graph {

RegistryPropertyBag::RegistryPropertyBag(std::string path)
    : CUnknown("Registry property bag"), path_(std::move(path))
{
}

HRESULT RegistryPropertyBag::Create(std::string path, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* bag = new (std::nothrow) RegistryPropertyBag(std::move(path));
    if (!bag) return E_OUTOFMEMORY;
    bag->NonDelegatingAddRef();
    HRESULT hr = bag->NonDelegatingQueryInterface(riid, ppv);
    bag->NonDelegatingRelease();
    return hr;
}

HRESULT RegistryPropertyBag::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IPropertyBag) return GetInterface(static_cast<IPropertyBag*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT RegistryPropertyBag::Read(LPCWSTR name, VARIANT* value, IErrorLog*)
{
    if (!name || !value) return E_POINTER;
    RegKey key;
    LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, path_.c_str(), 0, KEY_READ, key.Out());
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    std::vector<BYTE> data(size + sizeof(WCHAR), 0);  // room for a zero the value may lack
    status = RegQueryValueExW(key.Get(), name, nullptr, &type, data.data(), &size);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);

    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        BSTR text = SysAllocString(reinterpret_cast<LPCWSTR>(data.data()));
        if (!text) return E_OUTOFMEMORY;
        value->vt = VT_BSTR;
        value->bstrVal = text;
        return S_OK;
    }
    case REG_DWORD: {
        DWORD number = 0;
        if (size < sizeof number) return E_FAIL;
        std::copy_n(data.data(), sizeof number, reinterpret_cast<BYTE*>(&number));
        const bool unsignedWanted = value->vt == VT_UI4;
        value->vt = unsignedWanted ? VT_UI4 : VT_I4;
        value->ulVal = number;
        return S_OK;
    }
    default:
        return E_FAIL;  // other types have no VARIANT form here
    }
}

HRESULT RegistryPropertyBag::Write(LPCWSTR name, VARIANT* value)
{
    if (!name || !value) return E_POINTER;
    RegKey key;
    LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return HResultFromRegistry(status);
    switch (value->vt) {
    case VT_BSTR: {
        LPCWSTR text = value->bstrVal ? value->bstrVal : u"";
        DWORD bytes = (SysStringLen(value->bstrVal) + 1) * sizeof(WCHAR);
        status = RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
        break;
    }
    case VT_I4:
    case VT_UI4: {
        DWORD number = value->ulVal;
        status = RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number);
        break;
    }
    default:
        return E_INVALIDARG;
    }
    return HResultFromRegistry(status);
}

}  // namespace quvo::graph
