#include "platform/graph/devices/MonikerEnumerator.h"

#include <new>

namespace quvo::graph {

MonikerEnumerator::MonikerEnumerator(std::vector<ComPtr<IMoniker>> monikers, std::size_t position)
    : CUnknown("Moniker enumerator"), monikers_(std::move(monikers)), position_(position)
{
}

HRESULT MonikerEnumerator::Create(std::vector<ComPtr<IMoniker>> monikers, IEnumMoniker** out,
                                  std::size_t position)
{
    if (!out) return E_POINTER;
    auto* e = new (std::nothrow) MonikerEnumerator(std::move(monikers), position);
    if (!e) return E_OUTOFMEMORY;
    e->NonDelegatingAddRef();
    *out = e;
    return S_OK;
}

HRESULT MonikerEnumerator::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IEnumMoniker) return GetInterface(static_cast<IEnumMoniker*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT MonikerEnumerator::Next(ULONG count, IMoniker** monikers, ULONG* fetched)
{
    if (!monikers || (count > 1 && !fetched)) return E_POINTER;
    std::lock_guard lock(positionLock_);
    ULONG n = 0;
    while (n < count && position_ < monikers_.size()) monikers_[position_++].CopyTo(&monikers[n++]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT MonikerEnumerator::Skip(ULONG count)
{
    std::lock_guard lock(positionLock_);
    std::size_t left = monikers_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

HRESULT MonikerEnumerator::Reset()
{
    std::lock_guard lock(positionLock_);
    position_ = 0;
    return S_OK;
}

HRESULT MonikerEnumerator::Clone(IEnumMoniker** copy)
{
    std::lock_guard lock(positionLock_);
    return Create(monikers_, copy, position_);
}

}  // namespace quvo::graph
