#include "platform/graph/base/FilterSetup.h"

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/win32/Errors.h"

HRESULT AMovieSetupRegisterFilter2(const AMOVIESETUP_FILTER* setup, IFilterMapper2* mapper,
                                   BOOL registerFilter)
{
    if (!setup) return S_FALSE;
    if (!mapper || !setup->clsID) return E_POINTER;
    HRESULT hr;
    if (registerFilter) {
        const REGFILTER2 data{1, setup->dwMerit, setup->nPins, setup->lpPin};
        hr = mapper->RegisterFilter(*setup->clsID, setup->strName, nullptr,
                                    &CLSID_LegacyAmFilterCategory, nullptr, &data);
    } else {
        hr = mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *setup->clsID);
    }
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) hr = S_OK;
    return hr;
}

namespace {
// One CoInitialize for the registration calls, undone on the way out.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

HRESULT RegisterFilters(BOOL registerServer, const CFactoryTemplate* table, int count)
{
    ComScope com;
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, mapper.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    for (int i = 0; i < count; ++i) {
        const auto* setup = static_cast<const AMOVIESETUP_FILTER*>(table[i].setup);
        if (!setup) continue;
        hr = AMovieSetupRegisterFilter2(setup, mapper.Get(), registerServer);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
}  // namespace

HRESULT AMovieDllRegisterServer2(BOOL registerServer, const CFactoryTemplate* table, int count)
{
    if (count > 0 && !table) return E_POINTER;
    if (registerServer) {
        HRESULT hr = ModuleRegisterClasses(table, count, true);
        if (FAILED(hr)) return hr;
        return RegisterFilters(TRUE, table, count);
    }
    HRESULT hr = RegisterFilters(FALSE, table, count);
    if (FAILED(hr)) return hr;
    return ModuleRegisterClasses(table, count, false);
}
