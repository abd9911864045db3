// Device discovery over the registry: instances that the filter mapper registers
// into the video input category are listed by the system device enumerator with
// their "FriendlyName"; binding a moniker creates a fresh filter of the instance's
// class each time; an empty category answers S_FALSE; unregistering removes them.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/testkit/TestFilters.h"
#include "platform/win32/Errors.h"

namespace quvo::test {
namespace {

QUVO_GUID(CLSID_TestCaptureDevice, 0x5a1e0c10, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x10);
QUVO_GUID(CLSID_EmptyCategory, 0x5a1e0c11, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x11);

CUnknown* CreateTestDevice(IUnknown* outer, HRESULT* hr)
{
    if (outer) {
        *hr = CLASS_E_NOAGGREGATION;
        return nullptr;
    }
    return new CountingSink;
}

const CFactoryTemplate kTestDevice[] = {{u"Test capture device", &CLSID_TestCaptureDevice, &CreateTestDevice, nullptr, nullptr}};

class DevicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        RegisterBuiltinClasses(kTestDevice, 1);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                   mapper.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   devEnum.ReleaseAndGetVoidAddressOf()),
                  S_OK);
    }
    void TearDown() override
    {
        mapper.Reset();
        devEnum.Reset();
        CoUninitialize();
    }

    HRESULT RegisterDevice(LPCWSTR name, LPCWSTR instance)
    {
        return mapper->RegisterFilter(CLSID_TestCaptureDevice, name, nullptr, &CLSID_VideoInputDeviceCategory,
                                      instance, nullptr);
    }

    // The friendly names of the category's instances.
    std::set<std::u16string> ListNames()
    {
        std::set<std::u16string> names;
        ComPtr<IEnumMoniker> e;
        if (devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &e, 0) != S_OK) return names;
        e->Reset();
        IMoniker* raw = nullptr;
        ULONG fetched = 0;
        while (e->Next(1, &raw, &fetched) == S_OK) {
            ComPtr<IMoniker> moniker;
            moniker.Attach(raw);
            ComPtr<IPropertyBag> bag;
            if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.ReleaseAndGetVoidAddressOf())))
                continue;
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(bag->Read(u"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) names.insert(v.bstrVal);
            VariantClear(&v);
        }
        return names;
    }

    ComPtr<IFilterMapper2> mapper;
    ComPtr<ICreateDevEnum> devEnum;
};

TEST_F(DevicesTest, EmptyCategoryAnswersFalseWithoutEnumerator)
{
    ComPtr<IEnumMoniker> e;
    EXPECT_EQ(devEnum->CreateClassEnumerator(CLSID_EmptyCategory, &e, 0), S_FALSE);
    EXPECT_FALSE(e);
    EXPECT_EQ(devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &e, 0), S_FALSE);
}

TEST_F(DevicesTest, RegisteredDevicesAreListedByFriendlyName)
{
    ASSERT_EQ(RegisterDevice(u"Kestor Recorder A", u"Board 1"), S_OK);
    ASSERT_EQ(RegisterDevice(u"Kestor Studio C ", u"Board 2"), S_OK);
    EXPECT_EQ(ListNames(), (std::set<std::u16string>{u"Kestor Recorder A", u"Kestor Studio C "}));

    ASSERT_EQ(mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, u"Board 1", CLSID_TestCaptureDevice), S_OK);
    EXPECT_EQ(ListNames(), (std::set<std::u16string>{u"Kestor Studio C "}));
    EXPECT_EQ(mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, u"Board 1", CLSID_TestCaptureDevice),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST_F(DevicesTest, BindingGivesAFreshFilterEachTime)
{
    ComPtr<IMoniker> moniker;
    ASSERT_EQ(mapper->RegisterFilter(CLSID_TestCaptureDevice, u"Kestor Recorder A", &moniker,
                                     &CLSID_VideoInputDeviceCategory, u"Board", nullptr),
              S_OK);
    ASSERT_TRUE(moniker);
    ComPtr<IBaseFilter> first, second;
    ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, first.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, second.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(IsSameObject(first.Get(), second.Get()));

    LPWSTR display = nullptr;
    ASSERT_EQ(moniker->GetDisplayName(nullptr, nullptr, &display), S_OK);
    EXPECT_NE(std::u16string(display).find(u"Board"), std::u16string::npos);
    CoTaskMemFree(display);

    // Once the instance is gone, binding fails instead of creating anything.
    ASSERT_EQ(mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, u"Board", CLSID_TestCaptureDevice), S_OK);
    EXPECT_TRUE(FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, first.ReleaseAndGetVoidAddressOf())));
    EXPECT_FALSE(first);
}

TEST_F(DevicesTest, PropertyBagReadsAndWritesStringsAndNumbers)
{
    ComPtr<IMoniker> moniker;
    const REGFILTERPINS pin{u"In", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 0, nullptr};
    const REGFILTER2 data{1, MERIT_NORMAL, 1, &pin};
    ASSERT_EQ(mapper->RegisterFilter(CLSID_TestCaptureDevice, u"Named", &moniker, nullptr, nullptr, &data), S_OK);
    ComPtr<IPropertyBag> bag;
    ASSERT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.ReleaseAndGetVoidAddressOf()), S_OK);

    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(bag->Read(u"FilterData", &v, nullptr), S_OK);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(v.bstrVal).rfind(u"merit=0x00600000;pin=In,in", 0), 0u);
    VariantClear(&v);

    v.vt = VT_I4;
    v.lVal = -5;
    ASSERT_EQ(bag->Write(u"Level", &v), S_OK);
    VariantInit(&v);
    ASSERT_EQ(bag->Read(u"Level", &v, nullptr), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -5);

    EXPECT_TRUE(FAILED(bag->Read(u"Missing", &v, nullptr)));
    mapper->UnregisterFilter(nullptr, nullptr, CLSID_TestCaptureDevice);
}

}  // namespace
}  // namespace quvo::test
