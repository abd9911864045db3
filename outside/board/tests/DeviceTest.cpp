// The board's entries in the video input category and boardctl, which rewrites
// them and the run-time values.
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "outside/board/tests/BoardFixture.h"
#include "tools/boardctl/BoardCtl.h"

namespace quvo::board::test {
namespace {

class BoardDevices : public BoardTest {
protected:
    void TearDown() override
    {
        // Back to the default device for the other tests of this process.
        std::ostringstream out, err;
        RunBoardCtl({"devices", "--default"}, out, err);
        BoardTest::TearDown();
    }
    int Ctl(std::vector<std::string> args)
    {
        std::ostringstream out, err;
        const int rc = RunBoardCtl(args, out, err);
        lastErr_ = err.str();
        return rc;
    }
    std::string lastErr_;
};

TEST_F(BoardDevices, DefaultDeviceBindsToAFreshFilterEachTime)
{
    EXPECT_EQ(VideoInputDevices(), std::vector<std::string>{"Kestor Recorder A"});
    ComPtr<IBaseFilter> a = BindDevice(), b = BindDevice();
    ASSERT_TRUE(a && b);
    EXPECT_FALSE(IsSameObject(a.Get(), b.Get()));
    CLSID clsid{};
    ASSERT_EQ(a->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_KestorCaptureFilter);
}

TEST_F(BoardDevices, BoardctlRewritesTheCategoryInstances)
{
    ASSERT_EQ(Ctl({"devices", "Kestor Studio C", "Kestor Recorder B "}), 0) << lastErr_;
    auto names = VideoInputDevices();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Kestor Recorder B ", "Kestor Studio C"}));
    EXPECT_TRUE(BindDevice("Kestor Recorder B "));

    ASSERT_EQ(Ctl({"devices", "--none"}), 0) << lastErr_;
    EXPECT_TRUE(VideoInputDevices().empty());
    std::vector<std::string> configured;
    ASSERT_TRUE(ReadMultiString(value::kDevices, &configured));
    EXPECT_TRUE(configured.empty());

    ASSERT_EQ(Ctl({"devices", "--default"}), 0);
    EXPECT_EQ(VideoInputDevices(), std::vector<std::string>{"Kestor Recorder A"});
}

TEST_F(BoardDevices, BoardctlWritesTheValuesTheBoardReads)
{
    ASSERT_EQ(Ctl({"signal", "off"}), 0);
    ASSERT_EQ(Ctl({"lines", "525"}), 0);
    ASSERT_EQ(Ctl({"fault", "procamp-range", "saturation"}), 0);
    ASSERT_EQ(Ctl({"fault", "tv-format", "ntsc"}), 0);
    ASSERT_EQ(Ctl({"fault", "property-set", "missing"}), 0);
    BoardConfig c = RefreshConfig();
    EXPECT_FALSE(c.signal);
    EXPECT_EQ(c.lines, 525u);
    EXPECT_EQ(c.failProcAmpRange, 3);
    EXPECT_EQ(c.refuseTvFormat, 1);
    EXPECT_TRUE(c.noPropertySet);
    ASSERT_EQ(Ctl({"fault", "clear"}), 0);
    c = RefreshConfig();
    EXPECT_EQ(c.failProcAmpRange, -1);
    EXPECT_FALSE(c.noPropertySet);
}

TEST_F(BoardDevices, BoardctlRefusesBadInputWithAMessage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"signal"}, {"signal", "maybe"}, {"lines", "600"}, {"fault", "get-property", "9"},
             {"fault", "procamp-range", "gamma"}, {"fault", "teleport", "on"}, {"source", "/no/such/file.mpg"},
             {"devices"}, {"devices", "--none", "extra"}, {"frobnicate"}}) {
        EXPECT_EQ(Ctl(args), 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(lastErr_.find("boardctl: "), std::string::npos);
    }
    // The command itself exits non-zero too.
    const char* build = std::getenv("QUVO_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const std::string cmd = std::string(build) + "/tools/boardctl/boardctl lines 17 2>/dev/null";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace quvo::board::test
