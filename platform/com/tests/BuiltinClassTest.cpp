// The built-in class table: a class registered by the platform is created
// without any registry entry, through CoCreateInstance or its class factory; the
// factory refuses aggregation for other interfaces than IUnknown, the runtime
// anything but in-process creation; objects created on one thread work on any other.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"

namespace {

constexpr IID IID_ICounter = {0xC0FFEE01, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
constexpr CLSID CLSID_BuiltinCounter = {0xC0FFEE02, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

struct ICounter : IUnknown {
    QUVO_INTERFACE_ID(IID_ICounter);
    virtual LONG Increment() = 0;
};

std::atomic<int> g_creations{0};
std::atomic<IUnknown*> g_lastOuter{nullptr};

class Counter final : public CUnknown, public ICounter {
public:
    Counter(IUnknown* outer, HRESULT*) : CUnknown("Builtin counter", outer) {}
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_ICounter) return GetInterface(static_cast<ICounter*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    LONG Increment() override { return ++count_; }

private:
    std::atomic<LONG> count_{0};
};

CUnknown* CreateCounter(IUnknown* outer, HRESULT* hr)
{
    ++g_creations;
    g_lastOuter = outer;
    if (outer) {
        *hr = CLASS_E_NOAGGREGATION;  // this test class is never an inner object
        return nullptr;
    }
    return CreateComObject<Counter>(outer, hr);
}

const CFactoryTemplate kTestClasses[] = {{u"Builtin Counter", &CLSID_BuiltinCounter, &CreateCounter, nullptr, nullptr}};
const bool g_registered = (RegisterBuiltinClasses(kTestClasses, 1), true);

class BuiltinClasses : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(BuiltinClasses, CreatedWithoutRegistryThroughBothRoads)
{
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_BuiltinCounter, nullptr, CLSCTX_INPROC_SERVER, uuidof<ICounter>(),
                               counter.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(counter->Increment(), 1);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_BuiltinCounter, CLSCTX_ALL, nullptr, IID_IClassFactory,
                               factory.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ComPtr<ICounter> second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ICounter, second.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(second->Increment(), 1);
    EXPECT_FALSE(counter == second);
}

TEST_F(BuiltinClasses, RefusesAggregationForOtherInterfacesAndOutOfProcessContexts)
{
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_BuiltinCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                               counter.ReleaseAndGetVoidAddressOf()),
              S_OK);
    const int before = g_creations.load();
    void* p = reinterpret_cast<void*>(1);
    // The answer of every class factory, built-in or module.
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinCounter, counter.Get(), CLSCTX_INPROC_SERVER, IID_ICounter, &p),
              E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(g_creations.load(), before);  // refused before the class was asked

    // With IID_IUnknown the class itself decides, and gets the outer unknown.
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinCounter, counter.Get(), CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(g_lastOuter.load(), counter.Get());

    constexpr DWORD kLocalServer = 0x4;
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinCounter, nullptr, kLocalServer, IID_ICounter, &p),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter, nullptr),
              E_POINTER);
}

TEST_F(BuiltinClasses, ObjectsWorkOnThreadsThatNeverInitialized)
{
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_BuiltinCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                               counter.ReleaseAndGetVoidAddressOf()),
              S_OK);
    constexpr int kThreads = 4, kCalls = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([counter] {
            for (int i = 0; i < kCalls; ++i) counter->Increment();
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(counter->Increment(), kThreads * kCalls + 1);
}
