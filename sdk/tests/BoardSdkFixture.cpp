#include "sdk/tests/BoardSdkFixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/boardctl/BoardCtl.h"

namespace quvo::sdk::test {

bool RegisterModule(const std::string& name, bool unregister)
{
    const char* build = std::getenv("QUVO_BUILD_DIR");
    const char* modules = std::getenv("QUVO_MODULE_DIR");
    if (!build || !modules) return false;
    const std::string command =
        "'" + std::string(build) + "/tools/regsvr' -s " + (unregister ? "-u '" : "'") + modules + "/" + name + ".so'";
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Board(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int rc = board::RunBoardCtl(args, out, err);
    EXPECT_EQ(rc, 0) << err.str();
    return rc == 0;
}

std::string ReadLog()
{
    std::ifstream in(TheLog().FileName(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t Count(const std::string& s, const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + text.size())) ++n;
    return n;
}

void BoardSdkTest::SetUpTestSuite()
{
    ASSERT_TRUE(RegisterModule("KestorBoard"));
}

void BoardSdkTest::SetUp()
{
    ASSERT_TRUE(Board({"fault", "clear"}));
    ASSERT_TRUE(Board({"signal", "on"}));
    ASSERT_TRUE(Board({"lines", "0"}));
    ASSERT_TRUE(Board({"devices", "--default"}));
    ASSERT_TRUE(Board({"serial", "KA26B0417"}));
    QuvoSetDebugLevel(5);
    QuvoSetDebugTarget(1);  // a fresh file (of this minute) per test
}

void BoardSdkTest::TearDown()
{
    QuvoUninitialize();
    QuvoSetDebugTarget(0);
}

uint32_t BoardSdkTest::InitializeOk()
{
    uint32_t status = 0xFFFFFFFF;
    EXPECT_EQ(QuvoInitialize(&status), QUVO_SUCCESS) << "status 0x" << std::hex << status << "\n" << ReadLog();
    return status;
}

uint32_t BoardSdkTest::Reopen()
{
    QuvoUninitialize();
    return InitializeOk();
}

}  // namespace quvo::sdk::test
