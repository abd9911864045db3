// A minimal in-process server for the runtime's tests: three classes over the
// base library's class factory, registered by the standard entry points.
#include <atomic>

#include "platform/com/ClassFactory.h"
#include "platform/com/tests/testmodule/TestValue.h"
#include "platform/registry/RegKey.h"

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
HRESULT RegisterTestFilter(const CFactoryTemplate& entry, bool registerFilter)
{
    using quvo::registry::Key;
    const std::string name = GuidToString(*entry.clsid);
    Key filters;
    LONG rc;
    if (registerFilter) {
        rc = Key::Create(HKEY_CLASSES_ROOT, "QuvoTestFilters", &filters);
        if (rc == ERROR_SUCCESS) {
            Key filter;
            rc = Key::Create(filters.get(), name, &filter);
            // The class keys must exist already.
            Key classKey;
            if (rc == ERROR_SUCCESS) rc = Key::Open(HKEY_CLASSES_ROOT, "CLSID\\" + name, &classKey);
        }
    } else {
        rc = Key::Open(HKEY_CLASSES_ROOT, "QuvoTestFilters", &filters);
        if (rc == ERROR_SUCCESS) rc = filters.DeleteTree(name);
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
