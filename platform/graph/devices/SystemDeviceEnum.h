// The system device enumerator (CLSID_SystemDeviceEnum): monikers for the
// instances registered in a category (see InstanceKey.h). Holds no state.
#pragma once

#include "platform/com/CUnknown.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

class SystemDeviceEnum final : public CUnknown, public ICreateDevEnum {
public:
    // The class table creates it (CreateComObject).
    SystemDeviceEnum(IUnknown* outer, HRESULT* hr) : CUnknown("System device enumerator", outer) {}

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // S_FALSE and a null enumerator when the category has no instance.
    HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers, DWORD flags) override;

private:
};

}  // namespace quvo::graph
