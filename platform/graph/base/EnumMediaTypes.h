// CEnumMediaTypes: IEnumMediaTypes over a pin's GetMediaType list. Each type handed
// out is task memory (free with DeleteMediaType). The pin (and so its filter) is
// kept alive while the enumerator lives.
#pragma once

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/Interfaces.h"

class CBasePin;

class CEnumMediaTypes final : public CUnknown, public IEnumMediaTypes {
public:
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* other);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** copy) override;

private:
    CBasePin* const pin_;
    ComPtr<IPin> pinRef_;
    int position_ = 0;
};
