// A moniker naming one instance of a category (a capture device, a filter):
// binding creates the instance's class, binding to storage reads its values.
#pragma once

#include <string>

#include "platform/com/CUnknown.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

class DeviceMoniker final : public CUnknown, public IMoniker {
public:
    static HRESULT Create(const GUID& category, std::string instance, IMoniker** out);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Creates the class named by the instance's "CLSID" value: a new object each call.
    HRESULT BindToObject(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) override;
    // IPropertyBag over the instance's values.
    HRESULT BindToStorage(IBindCtx* ctx, IMoniker* left, REFIID riid, void** ppv) override;
    // "@device:sw:{category}\instance", in task memory.
    HRESULT GetDisplayName(IBindCtx* ctx, IMoniker* left, LPWSTR* name) override;

private:
    DeviceMoniker(const GUID& category, std::string instance);

    // Immutable after construction: no lock needed.
    const GUID category_;
    const std::string instance_;
};

}  // namespace quvo::graph
