#include "platform/graph/manager/FilterEnumerator.h"

#include <new>

namespace quvo::graph {

FilterEnumerator::FilterEnumerator(std::vector<ComPtr<IBaseFilter>> filters, std::size_t position)
    : CUnknown("Filter enumerator"), filters_(std::move(filters)), position_(position)
{
}

HRESULT FilterEnumerator::Create(std::vector<ComPtr<IBaseFilter>> filters, IEnumFilters** out,
                                 std::size_t position)
{
    if (!out) return E_POINTER;
    auto* e = new (std::nothrow) FilterEnumerator(std::move(filters), position);
    if (!e) return E_OUTOFMEMORY;
    e->NonDelegatingAddRef();
    *out = e;
    return S_OK;
}

HRESULT FilterEnumerator::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IEnumFilters) return GetInterface(static_cast<IEnumFilters*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FilterEnumerator::Next(ULONG count, IBaseFilter** filters, ULONG* fetched)
{
    if (!filters || (count > 1 && !fetched)) return E_POINTER;
    std::lock_guard lock(positionLock_);
    ULONG n = 0;
    while (n < count && position_ < filters_.size()) filters_[position_++].CopyTo(&filters[n++]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT FilterEnumerator::Skip(ULONG count)
{
    std::lock_guard lock(positionLock_);
    std::size_t left = filters_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

HRESULT FilterEnumerator::Reset()
{
    std::lock_guard lock(positionLock_);
    position_ = 0;
    return S_OK;
}

HRESULT FilterEnumerator::Clone(IEnumFilters** copy)
{
    std::lock_guard lock(positionLock_);
    return Create(filters_, copy, position_);
}

}  // namespace quvo::graph
