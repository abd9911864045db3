// SnapshotEnumerator: an enumerator (IEnumFilters, IEnumMoniker) over references
// taken when it was made, so later changes to what it lists do not disturb it.
// Threads: any; the position is guarded, since an enumerator may be shared.
#pragma once

#include <mutex>
#include <new>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/com/NoThrow.h"

template <class IEnum, class Item>
class SnapshotEnumerator final : public CUnknown, public IEnum {
public:
    static HRESULT Create(std::vector<ComPtr<Item>> items, IEnum** out, std::size_t position = 0)
    {
        if (!out) return E_POINTER;
        auto* e = new (std::nothrow) SnapshotEnumerator(std::move(items), position);
        if (!e) return E_OUTOFMEMORY;
        e->NonDelegatingAddRef();
        *out = e;
        return S_OK;
    }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IEnum::kIID) return GetInterface(static_cast<IEnum*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT Next(ULONG count, Item** items, ULONG* fetched) override
    {
        if (!items || (count > 1 && !fetched)) return E_POINTER;
        std::lock_guard lock(positionLock_);
        ULONG n = 0;
        while (n < count && position_ < items_.size()) items_[position_++].CopyTo(&items[n++]);
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG count) override
    {
        std::lock_guard lock(positionLock_);
        std::size_t left = items_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }

    HRESULT Reset() override
    {
        std::lock_guard lock(positionLock_);
        position_ = 0;
        return S_OK;
    }

    HRESULT Clone(IEnum** copy) override
    {
        std::lock_guard lock(positionLock_);
        return quvo::NoThrow([&] { return Create(items_, copy, position_); });
    }

private:
    SnapshotEnumerator(std::vector<ComPtr<Item>> items, std::size_t position)
        : CUnknown("Snapshot enumerator"), items_(std::move(items)), position_(position)
    {
    }

    std::mutex positionLock_;  // guards position_
    const std::vector<ComPtr<Item>> items_;
    std::size_t position_;
};
