// IEnumMoniker over the monikers of a category, as found when the enumerator was
// made.
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

class MonikerEnumerator final : public CUnknown, public IEnumMoniker {
public:
    static HRESULT Create(std::vector<ComPtr<IMoniker>> monikers, IEnumMoniker** out, std::size_t position = 0);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMoniker** copy) override;

private:
    MonikerEnumerator(std::vector<ComPtr<IMoniker>> monikers, std::size_t position);

    std::mutex positionLock_;  // guards position_
    const std::vector<ComPtr<IMoniker>> monikers_;
    std::size_t position_;
};

}  // namespace quvo::graph
