#include "platform/win32/SystemCheck.h"

#include <dlfcn.h>
#include <sys/utsname.h>

#include <cctype>
#include <cstdlib>

namespace quvo::win32 {

bool ParseKernelRelease(const char* release, int* major, int* minor)
{
    if (!release || !std::isdigit(static_cast<unsigned char>(release[0]))) return false;
    char* end = nullptr;
    long ma = std::strtol(release, &end, 10);
    if (*end != '.' || !std::isdigit(static_cast<unsigned char>(end[1]))) return false;
    long mi = std::strtol(end + 1, &end, 10);
    if (ma > 100000 || mi > 100000) return false;
    *major = static_cast<int>(ma);
    *minor = static_cast<int>(mi);
    return true;
}

bool KernelReleaseAtLeast(int major, int minor)
{
    utsname name{};
    if (uname(&name) != 0) return false;
    int ma = 0, mi = 0;
    if (!ParseKernelRelease(name.release, &ma, &mi)) return false;
    return ma > major || (ma == major && mi >= minor);
}

bool CanLoadVideoOutputLibrary()
{
    void* library = dlopen(kVideoOutputLibrary, RTLD_LAZY | RTLD_LOCAL);
    if (!library) return false;
    dlclose(library);
    return true;
}

}  // namespace quvo::win32
