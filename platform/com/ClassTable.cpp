#include "platform/com/ClassTable.h"

#include <atomic>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

namespace {

struct BuiltinClass {
    std::string name;
    BuiltinCreateFn create;
};

// Guards BuiltinTable(). Registrations run during static initialization of the
// platform library, lookups on any thread afterwards.
std::mutex& ClassTableLock()
{
    static std::mutex lock;
    return lock;
}

// Built on first use: registrars in other files may run before this file's statics.
std::unordered_map<CLSID, BuiltinClass, GuidHash>& BuiltinTable()
{
    static auto* table = new std::unordered_map<CLSID, BuiltinClass, GuidHash>();
    return *table;
}

// The runtime is the server of built-in classes, so it refuses aggregation for
// anything but IUnknown itself, as COM's factories do.
class BuiltinClassFactory final : public IClassFactory {
public:
    explicit BuiltinClassFactory(BuiltinCreateFn create) : create_(create) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return refs_.fetch_add(1) + 1; }
    ULONG Release() override
    {
        const ULONG left = refs_.fetch_sub(1) - 1;
        if (left == 0) delete this;
        return left;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
        return create_(outer, riid, ppv);
    }
    // The platform library is never unloaded, so there is nothing to lock.
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ~BuiltinClassFactory() = default;
    BuiltinCreateFn create_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace

void RegisterBuiltinClass(REFCLSID clsid, const char* name, BuiltinCreateFn create)
{
    std::lock_guard<std::mutex> guard(ClassTableLock());
    BuiltinTable()[clsid] = BuiltinClass{name ? name : "", create};
}

namespace quvo::com {

BuiltinCreateFn FindBuiltinClass(REFCLSID clsid)
{
    std::lock_guard<std::mutex> guard(ClassTableLock());
    auto it = BuiltinTable().find(clsid);
    return it == BuiltinTable().end() ? nullptr : it->second.create;
}

HRESULT NewBuiltinClassFactory(BuiltinCreateFn create, REFIID riid, void** ppv)
{
    auto* factory = new (std::nothrow) BuiltinClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

}  // namespace quvo::com
