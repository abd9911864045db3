// CEnumPins: IEnumPins over a CBaseFilter. It takes a snapshot of the pins (with
// references) when created and at each Reset, so a filter that adds pins while it
// is enumerated (the tee) is seen as it was; Reset shows the new set.
#pragma once

#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/Interfaces.h"

class CBaseFilter;

class CEnumPins final : public CUnknown, public IEnumPins {
public:
    // Copies `other`'s snapshot and position when given, else enumerates `filter` afresh.
    CEnumPins(CBaseFilter* filter, const CEnumPins* other);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins** copy) override;

private:
    void TakeSnapshot();

    CBaseFilter* const filter_;
    ComPtr<IBaseFilter> filterRef_;
    std::vector<ComPtr<IPin>> pins_;
    std::size_t position_ = 0;
};
