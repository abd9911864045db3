#include "platform/com/ModuleCache.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace {

struct LoadedModule {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;  // null: never unloaded
};

// Guards Modules(). Recursive because code running inside a module while the
// lock is held (its load-time constructors, DllGetClassObject) may come back
// into the runtime on the same thread.
std::recursive_mutex& ModuleCacheLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::map<std::string, LoadedModule>& Modules()
{
    static auto* modules = new std::map<std::string, LoadedModule>();
    return *modules;
}

thread_local std::string t_lastModuleError;

HRESULT Load(const std::string& path, LoadedModule* out)
{
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        t_lastModuleError = why ? why : path + ": cannot load";
        return CO_E_DLLNOTFOUND;
    }
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) {
        t_lastModuleError = path + ": no DllGetClassObject entry point";
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    out->handle = handle;
    out->getClassObject = getClassObject;
    out->canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    return S_OK;
}

}  // namespace

namespace quvo::com {

HRESULT GetModuleClassObject(const std::string& path, REFCLSID clsid, REFIID riid, void** ppv)
{
    std::lock_guard<std::recursive_mutex> guard(ModuleCacheLock());
    auto it = Modules().find(path);
    if (it == Modules().end()) {
        LoadedModule module;
        HRESULT hr = Load(path, &module);
        if (FAILED(hr)) return hr;
        it = Modules().emplace(path, module).first;
    }
    return it->second.getClassObject(clsid, riid, ppv);
}

void FreeUnusedModules()
{
    std::lock_guard<std::recursive_mutex> guard(ModuleCacheLock());
    for (auto it = Modules().begin(); it != Modules().end();) {
        const LoadedModule& module = it->second;
        if (module.canUnloadNow && module.canUnloadNow() == S_OK) {
            ::dlclose(module.handle);
            it = Modules().erase(it);
        } else {
            ++it;
        }
    }
}

std::string LastModuleError() { return t_lastModuleError; }

}  // namespace quvo::com
