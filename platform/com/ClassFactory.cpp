#include "platform/com/ClassFactory.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/registry/Registry.h"

CClassFactory::CClassFactory(const CFactoryTemplate* entry) : CUnknown("Class factory"), entry_(entry) {}

HRESULT CClassFactory::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IClassFactory) return GetInterface(static_cast<IClassFactory*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return CreateClassInstance(entry_->create, outer, riid, ppv);
}

HRESULT CreateClassInstance(CreateObjectFn create, IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return E_NOINTERFACE;
    HRESULT hr = S_OK;
    CUnknown* object = create(outer, &hr);
    if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete object;
        return hr;
    }
    // Hold a reference across the query so a failing query destroys the object.
    object->NonDelegatingAddRef();
    hr = object->NonDelegatingQueryInterface(riid, ppv);
    object->NonDelegatingRelease();
    return hr;
}

HRESULT CClassFactory::LockServer(BOOL lock)
{
    quvo::module::Lock(lock != FALSE);
    return S_OK;
}

HRESULT ModuleGetClassObject(const CFactoryTemplate* table, int count, REFCLSID clsid, REFIID riid,
                             void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IClassFactory && riid != IID_IUnknown) return E_NOINTERFACE;
    for (int i = 0; i < count; ++i)
        if (table[i].IsClassID(clsid)) return NewClassFactory(&table[i], riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT NewClassFactory(const CFactoryTemplate* entry, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) CClassFactory(entry);
    if (!factory) return E_OUTOFMEMORY;
    factory->NonDelegatingAddRef();
    HRESULT hr = factory->NonDelegatingQueryInterface(riid, ppv);
    factory->NonDelegatingRelease();
    return hr;
}

HRESULT ModuleCanUnloadNow() { return quvo::module::CanUnloadNow(); }

void ModuleInitTemplates(const CFactoryTemplate* table, int count, BOOL loading)
{
    for (int i = 0; i < count; ++i)
        if (table[i].init) table[i].init(loading, table[i].clsid);
}

HRESULT ModuleFileName(std::string* path)
{
    // This file is linked into the module, so its code lies inside the module.
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || !info.dli_fname)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    char resolved[PATH_MAX];
    if (!::realpath(info.dli_fname, resolved)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    *path = resolved;
    return S_OK;
}

namespace {

// Closes a registry key on scope exit.
struct ScopedKey {
    HKEY key = nullptr;
    ~ScopedKey() { if (key) RegCloseKey(key); }
};

LSTATUS SetString(HKEY key, LPCSTR name, const std::string& value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

// The key's default value from a UTF-16 string.
LSTATUS SetDefaultWide(HKEY key, const WCHAR* value)
{
    std::size_t n = 0;
    while (value && value[n]) ++n;
    const WCHAR empty = 0;
    return RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value ? value : &empty),
                          static_cast<DWORD>((n + 1) * sizeof(WCHAR)));
}

LSTATUS RegisterClass(const CFactoryTemplate& entry, const std::string& modulePath)
{
    ScopedKey classKey, serverKey;
    const std::string keyName = "CLSID\\" + GuidToString(*entry.clsid);
    LSTATUS rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_WRITE, nullptr, &classKey.key, nullptr);
    if (rc == ERROR_SUCCESS) rc = SetDefaultWide(classKey.key, entry.name);
    if (rc == ERROR_SUCCESS)
        rc = RegCreateKeyExA(classKey.key, "InprocServer32", 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, nullptr, &serverKey.key, nullptr);
    if (rc == ERROR_SUCCESS) rc = SetString(serverKey.key, nullptr, modulePath);
    if (rc == ERROR_SUCCESS) rc = SetString(serverKey.key, "ThreadingModel", "Both");
    return rc;
}

// Deletes `subKey` of `parent` and everything below it, deepest keys first.
LSTATUS DeleteKeyDepthFirst(HKEY parent, const std::string& subKey)
{
    ScopedKey key;
    LSTATUS rc = RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_ALL_ACCESS, &key.key);
    if (rc != ERROR_SUCCESS) return rc;
    for (;;) {
        // Always the first child: the one before was just deleted.
        char name[256];
        DWORD size = sizeof name;
        rc = RegEnumKeyExA(key.key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return rc;
        rc = DeleteKeyDepthFirst(key.key, name);
        if (rc != ERROR_SUCCESS) return rc;
    }
    return RegDeleteKeyA(parent, subKey.c_str());
}

}  // namespace

HRESULT ModuleRegisterClasses(const CFactoryTemplate* table, int count, bool registerClasses)
{
    std::string modulePath;
    if (registerClasses) {
        HRESULT hr = ModuleFileName(&modulePath);
        if (FAILED(hr)) return hr;
    }
    for (int i = 0; i < count; ++i) {
        LSTATUS rc;
        if (registerClasses) {
            rc = RegisterClass(table[i], modulePath);
        } else {
            rc = DeleteKeyDepthFirst(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(*table[i].clsid));
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
        }
        if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<std::uint32_t>(rc));
    }
    return S_OK;
}

namespace {
HRESULT RegisterFilters(const CFactoryTemplate* table, int count, bool registerFilters,
                        FilterRegistrationFn filters)
{
    if (!filters) return S_OK;
    for (int i = 0; i < count; ++i) {
        if (!table[i].setup) continue;
        HRESULT hr = filters(table[i], registerFilters);
        if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) hr = S_OK;
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
}  // namespace

HRESULT ModuleRegisterServer(const CFactoryTemplate* table, int count, bool registerServer,
                             FilterRegistrationFn filters)
{
    if (registerServer) {
        HRESULT hr = ModuleRegisterClasses(table, count, true);
        if (FAILED(hr)) return hr;
        return RegisterFilters(table, count, true, filters);
    }
    // The reverse of registering: the filters go before the class keys they name.
    HRESULT hr = RegisterFilters(table, count, false, filters);
    if (FAILED(hr)) return hr;
    return ModuleRegisterClasses(table, count, false);
}
