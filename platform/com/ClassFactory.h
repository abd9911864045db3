// Class-factory machinery for in-process server modules (static base library,
// one copy per module): a template table naming each class the module serves,
// the class factory over a table entry, and the bodies of the four entry points.
//
// A module lists its classes and exports the entry points:
//
//   const CFactoryTemplate kTemplates[] = {
//       {u"Tavrin MPEG File Writer", &CLSID_TavrinFileWriter, &CreateComObject<FileWriter>, nullptr, &kSetup},
//   };
//   QUVO_MODULE_CLASS_OBJECTS(kTemplates)   // DllGetClassObject, DllCanUnloadNow, attach/detach
//   QUVO_MODULE_REGISTRATION(kTemplates)    // DllRegisterServer, DllUnregisterServer
//
// Filter modules register with the filter mapper as well: the graph layer
// supplies a FilterRegistrationFn that hands an entry's `setup` to the mapper,
// and such modules use QUVO_MODULE_FILTER_REGISTRATION(table, fn) instead of
// QUVO_MODULE_REGISTRATION.
#pragma once

#include <iterator>
#include <new>
#include <string>

#include "platform/com/CUnknown.h"
#include "platform/com/NoThrow.h"

// Creates an object for `outer` (null when not aggregated) and reports its result
// in *hr. Answering an object together with a failure code makes the factory
// destroy the object and return the code.
using CreateObjectFn = CUnknown* (*)(IUnknown* outer, HRESULT* hr);
// The creation function of a class whose constructor takes (outer, hr): the one
// every class uses, built-in or module. A constructor reports its own failures in
// *hr; an allocation that fails inside it throws, and becomes E_OUTOFMEMORY here.
template <class T>
CUnknown* CreateComObject(IUnknown* outer, HRESULT* hr)
{
    *hr = S_OK;
    T* object = nullptr;
    const HRESULT made = quvo::NoThrow([&] {
        object = new T(outer, hr);
        return S_OK;
    });
    if (FAILED(made)) *hr = made;
    return object;
}

// Creates an object through `create` and hands out `riid`. An aggregated object
// can only be handed out as its inner unknown (E_NOINTERFACE before the class is
// asked).
HRESULT CreateClassInstance(CreateObjectFn create, IUnknown* outer, REFIID riid, void** ppv);

// Called with TRUE when the module loads and FALSE when it unloads.
using ModuleInitFn = void (*)(BOOL loading, const CLSID* clsid);

struct CFactoryTemplate {
    const WCHAR* name;
    const CLSID* clsid;
    CreateObjectFn create;
    ModuleInitFn init;     // may be null
    const void* setup;     // filter registration data (the graph layer's AMOVIESETUP_FILTER), may be null

    bool IsClassID(REFCLSID id) const { return *clsid == id; }
};

// IClassFactory over one template entry. It counts as a live object of the
// module, so the module stays loaded while a factory exists.
class CClassFactory final : public IClassFactory, public CUnknown {
public:
    explicit CClassFactory(const CFactoryTemplate* entry);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT LockServer(BOOL lock) override;

private:
    const CFactoryTemplate* entry_;
};

// A class factory over `entry` handing out `riid` (one reference).
HRESULT NewClassFactory(const CFactoryTemplate* entry, REFIID riid, void** ppv);

// DllGetClassObject: `riid` must be IID_IClassFactory or IID_IUnknown
// (E_NOINTERFACE), `clsid` must be in the table (CLASS_E_CLASSNOTAVAILABLE).
HRESULT ModuleGetClassObject(const CFactoryTemplate* table, int count, REFCLSID clsid, REFIID riid,
                             void** ppv);
// DllCanUnloadNow: S_FALSE while an object of the module lives or the server is locked.
HRESULT ModuleCanUnloadNow();
// Calls each entry's init function (module attach and detach).
void ModuleInitTemplates(const CFactoryTemplate* table, int count, BOOL loading);

// Writes (register true) or removes the component registration of every entry:
// HKEY_CLASSES_ROOT "CLSID\{clsid}" = name, its "InprocServer32" = this module's
// path, "ThreadingModel" = "Both". Removal deletes "CLSID\{clsid}" with all its
// subkeys (a class that is not registered counts as removed). Stops at the first
// failure, answering HRESULT_FROM_WIN32 of the registry's code.
HRESULT ModuleRegisterClasses(const CFactoryTemplate* table, int count, bool registerClasses);

// Registers (true) or removes (false) one entry with the filter mapper. Called
// only for entries with setup data; a "file not found" answer
// (HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) counts as success.
using FilterRegistrationFn = HRESULT (*)(const CFactoryTemplate& entry, bool registerFilter);

// DllRegisterServer / DllUnregisterServer of a filter module. Registering writes
// the component keys first, then the filters; removing takes the filters out
// first, then the keys. Answers the first failure. `filters` may be null.
HRESULT ModuleRegisterServer(const CFactoryTemplate* table, int count, bool registerServer,
                             FilterRegistrationFn filters);

// The path of the module this copy of the base library is linked into.
HRESULT ModuleFileName(std::string* path);

#define QUVO_MODULE_CLASS_OBJECTS(table)                                                          \
    QUVO_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)          \
    {                                                                                              \
        return ModuleGetClassObject(table, static_cast<int>(std::size(table)), clsid, riid, ppv); \
    }                                                                                              \
    QUVO_MODULE_EXPORT HRESULT DllCanUnloadNow() { return ModuleCanUnloadNow(); }                 \
    __attribute__((constructor)) static void QuvoModuleAttach()                                    \
    {                                                                                              \
        ModuleInitTemplates(table, static_cast<int>(std::size(table)), TRUE);                     \
    }                                                                                              \
    __attribute__((destructor)) static void QuvoModuleDetach()                                     \
    {                                                                                              \
        ModuleInitTemplates(table, static_cast<int>(std::size(table)), FALSE);                    \
    }

#define QUVO_MODULE_REGISTRATION(table)                                                          \
    QUVO_MODULE_EXPORT HRESULT DllRegisterServer()                                               \
    {                                                                                            \
        return ModuleRegisterClasses(table, static_cast<int>(std::size(table)), true);          \
    }                                                                                            \
    QUVO_MODULE_EXPORT HRESULT DllUnregisterServer()                                             \
    {                                                                                            \
        return ModuleRegisterClasses(table, static_cast<int>(std::size(table)), false);         \
    }

#define QUVO_MODULE_FILTER_REGISTRATION(table, filters)                                          \
    QUVO_MODULE_EXPORT HRESULT DllRegisterServer()                                               \
    {                                                                                            \
        return ModuleRegisterServer(table, static_cast<int>(std::size(table)), true, filters);  \
    }                                                                                            \
    QUVO_MODULE_EXPORT HRESULT DllUnregisterServer()                                             \
    {                                                                                            \
        return ModuleRegisterServer(table, static_cast<int>(std::size(table)), false, filters); \
    }
