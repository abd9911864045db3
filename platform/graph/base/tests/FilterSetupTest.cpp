// Filter registration helpers: what AMovieSetupRegisterFilter2 hands the mapper,
// and a whole DllRegisterServer/DllUnregisterServer round trip through the
// platform's filter mapper and device enumerator in this test's own registry.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/com/Variant.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/FilterSetup.h"
#include "platform/win32/Errors.h"

namespace {

constexpr CLSID kFilterClsid = {0x5e1d0005, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 5}};
const AMOVIESETUP_MEDIATYPE kTypes[] = {{&MEDIATYPE_NULL, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Output", 1, kTypes}};
const AMOVIESETUP_FILTER kSetup = {&kFilterClsid, u"Base Test Filter", MERIT_DO_NOT_USE, 1, kPins};

class RecordingMapper final : public IFilterMapper2 {
public:
    HRESULT QueryInterface(REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateCategory(REFCLSID, DWORD, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT UnregisterFilter(const CLSID* category, LPCWSTR, REFCLSID filter) override
    {
        lastCategory = category ? *category : GUID_NULL;
        lastFilter = filter;
        return unregisterResult;
    }
    HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker**, const CLSID* category,
                           LPCWSTR, const REGFILTER2* data) override
    {
        lastFilter = filter;
        lastName = name;
        lastCategory = category ? *category : GUID_NULL;
        lastData = *data;
        return S_OK;
    }

    HRESULT unregisterResult = S_OK;
    CLSID lastFilter = GUID_NULL;
    CLSID lastCategory = GUID_NULL;
    std::u16string lastName;
    REGFILTER2 lastData{};
};

TEST(FilterSetup, RegistersVersionOneDataInTheFiltersCategory)
{
    RecordingMapper mapper;
    ASSERT_EQ(AMovieSetupRegisterFilter2(&kSetup, &mapper, TRUE), S_OK);
    EXPECT_TRUE(mapper.lastFilter == kFilterClsid);
    EXPECT_TRUE(mapper.lastCategory == CLSID_LegacyAmFilterCategory);
    EXPECT_EQ(mapper.lastName, u"Base Test Filter");
    EXPECT_EQ(mapper.lastData.dwVersion, 1u);
    EXPECT_EQ(mapper.lastData.dwMerit, MERIT_DO_NOT_USE);
    EXPECT_EQ(mapper.lastData.cPins, 1u);
    EXPECT_EQ(mapper.lastData.rgPins, kPins);
    EXPECT_EQ(AMovieSetupRegisterFilter2(nullptr, &mapper, TRUE), S_FALSE);
}

TEST(FilterSetup, MissingRegistrationCountsAsRemoved)
{
    RecordingMapper mapper;
    mapper.unregisterResult = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(AMovieSetupRegisterFilter2(&kSetup, &mapper, FALSE), S_OK);
    EXPECT_TRUE(mapper.lastCategory == CLSID_LegacyAmFilterCategory);
    mapper.unregisterResult = E_ACCESSDENIED;
    EXPECT_EQ(AMovieSetupRegisterFilter2(&kSetup, &mapper, FALSE), E_ACCESSDENIED);
}

CUnknown* CreateNothing(IUnknown*, HRESULT* hr)
{
    *hr = E_NOTIMPL;
    return nullptr;
}

const CFactoryTemplate kTemplates[] = {
    {u"Base Test Filter", &kFilterClsid, &CreateNothing, nullptr, &kSetup},
    {u"Base Test Helper", &kFilterClsid, &CreateNothing, nullptr, nullptr},
};

// Whether the filters category lists an instance named "Base Test Filter".
bool Listed()
{
    ComPtr<ICreateDevEnum> devices;
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICreateDevEnum, devices.ReleaseAndGetVoidAddressOf()),
              S_OK);
    if (!devices) return false;
    ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, &monikers, 0) != S_OK) return false;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                          bag.ReleaseAndGetVoidAddressOf())))
            continue;
        VARIANT name;
        VariantInit(&name);
        bool match = SUCCEEDED(bag->Read(u"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR &&
                     std::u16string(name.bstrVal) == u"Base Test Filter";
        VariantClear(&name);
        if (match) return true;
    }
    return false;
}

TEST(FilterSetup, DllRegisterAndUnregisterRoundTrip)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_FALSE(Listed());
    ASSERT_EQ(AMovieDllRegisterServer2(TRUE, kTemplates, 2), S_OK);
    EXPECT_TRUE(Listed());
    ASSERT_EQ(AMovieDllRegisterServer2(FALSE, kTemplates, 2), S_OK);
    EXPECT_FALSE(Listed());
    EXPECT_EQ(AMovieDllRegisterServer2(FALSE, kTemplates, 2), S_OK);  // nothing left to remove
    CoUninitialize();
}

}  // namespace
