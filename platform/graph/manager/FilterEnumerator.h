// IEnumFilters over a snapshot of the graph's filter list, taken when the
// enumerator is made: later changes to the graph do not disturb it.
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/Interfaces.h"

namespace quvo::graph {

class FilterEnumerator final : public CUnknown, public IEnumFilters {
public:
    static HRESULT Create(std::vector<ComPtr<IBaseFilter>> filters, IEnumFilters** out, std::size_t position = 0);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFilters** copy) override;

private:
    FilterEnumerator(std::vector<ComPtr<IBaseFilter>> filters, std::size_t position);

    std::mutex positionLock_;  // guards position_ (an enumerator may be shared)
    const std::vector<ComPtr<IBaseFilter>> filters_;
    std::size_t position_;
};

}  // namespace quvo::graph
