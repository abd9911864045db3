#include "platform/graph/base/EnumMediaTypes.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/BasePin.h"

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* other)
    : CUnknown("CEnumMediaTypes", nullptr), pin_(pin), pinRef_(pin)
{
    if (other) position_ = other->position_;
}

HRESULT CEnumMediaTypes::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IEnumMediaTypes) return GetInterface(static_cast<IEnumMediaTypes*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched)
{
    if (!types) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    ULONG done = 0;
    while (done < count) {
        CMediaType mt;
        if (quvo::NoThrow([&] { return pin_->GetMediaType(position_, &mt); }) != S_OK) break;
        AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
        if (!copy) {
            for (ULONG i = 0; i < done; ++i) DeleteMediaType(types[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        types[done++] = copy;
        ++position_;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG count)
{
    for (ULONG i = 0; i < count; ++i) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

HRESULT CEnumMediaTypes::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** copy)
{
    if (!copy) return E_POINTER;
    auto* e = new (std::nothrow) CEnumMediaTypes(pin_, this);
    if (!e) return E_OUTOFMEMORY;
    e->AddRef();
    *copy = e;
    return S_OK;
}
