#include "platform/com/CUnknown.h"

namespace quvo::module {
namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

long ObjectCount() { return g_objects.load(); }
long LockCount() { return g_locks.load(); }
void AddObject() { g_objects.fetch_add(1); }
void RemoveObject() { g_objects.fetch_sub(1); }
void Lock(bool lock)
{
    if (lock)
        g_locks.fetch_add(1);
    else
        g_locks.fetch_sub(1);
}
HRESULT CanUnloadNow() { return (g_objects.load() == 0 && g_locks.load() <= 0) ? S_OK : S_FALSE; }
}  // namespace quvo::module

CUnknown::CUnknown(const char* name, IUnknown* outer)
    : name_(name), owner_(outer ? outer : &inner_)
{
    quvo::module::AddObject();
}

CUnknown::~CUnknown() { quvo::module::RemoveObject(); }

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown) return GetInterface(&inner_, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(refCount_.fetch_add(1) + 1); }

ULONG CUnknown::NonDelegatingRelease()
{
    long left = refCount_.fetch_sub(1) - 1;
    if (left == 0) {
        // Guard against re-entry: a destructor that AddRefs/Releases itself must not loop.
        refCount_.store(1);
        delete this;
        return 0;
    }
    return static_cast<ULONG>(left > 0 ? left : 1);
}

HRESULT GetInterface(IUnknown* p, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = p;
    p->AddRef();
    return S_OK;
}

HRESULT GetInterface(INonDelegatingUnknown* p, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = p;
    p->NonDelegatingAddRef();
    return S_OK;
}
