// The filter mapper (CLSID_FilterMapper2): writes and removes the registry
// instances that the device enumerator lists (see InstanceKey.h). Holds no state.
#pragma once

#include "platform/com/CUnknown.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

class FilterMapper final : public CUnknown, public IFilterMapper2 {
public:
    // The class table creates it (CreateComObject).
    FilterMapper(IUnknown* outer, HRESULT* hr) : CUnknown("Filter mapper", outer) {}

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CreateCategory(REFCLSID category, DWORD merit, LPCWSTR description) override;
    HRESULT UnregisterFilter(const CLSID* category, LPCWSTR instance, REFCLSID filter) override;
    HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker, const CLSID* category,
                           LPCWSTR instance, const REGFILTER2* data) override;

private:
};

}  // namespace quvo::graph
