// A host that loads the library, opens the virtual board and unloads the library
// without QuvoUninitialize: the unload shuts the device down as QuvoUninitialize
// would, releasing the board's filter and ending the component library's start.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/com/Runtime.h"
#include <quvo/QuvoSDK.h>

namespace {

template <class Fn>
Fn Symbol(void* lib, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(lib, name));
}

TEST(LibraryUnload, ReleasesAnOpenDevice)
{
    const std::string regsvr = std::string(std::getenv("QUVO_BUILD_DIR")) + "/tools/regsvr";
    const std::string module = std::string(std::getenv("QUVO_MODULE_DIR")) + "/KestorBoard.so";
    const int rc = std::system(("'" + regsvr + "' -s '" + module + "'").c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0);

    void* lib = dlopen(QUVO_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto setTarget = Symbol<QUVO_RESULT (*)(uint32_t)>(lib, "QuvoSetDebugTarget");
    auto initialize = Symbol<QUVO_RESULT (*)(uint32_t*)>(lib, "QuvoInitialize");
    auto capabilities = Symbol<QUVO_RESULT (*)(uint32_t*)>(lib, "QuvoGetDeviceCapabilities");
    ASSERT_TRUE(setTarget && initialize && capabilities);
    ASSERT_EQ(setTarget(1), QUVO_SUCCESS);
    uint32_t status = 0, mask = 0;
    ASSERT_EQ(initialize(&status), QUVO_SUCCESS) << std::hex << status;
    ASSERT_EQ(capabilities(&mask), QUVO_SUCCESS);
    ASSERT_EQ(dlclose(lib), 0);

    // The start the library made on this thread was undone.
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
    // The one log file in the current directory ends with the shut-down.
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().filename().string().rfind("TvrSDK_", 0) != 0) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        log.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string last = "...Device Uninitialized...\r\n";
    ASSERT_GE(log.size(), last.size()) << log;
    EXPECT_EQ(log.substr(log.size() - last.size()), last) << log;
    EXPECT_NE(log.find("***Device Kestor Recorder A Found***"), std::string::npos) << log;
}

}  // namespace
