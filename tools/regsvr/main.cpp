// regsvr [-u] [-s] module.so: registers (or with -u unregisters) an in-process
// server module by calling its DllRegisterServer (DllUnregisterServer).
// Exit status: 0 done, 1 bad arguments, 3 the module does not load, 4 it lacks
// the entry point, 5 the entry point failed.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com/Runtime.h"

namespace {

constexpr int kBadArguments = 1;
constexpr int kLoadFailed = 3;
constexpr int kNoEntryPoint = 4;
constexpr int kCallFailed = 5;

// Win32 loader codes, as the same failures are reported there.
constexpr DWORD kModuleNotFound = 126;     // ERROR_MOD_NOT_FOUND
constexpr DWORD kProcedureNotFound = 127;  // ERROR_PROC_NOT_FOUND

int Fail(const char* module, const std::string& what, HRESULT hr, int status)
{
    std::fprintf(stderr, "regsvr: %s: %s (0x%08X)\n", module, what.c_str(), static_cast<unsigned>(hr));
    return status;
}

// Balances CoInitialize: the module's registration may create objects.
struct RuntimeScope {
    RuntimeScope() { CoInitialize(nullptr); }
    ~RuntimeScope() { CoUninitialize(); }
};

}  // namespace

int main(int argc, char** argv)
{
    bool unregister = false, silent = false;
    int opt;
    while ((opt = ::getopt(argc, argv, "us")) != -1) {
        if (opt == 'u') unregister = true;
        else if (opt == 's') silent = true;
        else return kBadArguments;
    }
    if (optind != argc - 1) {
        std::fprintf(stderr, "usage: regsvr [-u] [-s] module.so\n");
        return kBadArguments;
    }
    const char* module = argv[optind];

    // The module registers the path it was loaded from, so load it by its full path.
    char full[PATH_MAX];
    if (!::realpath(module, full))
        return Fail(module, std::string("cannot load: ") + std::strerror(errno),
                    HRESULT_FROM_WIN32(kModuleNotFound), kLoadFailed);
    RuntimeScope runtime;
    void* handle = ::dlopen(full, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        return Fail(module, std::string("cannot load: ") + (why ? why : "unknown reason"),
                    HRESULT_FROM_WIN32(kModuleNotFound), kLoadFailed);
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto call = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle, entry));
    if (!call) {
        ::dlclose(handle);
        return Fail(module, std::string("no ") + entry + " entry point",
                    HRESULT_FROM_WIN32(kProcedureNotFound), kNoEntryPoint);
    }
    const HRESULT hr = call();
    ::dlclose(handle);
    if (FAILED(hr)) return Fail(module, std::string(entry) + " failed", hr, kCallFailed);
    if (!silent) std::printf("regsvr: %s: %s succeeded\n", module, entry);
    return 0;
}
