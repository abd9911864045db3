#include "DeskTestSupport.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace encoderdesk::test {
namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

}  // namespace

std::string Run(const std::string& command, int* status)
{
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

bool RegisterModules()
{
    const std::string modules = Env("QUVO_MODULE_DIR");
    const std::string regsvr = Env("QUVO_BUILD_DIR") + "/tools/regsvr";
    if (modules.empty()) return false;
    for (const char* name : {"KestorBoard", "TvrFileWriter", "MpegDecoders", "MakerFilters"}) {
        const std::string path = modules + "/" + name + ".so";
        if (!std::filesystem::exists(path)) {
            if (std::string(name) == "MakerFilters") continue;  // playback to the board only
            return false;
        }
        int status = 0;
        Run("'" + regsvr + "' -s '" + path + "'", &status);
        if (status != 0) return false;
    }
    return true;
}

int BoardCtl(const std::string& arguments)
{
    int status = 0;
    Run("'" + Env("QUVO_BUILD_DIR") + "/tools/boardctl/boardctl' " + arguments, &status);
    return status;
}

}  // namespace encoderdesk::test
