// The TvrFileWriter module as its users meet it: registered by regsvr into this
// test's own registry, created by class identifier, counted by DllCanUnloadNow while
// its objects and locks live, unregistered again; and exporting exactly the four
// entry points.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "interfaces/WriterControl.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/registry/Registry.h"

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string ModulePath() { return Env("QUVO_MODULE_DIR") + "/TvrFileWriter.so"; }

int Regsvr(const std::string& flags)
{
    std::string command = Env("QUVO_BUILD_DIR") + "/tools/regsvr -s " + flags + " " + ModulePath();
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadString(const std::string& key, const char* value)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "<no key>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer, type = 0;
    LSTATUS status = RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

const std::string kClassKey = "CLSID\\{277DEC5B-063E-4432-AC82-8823A6C85EF3}";

TEST(FileWriterModule, RegistersAndIsCreatedByClassIdentifier)
{
    ASSERT_FALSE(Env("QUVO_REGISTRY_DIR").empty());
    ASSERT_EQ(Regsvr(""), 0);
    EXPECT_EQ(ReadString(kClassKey, ""), "Tavrin MPEG File Writer");
    EXPECT_EQ(ReadString(kClassKey + "\\InprocServer32", ""), ModulePath());
    EXPECT_EQ(ReadString(kClassKey + "\\InprocServer32", "ThreadingModel"), "Both");
    // The filter mapper's entry in the framework's filters category.
    const std::string instance =
        "CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{277DEC5B-063E-4432-AC82-8823A6C85EF3}";
    EXPECT_EQ(ReadString(instance, "FriendlyName"), "Tavrin MPEG File Writer");
    EXPECT_NE(ReadString(instance, "FilterData").find("0x00200000"), std::string::npos);

    {
        ComScope com;
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(CLSID_TavrinFileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   filter.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        CLSID clsid{};
        EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_TavrinFileWriter);
        ComPtr<WriterControl> control;
        ASSERT_EQ(filter->QueryInterface(IID_WriterControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
        EXPECT_EQ(control->GetBytesStreamed(), 0u);
    }

    ASSERT_EQ(Regsvr("-u"), 0);
    EXPECT_EQ(ReadString(kClassKey, ""), "<no key>");
    ComScope com;
    ComPtr<IBaseFilter> none;
    EXPECT_EQ(CoCreateInstance(CLSID_TavrinFileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               none.ReleaseAndGetVoidAddressOf()),
              REGDB_E_CLASSNOTREG);
}

// The module loaded by hand, as the runtime loads it.
class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle_ = dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        getClassObject_ = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle_, "DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle_, "DllCanUnloadNow"));
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
    }
    void TearDown() override
    {
        if (handle_) dlclose(handle_);
    }

    void* handle_ = nullptr;
    DllGetClassObjectFn getClassObject_ = nullptr;
    DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(LoadedModule, ClassObjectAnswersOnlyItsClassAndFactoryInterfaces)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IBaseFilter, factory.ReleaseAndGetVoidAddressOf()),
              E_NOINTERFACE);
    EXPECT_EQ(getClassObject_(IID_WriterControl, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()),
              CLASS_E_CLASSNOTAVAILABLE);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IUnknown, unknown.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()),
              S_OK);

    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, nullptr), E_POINTER);
    // Aggregation hands out only the inner unknown.
    EXPECT_EQ(factory->CreateInstance(unknown.Get(), IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf()),
              E_NOINTERFACE);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IFileSinkFilter> sink;
    EXPECT_EQ(filter->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf()), S_OK);
}

TEST_F(LoadedModule, CanUnloadOnlyWhenNoObjectOrLockIsLeft)
{
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ComPtr<WriterControl> control;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_WriterControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
        factory.Reset();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);  // the writer lives
        ComPtr<IMediaSeeking> seeking;
        ASSERT_EQ(control->QueryInterface(IID_IMediaSeeking, seeking.ReleaseAndGetVoidAddressOf()), S_OK);
        control.Reset();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);  // still alive through the pass-through
    }
    EXPECT_EQ(canUnloadNow_(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    IClassFactory* locked = factory.Detach();
    locked->Release();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);  // the lock alone keeps it
    ASSERT_EQ(getClassObject_(CLSID_TavrinFileWriter, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST(FileWriterModule, ExportsExactlyTheFourEntryPoints)
{
    std::string command = "nm -D --defined-only " + ModulePath();
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) names.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                            "DllUnregisterServer"}));
}

}  // namespace
