// Runs the regsvr tool in a child process (inheriting QUVO_REGISTRY_DIR) and
// collects its exit status and output.
#pragma once

#include <sys/wait.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

struct RegsvrResult {
    int status = -1;
    std::string output;  // stdout and stderr together
};

inline RegsvrResult RunRegsvr(const std::string& args)
{
    RegsvrResult result;
    const std::string command = std::string("'") + QUVO_REGSVR_PATH + "' " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.output.append(buf, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string RealPath(const char* path)
{
    char full[PATH_MAX];
    return ::realpath(path, full) ? std::string(full) : std::string();
}
