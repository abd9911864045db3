// IPropertyBag over one registry key (a device or filter instance): strings are
// VT_BSTR (REG_SZ), integers VT_I4/VT_UI4 (REG_DWORD). Every call opens the key
// anew, so the bag sees what other processes wrote meanwhile.
#pragma once

#include <string>

#include "platform/com/CUnknown.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

class RegistryPropertyBag final : public CUnknown, public IPropertyBag {
public:
    // `path`: key below HKEY_CLASSES_ROOT.
    static HRESULT Create(std::string path, REFIID riid, void** ppv);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Read(LPCWSTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT Write(LPCWSTR name, VARIANT* value) override;

private:
    explicit RegistryPropertyBag(std::string path);

    const std::string path_;  // immutable: no lock needed
};

}  // namespace quvo::graph
