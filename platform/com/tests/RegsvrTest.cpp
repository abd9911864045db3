// regsvr: -u removes what registration wrote; every failure gives one line
// "regsvr: <module>: <what failed> (0x%08X)" on stderr and its own exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/com/Runtime.h"
#include "platform/com/tests/RunRegsvr.h"
#include "platform/com/tests/testmodule/TestValue.h"
#include "platform/registry/RegKey.h"

using quvo::registry::Key;

namespace {
const std::string kClassKey = "CLSID\\" + GuidToString(CLSID_TestValue);

bool ClassKeyExists()
{
    Key k;
    return Key::Open(HKEY_CLASSES_ROOT, kClassKey, &k) == ERROR_SUCCESS;
}
}  // namespace

TEST(Regsvr, RegistersLoudlyAndUnregistersEverything)
{
    RegsvrResult r = RunRegsvr(QUVO_TEST_MODULE_PATH);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, std::string("regsvr: ") + QUVO_TEST_MODULE_PATH + ": DllRegisterServer succeeded\n");
    EXPECT_TRUE(ClassKeyExists());
    // The filter hook ran for the one entry with setup data, after the class keys.
    Key filters;
    std::vector<std::string> names;
    ASSERT_EQ(Key::Open(HKEY_CLASSES_ROOT, "QuvoTestFilters", &filters), ERROR_SUCCESS);
    ASSERT_EQ(filters.SubkeyNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names, std::vector<std::string>{GuidToString(CLSID_TestValue)});

    r = RunRegsvr(std::string("-u -s ") + QUVO_TEST_MODULE_PATH);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_FALSE(ClassKeyExists());
    for (const CLSID* c : {&CLSID_TestValue, &CLSID_TestFailing, &CLSID_TestNothing}) {
        Key k;
        EXPECT_EQ(Key::Open(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(*c), &k), ERROR_FILE_NOT_FOUND);
    }
    Key clsid;
    EXPECT_EQ(Key::Open(HKEY_CLASSES_ROOT, "CLSID", &clsid), ERROR_SUCCESS);  // the parent stays
    ASSERT_EQ(filters.SubkeyNames(&names), ERROR_SUCCESS);
    EXPECT_TRUE(names.empty());

    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    void* p = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TestValue, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
    CoUninitialize();

    // Unregistering what is not registered is no failure ("file not found" from
    // the filter hook included).
    EXPECT_EQ(RunRegsvr(std::string("-u -s ") + QUVO_TEST_MODULE_PATH).status, 0);
}

TEST(Regsvr, ReportsEachFailureOnOneLine)
{
    RegsvrResult r = RunRegsvr("/nonexistent/quvo_missing.so");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.output, "regsvr: /nonexistent/quvo_missing.so: cannot load: No such file or directory (0x8007007E)\n");

    r = RunRegsvr(QUVO_NOENTRY_MODULE_PATH);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.output,
              std::string("regsvr: ") + QUVO_NOENTRY_MODULE_PATH + ": no DllRegisterServer entry point (0x8007007F)\n");
    r = RunRegsvr(std::string("-u ") + QUVO_NOENTRY_MODULE_PATH);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.output.find("no DllUnregisterServer entry point (0x8007007F)"), std::string::npos) << r.output;

    // Not a shared object at all.
    const std::string text = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/not-a-module.so";
    { std::ofstream(text) << "plain text\n"; }
    r = RunRegsvr(text);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.output.rfind("regsvr: " + text + ": cannot load: ", 0), 0u) << r.output;
    EXPECT_NE(r.output.find("(0x8007007E)\n"), std::string::npos) << r.output;

    r = RunRegsvr("");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "usage: regsvr [-u] [-s] module.so\n");
}

TEST(Regsvr, RegistryFailureComesBackAsItsWin32Code)
{
    // A damaged classes hive: registration must fail and leave it alone.
    const std::string dir = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/damaged-registry";
    std::filesystem::create_directories(dir);
    const std::string hive = dir + "/classes_root.reg";
    { std::ofstream(hive) << "QUVO-REGISTRY 1\nkey \"CLSID\"\n"; }
    const char* saved = std::getenv("QUVO_REGISTRY_DIR");
    const std::string savedDir = saved ? saved : "";
    ::setenv("QUVO_REGISTRY_DIR", dir.c_str(), 1);
    RegsvrResult r = RunRegsvr(QUVO_TEST_MODULE_PATH);
    ::setenv("QUVO_REGISTRY_DIR", savedDir.c_str(), 1);

    EXPECT_EQ(r.status, 5);
    // HRESULT_FROM_WIN32(ERROR_BADDB); the registry says why on its own line first.
    EXPECT_NE(r.output.find(std::string("regsvr: ") + QUVO_TEST_MODULE_PATH +
                            ": DllRegisterServer failed (0x800703F1)\n"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("registry: " + hive), std::string::npos) << r.output;
    std::ifstream in(hive);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "QUVO-REGISTRY 1\nkey \"CLSID\"\n");
}
