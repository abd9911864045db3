#include "platform/graph/base/EnumPins.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BasePin.h"

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* other)
    : CUnknown("CEnumPins", nullptr), filter_(filter), filterRef_(filter)
{
    if (other) {
        pins_ = other->pins_;
        position_ = other->position_;
    } else {
        TakeSnapshot();
    }
}

void CEnumPins::TakeSnapshot()
{
    std::lock_guard lock(*filter_->FilterLock());
    pins_.clear();
    for (int i = 0, n = filter_->GetPinCount(); i < n; ++i) {
        CBasePin* pin = filter_->GetPin(i);
        if (!pin) break;
        pins_.emplace_back(pin);
    }
    position_ = 0;
}

HRESULT CEnumPins::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IEnumPins) return GetInterface(static_cast<IEnumPins*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched)
{
    if (!pins) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    ULONG done = 0;
    while (done < count && position_ < pins_.size()) {
        pins_[position_++].CopyTo(&pins[done]);
        ++done;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT CEnumPins::Skip(ULONG count)
{
    std::size_t left = pins_.size() - position_;
    if (count > left) {
        position_ = pins_.size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

HRESULT CEnumPins::Reset()
{
    return quvo::NoThrow([this] {
        TakeSnapshot();
        return S_OK;
    });
}

HRESULT CEnumPins::Clone(IEnumPins** copy)
{
    if (!copy) return E_POINTER;
    CEnumPins* e = nullptr;
    const HRESULT hr = quvo::NoThrow([&] {
        e = new CEnumPins(filter_, this);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    e->AddRef();
    *copy = e;
    return S_OK;
}
