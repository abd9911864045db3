// Diagnostic log: a host switches the trace on, sets a level and reads the file. The
// clock is injected so the file name is known; each test works in its own directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "sdk/DebugLog.h"

namespace {

using quvo::sdk::DebugLog;

SYSTEMTIME gNow;
void FixedClock(SYSTEMTIME* out) { *out = gNow; }

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* t = std::getenv("TMPDIR");
        dir_ = std::string(t && *t ? t : "/tmp") + "/log-XXXXXX";
        ASSERT_NE(mkdtemp(dir_.data()), nullptr);
        ASSERT_EQ(getcwd(oldDir_, sizeof oldDir_), oldDir_);
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        gNow = SYSTEMTIME{2026, 3, 6, 7, 9, 5, 30, 0};
    }
    void TearDown() override { ASSERT_EQ(chdir(oldDir_), 0); }

    static constexpr const char* kFile = "TvrSDK_ 3- 7_ 9- 5.log";
    std::string dir_;
    char oldDir_[4096];
};

TEST_F(DebugLogTest, FileNamePadsOneDigitFieldsWithABlank)
{
    EXPECT_EQ(DebugLog::FileNameFor(SYSTEMTIME{2026, 3, 0, 7, 9, 5, 0, 0}), "TvrSDK_ 3- 7_ 9- 5.log");
    EXPECT_EQ(DebugLog::FileNameFor(SYSTEMTIME{2026, 12, 0, 31, 23, 59, 0, 0}), "TvrSDK_12-31_23-59.log");
    EXPECT_EQ(DebugLog::FileNameFor(SYSTEMTIME{2026, 1, 0, 10, 0, 0, 0, 0}), "TvrSDK_ 1-10_ 0- 0.log");
}

TEST_F(DebugLogTest, NothingIsWrittenWithoutATarget)
{
    DebugLog log(&FixedClock);
    log.SetLevel(6);
    log.Log(quvo::sdk::kLogError, 0, "lost");
    EXPECT_FALSE(log.HasFile());
    EXPECT_NE(access(kFile, F_OK), 0);
}

TEST_F(DebugLogTest, LinePatternsEndInCarriageReturnLineFeed)
{
    DebugLog log(&FixedClock);
    log.SetTarget(1);
    ASSERT_TRUE(log.HasFile());
    log.SetLevel(6);
    log.Log(quvo::sdk::kLogEnter, 5, "%s", "TvrInitialize");
    log.Log(quvo::sdk::kLogExit, 5, "%s", "TvrInitialize");
    log.Log(quvo::sdk::kLogPlain, 1, "Capture Device : %s Found", "Kestor Recorder A");
    log.Log(quvo::sdk::kLogWarning, 3, "Source TV Standard Mismatches with Current TV Standard");
    log.Log(quvo::sdk::kLogError, 1, "Failed to RUN the Graph : 0x%X", 0x80004005u);
    log.Log(7, 1, "kind 7 is plain");
    log.Log(quvo::sdk::kLogPlain, 1, "***Device %s Found***\n", "Kestor Studio C");
    EXPECT_EQ(ReadAll(kFile),
              "---Enter : TvrInitialize---\r\n"
              "---Exit : TvrInitialize---\r\n"
              "Capture Device : Kestor Recorder A Found\r\n"
              "-Warning : Source TV Standard Mismatches with Current TV Standard-\r\n"
              "***Error : Failed to RUN the Graph : 0x80004005\r\n"
              "kind 7 is plain\r\n"
              "***Device Kestor Studio C Found***\n\r\n");
}

TEST_F(DebugLogTest, LevelFilter)
{
    DebugLog log(&FixedClock);
    log.SetTarget(1);
    for (unsigned level = 0; level <= 6; ++level) log.Log(quvo::sdk::kLogPlain, level, "at %u", level);
    log.SetLevel(0);
    log.Log(quvo::sdk::kLogPlain, 0, "note");
    log.Log(quvo::sdk::kLogPlain, 1, "hidden");
    log.SetLevel(0xFFFFFFFFu);  // compared unsigned: everything passes
    log.Log(quvo::sdk::kLogPlain, 0x80000000u, "high");
    EXPECT_EQ(ReadAll(kFile), "at 0\r\nat 1\r\nnote\r\nhigh\r\n");
}

TEST_F(DebugLogTest, OtherTargetsStopWritingButKeepTheFile)
{
    DebugLog log(&FixedClock);
    log.SetTarget(1);
    log.Log(quvo::sdk::kLogPlain, 1, "one");
    log.SetTarget(2);
    EXPECT_TRUE(log.HasFile());
    log.Log(quvo::sdk::kLogPlain, 1, "two");
    log.SetTarget(1);  // same minute: same name, emptied
    log.Log(quvo::sdk::kLogPlain, 1, "three");
    EXPECT_EQ(ReadAll(kFile), "three\r\n");

    gNow.wMinute = 6;
    log.SetTarget(1);
    log.Log(quvo::sdk::kLogPlain, 1, "four");
    EXPECT_EQ(ReadAll(kFile), "three\r\n");
    EXPECT_EQ(ReadAll("TvrSDK_ 3- 7_ 9- 6.log"), "four\r\n");
}

TEST_F(DebugLogTest, LongMessagesAndLinesAreCutWithinTheBuffers)
{
    DebugLog log(&FixedClock);
    log.SetTarget(1);
    std::string longText(1000, 'm');
    log.Log(quvo::sdk::kLogPlain, 1, "%s", longText.c_str());
    log.Log(quvo::sdk::kLogError, 1, "%s", longText.c_str());
    std::string exact(255, 'e');  // 255 + CR LF = 257: fits
    log.Log(quvo::sdk::kLogPlain, 1, "%s", exact.c_str());
    std::string content = ReadAll(kFile);
    // Plain: 259 message characters fill the line buffer; the CR LF is cut off.
    std::string first = content.substr(0, 259);
    EXPECT_EQ(first, std::string(259, 'm'));
    // Error: the prefix and as much of the message as fits in 259 characters.
    EXPECT_EQ(content.substr(259, 259), "***Error : " + std::string(248, 'm'));
    EXPECT_EQ(content.substr(518), exact + "\r\n");
}

}  // namespace
