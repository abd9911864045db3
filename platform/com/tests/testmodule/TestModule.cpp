// A minimal in-process server for the runtime's tests: three classes over the
// base library's class factory, registered by the standard entry points.
#include <atomic>

#include "platform/com/ClassFactory.h"
#include "platform/com/tests/testmodule/TestValue.h"
#include "platform/registry/Registry.h"

namespace {

std::atomic<LONG> g_loadInits{0};

class TestValue final : public ITestValue, public CUnknown {
public:
    explicit TestValue(IUnknown* outer) : CUnknown("Test value", outer), value_(g_loadInits.load()) {}

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_ITestValue) return GetInterface(static_cast<ITestValue*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT GetValue(LONG* value) override
    {
        if (!value) return E_POINTER;
        *value = value_.load();
        return S_OK;
    }
    HRESULT SetValue(LONG value) override
    {
        value_.store(value);
        return S_OK;
    }

private:
    std::atomic<LONG> value_;
};

CUnknown* CreateTestValue(IUnknown* outer, HRESULT* hr)
{
    *hr = S_OK;
    return new TestValue(outer);
}

CUnknown* CreateFailing(IUnknown* outer, HRESULT* hr)
{
    *hr = E_ACCESSDENIED;
    return new TestValue(outer);
}

CUnknown* CreateNothing(IUnknown*, HRESULT*) { return nullptr; }

void InitModule(BOOL loading, const CLSID*)
{
    if (loading) g_loadInits.fetch_add(1);
}

// Stands for the filter mapper: notes each filter under HKCR "QuvoTestFilters".
// Written with the registry calls the platform exports to modules.
HRESULT RegisterTestFilter(const CFactoryTemplate& entry, bool registerFilter)
{
    const std::string name = GuidToString(*entry.clsid);
    const std::string filterPath = "QuvoTestFilters\\" + name;
    HKEY key = nullptr;
    LONG rc;
    if (registerFilter) {
        rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, filterPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr);
        if (rc == ERROR_SUCCESS) {
            RegCloseKey(key);
            // The class keys must exist already.
            rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + name).c_str(), 0, KEY_READ, &key);
            if (rc == ERROR_SUCCESS) RegCloseKey(key);
        }
    } else {
        rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, filterPath.c_str());
    }
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<std::uint32_t>(rc));
}

const char kFilterSetup[] = "test filter";

const CFactoryTemplate kTemplates[] = {
    {u"Quvo Test Value", &CLSID_TestValue, &CreateTestValue, &InitModule, kFilterSetup},
    {u"Quvo Test Failing", &CLSID_TestFailing, &CreateFailing, nullptr, nullptr},
    {u"Quvo Test Nothing", &CLSID_TestNothing, &CreateNothing, nullptr, nullptr},
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)
QUVO_MODULE_FILTER_REGISTRATION(kTemplates, &RegisterTestFilter)
