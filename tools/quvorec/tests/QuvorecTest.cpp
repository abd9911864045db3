// quvorec as a user runs it: a clear refusal when no board is registered, then,
// with the modules registered, a size-limited capture and an on-the-fly recording
// with fragments that ffprobe reads with the preset's frame size; and a capture
// killed outright, which must leave every fragment playable and listed.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

struct Result {
    int status = -1;
    std::string output;
};

Result Shell(const std::string& command)
{
    Result r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

long long FileSize(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// "WIDTHxHEIGHT" of the file's video stream, as ffprobe reads it.
std::string FrameSize(const std::string& file)
{
    const std::string out =
        Shell("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of default=nw=1:nk=1 '" + file +
              "'")
            .output;
    const auto firstEnd = out.find('\n');
    if (firstEnd == std::string::npos) return out;
    const auto secondEnd = out.find('\n', firstEnd + 1);
    return out.substr(0, firstEnd) + "x" + out.substr(firstEnd + 1, secondEnd - firstEnd - 1);
}

const std::string kQuvorec = QUVOREC_PATH;

void RegisterModules()
{
    for (const char* module : {"KestorBoard", "MpegDecoders", "TvrFileWriter"}) {
        const Result r = Shell(Env("QUVO_BUILD_DIR") + "/tools/regsvr -s " + Env("QUVO_MODULE_DIR") + "/" + module + ".so");
        ASSERT_EQ(r.status, 0) << module << ": " << r.output;
    }
}

TEST(Quvorec, RefusesWithReasonsThenRecords)
{
    // Nothing registered yet: no board, and the reasons in words.
    Result r = Shell(kQuvorec + " --seconds 1 none.mpg");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("no encoder board found"), std::string::npos) << r.output;
    EXPECT_EQ(FileSize("none.mpg"), -1);

    EXPECT_EQ(Shell(kQuvorec + " --preset xyz out.mpg").status, 1);
    EXPECT_EQ(Shell(kQuvorec + " --seconds").status, 1);

    RegisterModules();
    const std::string dir = Env("TMPDIR");
    const std::string sized = dir + "/sized.mpg";
    r = Shell(kQuvorec + " --preset vcd --size 0.5 '" + sized + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("signal: yes"), std::string::npos) << r.output;
    EXPECT_GE(FileSize(sized), 500000);
    EXPECT_EQ(FrameSize(sized), "352x288");

    const std::string fly = dir + "/fly.mpg";
    r = Shell(kQuvorec + " --preset svcd --on-the-fly --seconds 3 --fragment 0.25 '" + fly + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("from the preview"), std::string::npos);
    EXPECT_GT(FileSize(fly), 0);
    EXPECT_GT(FileSize(dir + "/fly_1.mpg"), 0);
    EXPECT_GT(FileSize(dir + "/fly.mzl"), 6);
    EXPECT_EQ(FrameSize(fly), "480x576");
}

TEST(Quvorec, KilledMidCaptureLeavesEveryFragmentPlayableAndTheClosedOnesListed)
{
    RegisterModules();
    const std::string dir = Env("TMPDIR");
    const std::string file = dir + "/killed.mpg";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execl(kQuvorec.c_str(), "quvorec", "--preset", "dvd", "--seconds", "60", "--fragment", "1", file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // 6 Mbit/s: about four fragments of 1 MiB, the fifth one open.
    std::this_thread::sleep_for(std::chrono::seconds(7));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the capture ended before the kill";

    std::ifstream description(dir + "/killed.mzl", std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(description, line));
    EXPECT_EQ(line, "TVMP\r");
    int listed = 0;
    while (std::getline(description, line)) {
        const std::string name = listed == 0 ? "killed.mpg" : "killed_" + std::to_string(listed) + ".mpg";
        EXPECT_EQ(line, name + ";" + std::to_string(FileSize(dir + "/" + name)) + "\r");
        ++listed;
    }
    EXPECT_GE(listed, 3);
    // Every fragment the kill left, the open one included, decodes to where it ends.
    for (int i = 0; i <= listed; ++i) {
        const std::string name = dir + "/" + (i == 0 ? "killed.mpg" : "killed_" + std::to_string(i) + ".mpg");
        if (i == listed && FileSize(name) <= 0) break;  // killed just after a close
        const Result r = Shell("ffmpeg -nostdin -v error -i '" + name + "' -f null -");
        EXPECT_EQ(r.status, 0) << name << ": " << r.output;
        EXPECT_EQ(r.output, "") << name;
    }
    EXPECT_EQ(FileSize(dir + "/killed_" + std::to_string(listed + 1) + ".mpg"), -1);
}

}  // namespace
