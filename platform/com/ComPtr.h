// ComPtr<T>: holds exactly one reference to an interface and releases it on destruction.
#pragma once

#include <memory>
#include <utility>

#include "platform/com/Unknown.h"

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference on p.
    explicit ComPtr(T* p) noexcept : ptr_(p) { if (ptr_) ptr_->AddRef(); }
    ComPtr(const ComPtr& o) noexcept : ptr_(o.ptr_) { if (ptr_) ptr_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : ptr_(std::exchange(o.ptr_, nullptr)) {}
    template <class U>
    ComPtr(const ComPtr<U>& o) noexcept : ptr_(o.Get()) { if (ptr_) ptr_->AddRef(); }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) noexcept
    {
        if (o.ptr_) o.ptr_->AddRef();
        T* old = std::exchange(ptr_, o.ptr_);
        if (old) old->Release();
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept
    {
        if (this != std::addressof(o)) {  // operator& is overloaded below
            T* old = std::exchange(ptr_, std::exchange(o.ptr_, nullptr));
            if (old) old->Release();
        }
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept { Reset(); return *this; }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    T& operator*() const noexcept { return *ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // For out-parameters: releases what is held, then hands out the slot.
    T** ReleaseAndGetAddressOf() noexcept { Reset(); return &ptr_; }
    T** operator&() noexcept { return ReleaseAndGetAddressOf(); }
    T* const* GetAddressOf() const noexcept { return &ptr_; }
    void** ReleaseAndGetVoidAddressOf() noexcept { Reset(); return reinterpret_cast<void**>(&ptr_); }

    void Reset() noexcept
    {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }
    // Adopts a reference the caller already owns.
    void Attach(T* p) noexcept { Reset(); ptr_ = p; }
    // Gives up the reference without releasing it.
    T* Detach() noexcept { return std::exchange(ptr_, nullptr); }

    // Hands a new reference to the caller's out-parameter.
    HRESULT CopyTo(T** out) const noexcept
    {
        if (!out) return E_POINTER;
        *out = ptr_;
        if (ptr_) ptr_->AddRef();
        return S_OK;
    }

    template <class U>
    HRESULT As(ComPtr<U>* out) const noexcept
    {
        if (!out) return E_POINTER;
        if (!ptr_) { out->Reset(); return E_POINTER; }
        return ptr_->QueryInterface(uuidof<U>(), out->ReleaseAndGetVoidAddressOf());
    }

private:
    T* ptr_ = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b)
{
    return static_cast<const void*>(a.Get()) == static_cast<const void*>(b.Get());
}

// Two interface pointers name the same object when their IUnknowns are equal.
inline bool IsSameObject(IUnknown* a, IUnknown* b)
{
    if (a == b) return true;
    if (!a || !b) return false;
    ComPtr<IUnknown> ua, ub;
    a->QueryInterface(IID_IUnknown, ua.ReleaseAndGetVoidAddressOf());
    b->QueryInterface(IID_IUnknown, ub.ReleaseAndGetVoidAddressOf());
    return ua.Get() == ub.Get();
}
