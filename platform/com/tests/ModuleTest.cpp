// Classes served by a module: the test module is registered by regsvr into this
// test's registry and created by class identifier through the registry, plain
// and aggregated; the class factory's rules; the module stays loaded while an
// object lives and CoFreeUnusedLibraries unloads it after; classes that are not
// registered or whose module is missing or broken fail with their own codes.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/com/tests/RunRegsvr.h"
#include "platform/com/tests/testmodule/TestValue.h"
#include "platform/registry/RegKey.h"

using quvo::registry::Key;

namespace {

const std::string kClassKey = "CLSID\\" + GuidToString(CLSID_TestValue);

// An aggregating object: hands out the inner object's ITestValue as its own.
class Outer final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == IID_ITestValue && inner) return inner->QueryInterface(riid, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override
    {
        ULONG left = --refs;
        if (left == 0) {
            if (inner) inner->Release();
            delete this;
        }
        return left;
    }

    std::atomic<ULONG> refs{1};
    IUnknown* inner = nullptr;  // the inner object's non-delegating unknown

private:
    ~Outer() = default;
};

// Asks the module, loaded or not, whether it could be unloaded; -1 when it is not loaded.
HRESULT ModuleCanUnloadNow()
{
    void* handle = ::dlopen(QUVO_TEST_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return -1;
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    HRESULT hr = canUnload ? canUnload() : E_FAIL;
    ::dlclose(handle);
    return hr;
}

bool ModuleLoaded()
{
    void* handle = ::dlopen(QUVO_TEST_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle) ::dlclose(handle);
    return handle != nullptr;
}

class ModuleClasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        RegsvrResult r = RunRegsvr(std::string("-s ") + QUVO_TEST_MODULE_PATH);
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "");
    }
    void TearDown() override
    {
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    // Points `clsid` at `modulePath` by hand.
    static void RegisterByHand(REFCLSID clsid, const std::string& modulePath)
    {
        Key server;
        ASSERT_EQ(Key::Create(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\InprocServer32", &server),
                  ERROR_SUCCESS);
        ASSERT_EQ(server.SetString("", modulePath), ERROR_SUCCESS);
    }
};

}  // namespace

