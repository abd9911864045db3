// A new user of an installed system gets the modules registered at the first
// CoInitialize, so no setup step is needed. The modules are found beside the
// platform library that is running (not through the build tree), and only the
// per-user registry is written: the install prefix stays read-only at run time.
#include "platform/com/InstalledModules.h"

#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/Unknown.h"
#include "platform/registry/Registry.h"

#ifndef QUVO_VERSION_STRING
#define QUVO_VERSION_STRING "0"
#endif

namespace {

constexpr const char* kStampKey = "Software\\Quvo\\InstalledModules";
constexpr const char* kStampValue = "Stamp";

// The folder of the library holding this function.
std::string PlatformFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&quvo::com::RegisterInstalledModulesOnce), &info) == 0 ||
        !info.dli_fname)
        return {};
    std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::vector<std::string> ModulesIn(const std::string& folder)
{
    std::vector<std::string> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0) found.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

std::string ReadStamp()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStampKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char buffer[4096] = {};
    DWORD type = 0, size = sizeof buffer - 1;
    const LSTATUS status =
        RegQueryValueExA(key, kStampValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : std::string();
}

void WriteStamp(const std::string& stamp)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kStampKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kStampValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(stamp.c_str()),
                   static_cast<DWORD>(stamp.size() + 1));
    RegCloseKey(key);
}

// Registers each module as regsvr would; true when all succeeded.
bool RegisterAll(const std::vector<std::string>& modules)
{
    bool all = true;
    for (const std::string& module : modules) {
        void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            all = false;
            continue;
        }
        auto call = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle, "DllRegisterServer"));
        if (!call || FAILED(call())) all = false;
        ::dlclose(handle);
    }
    return all;
}

std::mutex g_registrationLock;  // guards g_registrationDone; held while registering
bool g_registrationDone = false;
// A module's registration may initialize the runtime again on this thread.
thread_local bool t_registering = false;

}  // namespace

namespace quvo::com {

void RegisterInstalledModulesOnce()
{
    if (t_registering) return;
    try {
        std::lock_guard lock(g_registrationLock);
        if (g_registrationDone) return;
        g_registrationDone = true;
        const std::string folder = PlatformFolder();
        if (folder.empty()) return;
        const std::vector<std::string> modules = ModulesIn(folder + "/quvosdk");
        if (modules.empty()) return;
        const std::string stamp = std::string(QUVO_VERSION_STRING) + " " + folder + "/quvosdk";
        if (ReadStamp() == stamp) return;
        t_registering = true;
        const bool all = RegisterAll(modules);
        t_registering = false;
        // A partial failure leaves the stamp old, so the next process tries again.
        if (all) WriteStamp(stamp);
    } catch (...) {
        t_registering = false;
    }
}

}  // namespace quvo::com
