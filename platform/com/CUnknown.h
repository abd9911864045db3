// CUnknown: reference-counted base for component objects, with the non-delegating
// unknown that makes aggregation work. Part of the static base library that every
// module links, so the live-object count below is per module (for DllCanUnloadNow).
#pragma once

#include <atomic>

#include "platform/com/Unknown.h"

struct INonDelegatingUnknown {
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG NonDelegatingAddRef() = 0;
    virtual ULONG NonDelegatingRelease() = 0;

protected:
    ~INonDelegatingUnknown() = default;
};

namespace quvo::module {
// Objects alive in this module and IClassFactory::LockServer count.
long ObjectCount();
long LockCount();
void AddObject();
void RemoveObject();
void Lock(bool lock);
// S_OK when nothing keeps the module loaded, else S_FALSE.
HRESULT CanUnloadNow();
}  // namespace quvo::module

class CUnknown : public INonDelegatingUnknown {
public:
    // `outer` is the aggregating object's unknown, or null when not aggregated.
    explicit CUnknown(const char* name, IUnknown* outer = nullptr);
    virtual ~CUnknown();
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // The unknown every IUnknown call delegates to: the outer one, or our own.
    IUnknown* GetOwner() const { return owner_; }
    const char* Name() const { return name_; }

protected:
    std::atomic<long> refCount_{0};

private:
    // The non-delegating unknown as a genuine IUnknown: what the interfaces of a
    // non-aggregated object delegate to, and what an aggregating owner holds.
    // (Casting the INonDelegatingUnknown to IUnknown works by vtable layout, but it
    // is undefined behaviour and the sanitizers say so.)
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(CUnknown* self) : self_(self) {}
        ~InnerUnknown() = default;
        HRESULT QueryInterface(REFIID riid, void** ppv) override
        {
            return self_->NonDelegatingQueryInterface(riid, ppv);
        }
        ULONG AddRef() override { return self_->NonDelegatingAddRef(); }
        ULONG Release() override { return self_->NonDelegatingRelease(); }

    private:
        CUnknown* self_;
    };

    InnerUnknown inner_{this};
    const char* name_;
    IUnknown* owner_;
};

// Hands out `p` as the interface asked for, with one reference.
HRESULT GetInterface(IUnknown* p, void** ppv);
// Same, for the inner unknown of an aggregated object.
HRESULT GetInterface(INonDelegatingUnknown* p, void** ppv);

// Adds QueryInterface/AddRef/Release that delegate to the owner, as every
// interface implemented by a CUnknown-derived class needs.
#define DECLARE_IUNKNOWN                                                              \
    HRESULT QueryInterface(REFIID riid, void** ppv) override                          \
    {                                                                                 \
        return GetOwner()->QueryInterface(riid, ppv);                                 \
    }                                                                                 \
    ULONG AddRef() override { return GetOwner()->AddRef(); }                          \
    ULONG Release() override { return GetOwner()->Release(); }