TEST_F(ModuleClasses, RegsvrWritesTheClassKeysAndTheClassIsCreatedFromThem)
{
    Key classKey, server;
    std::string name, path, model;
    ASSERT_EQ(Key::Open(HKEY_CLASSES_ROOT, kClassKey, &classKey), ERROR_SUCCESS);
    EXPECT_EQ(classKey.GetString("", &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Quvo Test Value");
    ASSERT_EQ(Key::Open(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", &server), ERROR_SUCCESS);
    EXPECT_EQ(server.GetString("", &path), ERROR_SUCCESS);
    EXPECT_EQ(path, RealPath(QUVO_TEST_MODULE_PATH));
    EXPECT_EQ(server.GetString("ThreadingModel", &model), ERROR_SUCCESS);
    EXPECT_EQ(model, "Both");

    ComPtr<ITestValue> a, b;
    ASSERT_EQ(CoCreateInstance(CLSID_TestValue, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               a.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_TestValue, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               b.ReleaseAndGetVoidAddressOf()),
              S_OK);
    LONG va = 0, vb = 0;
    // The module's init function ran once, at its one load.
    ASSERT_EQ(a->GetValue(&va), S_OK);
    ASSERT_EQ(b->GetValue(&vb), S_OK);
    EXPECT_EQ(va, 1);
    EXPECT_EQ(vb, 1);
    a->SetValue(5);
    EXPECT_EQ(b->GetValue(&vb), S_OK);
    EXPECT_EQ(vb, 1);
    EXPECT_FALSE(IsSameObject(a.Get(), b.Get()));
}

TEST_F(ModuleClasses, AggregationGoesThroughTheNonDelegatingUnknown)
{
    auto* outer = new Outer();
    ASSERT_EQ(CoCreateInstance(CLSID_TestValue, outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer->inner)),
              S_OK);
    ASSERT_NE(outer->inner, nullptr);
    EXPECT_NE(static_cast<void*>(outer->inner), static_cast<void*>(outer));
    EXPECT_EQ(outer->refs.load(), 1u);  // the inner object holds no reference on its owner

    ComPtr<ITestValue> value;
    ASSERT_EQ(outer->QueryInterface(IID_ITestValue, value.ReleaseAndGetVoidAddressOf()), S_OK);
    // References taken through the inner object's interfaces count on the outer one.
    EXPECT_EQ(outer->refs.load(), 2u);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(value->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(outer));
    identity.Reset();
    value->SetValue(9);
    LONG v = 0;
    EXPECT_EQ(value->GetValue(&v), S_OK);
    EXPECT_EQ(v, 9);

    // Aggregated, the object can only be created as IUnknown.
    void* p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TestValue, outer, CLSCTX_INPROC_SERVER, IID_ITestValue, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    value.Reset();
    EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);
    outer->Release();  // releases the inner object too
    EXPECT_EQ(ModuleCanUnloadNow(), S_OK);
}

TEST_F(ModuleClasses, ClassFactoryRules)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_TestValue, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITestValue, nullptr), E_POINTER);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);  // the factory itself counts

    // A class factory is asked only for IClassFactory or IUnknown.
    EXPECT_EQ(CoGetClassObject(CLSID_TestValue, CLSCTX_INPROC_SERVER, nullptr, IID_ITestValue, &p), E_NOINTERFACE);

    // A creation function's failure code comes back, with its object destroyed.
    EXPECT_EQ(CoCreateInstance(CLSID_TestFailing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue, &p), E_ACCESSDENIED);
    EXPECT_EQ(CoCreateInstance(CLSID_TestNothing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue, &p), E_OUTOFMEMORY);
    EXPECT_EQ(p, nullptr);

    // LockServer keeps the module; the unlock lets it go.
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);
    CoFreeUnusedLibraries();
    ASSERT_TRUE(ModuleLoaded());
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(CoGetClassObject(CLSID_TestValue, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown,
                               unknown.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(unknown->QueryInterface(IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()), S_OK);
    unknown.Reset();
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(ModuleCanUnloadNow(), S_OK);
}

TEST_F(ModuleClasses, UnloadedOnlyAfterTheLastObjectIsReleased)
{
    CoFreeUnusedLibraries();
    ComPtr<ITestValue> value;
    ASSERT_EQ(CoCreateInstance(CLSID_TestValue, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               value.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);
    CoFreeUnusedLibraries();
    ASSERT_TRUE(ModuleLoaded());
    value->SetValue(3);  // still callable: the code is still mapped

    value.Reset();
    EXPECT_EQ(ModuleCanUnloadNow(), S_OK);
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ModuleLoaded());

    // Loaded again on demand, with a fresh init.
    ASSERT_EQ(CoCreateInstance(CLSID_TestValue, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               value.ReleaseAndGetVoidAddressOf()),
              S_OK);
    LONG v = 0;
    EXPECT_EQ(value->GetValue(&v), S_OK);
    EXPECT_EQ(v, 1);
}

TEST_F(ModuleClasses, UnregisteredMissingAndBrokenServers)
{
    constexpr CLSID kNowhere = {0xDEAD0001, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    constexpr CLSID kMissingFile = {0xDEAD0002, 0, 0, {0, 0, 0, 0, 0, 0, 0, 2}};
    constexpr CLSID kNoEntry = {0xDEAD0003, 0, 0, {0, 0, 0, 0, 0, 0, 0, 3}};
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kNowhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(p, nullptr);

    RegisterByHand(kMissingFile, "/nonexistent/quvo_missing.so");
    EXPECT_EQ(CoCreateInstance(kMissingFile, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p), CO_E_DLLNOTFOUND);
    EXPECT_NE(CoLastModuleErrorText().find("quvo_missing.so"), std::string::npos) << CoLastModuleErrorText();

    RegisterByHand(kNoEntry, RealPath(QUVO_NOENTRY_MODULE_PATH));
    EXPECT_EQ(CoCreateInstance(kNoEntry, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p), CO_E_ERRORINDLL);
    EXPECT_NE(CoLastModuleErrorText().find("DllGetClassObject"), std::string::npos) << CoLastModuleErrorText();

    // A class the module does not serve, though the registry sends us there.
    RegisterByHand(kNowhere, RealPath(QUVO_TEST_MODULE_PATH));
    EXPECT_EQ(CoCreateInstance(kNowhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p), CLASS_E_CLASSNOTAVAILABLE);
}
