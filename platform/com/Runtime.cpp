// Object creation: the built-in table first, then the module the registry names.
#include "platform/com/Runtime.h"

#include "platform/com/ClassTable.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ModuleCache.h"
#include "platform/com/ThreadInit.h"
#include "platform/registry/RegKey.h"

namespace {

// The module path registered for `clsid`.
HRESULT FindServerModule(REFCLSID clsid, std::string* path)
{
    quvo::registry::Key key;
    LONG rc = quvo::registry::Key::Open(
        HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\InprocServer32", &key);
    if (rc == ERROR_FILE_NOT_FOUND) return REGDB_E_CLASSNOTREG;
    if (rc != ERROR_SUCCESS) return REGDB_E_READREGDB;
    rc = key.GetString("", path);
    if (rc == ERROR_FILE_NOT_FOUND || (rc == ERROR_SUCCESS && path->empty())) return CO_E_DLLNOTFOUND;
    if (rc != ERROR_SUCCESS) return REGDB_E_READREGDB;
    return S_OK;
}

HRESULT CheckCall(DWORD context, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!quvo::com::IsThreadInitialized()) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_INPROC) == 0) return REGDB_E_CLASSNOTREG;
    return S_OK;
}

}  // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** ppv)
{
    HRESULT hr = CheckCall(context, ppv);
    if (FAILED(hr)) return hr;
    if (const CFactoryTemplate* entry = quvo::com::FindBuiltinClass(clsid)) return NewClassFactory(entry, riid, ppv);
    std::string path;
    hr = FindServerModule(clsid, &path);
    if (FAILED(hr)) return hr;
    return quvo::com::GetModuleClassObject(path, clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv)
{
    HRESULT hr = CheckCall(context, ppv);
    if (FAILED(hr)) return hr;
    if (const CFactoryTemplate* entry = quvo::com::FindBuiltinClass(clsid))
        return CreateClassInstance(entry->create, outer, riid, ppv);
    ComPtr<IClassFactory> factory;
    hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                          factory.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(outer, riid, ppv);
}

void CoFreeUnusedLibraries() { quvo::com::FreeUnusedModules(); }

std::string CoLastModuleErrorText() { return quvo::com::LastModuleError(); }
