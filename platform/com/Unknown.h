// IUnknown and IClassFactory as C++ abstract classes in the component model's vtable order.
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Every interface declares `static constexpr const IID& kIID`, which ComPtr uses as __uuidof.
#define QUVO_INTERFACE_ID(iidConstant) static constexpr const IID& kIID = iidConstant

struct IUnknown {
    QUVO_INTERFACE_ID(IID_IUnknown);
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects die through Release only
};
using LPUNKNOWN = IUnknown*;

struct IClassFactory : IUnknown {
    QUVO_INTERFACE_ID(IID_IClassFactory);
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;
};

template <class T>
constexpr const IID& uuidof() { return T::kIID; }

// The four entry points of an in-process server module (extern "C" in each module).
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

// Marks a module's exported entry points; modules are built with hidden visibility.
#define QUVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
