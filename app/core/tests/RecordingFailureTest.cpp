// Naming the cause of a recording that broke off: a folder that has gone, and a
// process whose file-size limit the capture file reached (in a child process, so
// the limit stays there).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "core/RecordingFailure.h"

namespace encoderdesk {
namespace {

TEST(RecordingFailureTest, MissingFolderFileSizeLimitAndHealthyFolder)
{
    const auto dir = std::filesystem::temp_directory_path() / "failure";
    std::filesystem::create_directories(dir);
    EXPECT_EQ(DiagnoseRecordingFailure((dir / "gone").string(), (dir / "gone/a.mpg").string()),
              FailureCause::FolderMissing);
    EXPECT_EQ(DiagnoseRecordingFailure(dir.string(), (dir / "a.mpg").string()), FailureCause::Unknown);

    {
        std::ofstream fragment(dir / "a_001.mpg", std::ios::binary);
        fragment << std::string(3 * 1024 * 1024, 'x');
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4 * 1024 * 1024, 4 * 1024 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(DiagnoseRecordingFailure(dir.string(), (dir / "a.mpg").string()) == FailureCause::FileSizeLimit ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_NE(RecordingFailureText(FailureCause::DiskFull, "/v").find("закончилось свободное место"), std::string::npos);
    EXPECT_NE(NotEnoughSpaceText(10 * 1048576, 64 * 1048576).find("свободно 10 Мб, нужно не меньше 64 Мб"),
              std::string::npos);
}

}  // namespace
}  // namespace encoderdesk
