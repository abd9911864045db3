// What the writer's files mean to a host, through the exports: a capture that cannot
// write does not start; a description file that cannot be made does not stop a
// recording; a full disk reaches the registered window as an error event with the
// writer's code and leaves fragments that each play and match their listing.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <quvo/QuvoWindow.h>

#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

// A mount namespace of the test's own, for the small file system (needs root). Made
// before any test starts a thread.
bool privateMounts = false;
class MountEnvironment : public ::testing::Environment {
    void SetUp() override
    {
        privateMounts = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
};
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new MountEnvironment);

class WriterFilesTest : public SdkGraphTest {
protected:
    void SetUp() override
    {
        SdkGraphTest::SetUp();
        QuvoSetDebugTarget(1);
        QuvoSetDebugLevel(5);
    }
    void TearDown() override
    {
        SdkGraphTest::TearDown();
        QuvoSetDebugTarget(0);
    }
    static bool Logged(const std::string& text) { return LogText().find(text) != std::string::npos; }
    // Takes graph events until one leaves `wanted` or the time is up.
    static bool WaitForState(uint32_t wanted, std::chrono::milliseconds limit)
    {
        return WaitUntil(
            [&] {
                uint32_t state = 0;
                return QuvoGetCurrentGraphStatus(&state, 50) == QUVO_SUCCESS && state == wanted;
            },
            limit);
    }
};

TEST_F(WriterFilesTest, ACaptureThatCannotWriteFailsAndARecordingWithoutItsListGoesOn)
{
    ASSERT_TRUE(ApplyPreset(kVcd));
    const std::string missing = TempPath("no-such-folder/take.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(missing.c_str(), 0), QUVO_SUCCESS);
    EXPECT_EQ(QuvoStartCapture(), QUVO_ERR_FAILED);
    EXPECT_TRUE(Logged("Failed to RUN the Graph : 0x80070003")) << LogText();  // ERROR_PATH_NOT_FOUND

    // On the fly the preview runs and the recording is what fails.
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetCaptureFileName(missing.c_str(), 0), QUVO_SUCCESS);
    EXPECT_EQ(QuvoStartRecording(), QUVO_ERR_FAILED);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    // A folder in the description file's place: the fragment still records, and the
    // host hears of the missing list.
    ASSERT_EQ(mkdir(TempPath("listless.mzl").c_str(), 0755), 0);
    const std::string file = TempPath("listless.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    QUVO_WINDOW window = QuvoWindowCreate(nullptr, nullptr, nullptr);
    ASSERT_EQ(QuvoSetEventNotificationWindow(window, 1224), QUVO_SUCCESS);  // events are read through it
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    EXPECT_TRUE(WaitUntil(
        [] {
            uint32_t s = 0;
            QuvoGetCurrentGraphStatus(&s, 50);
            return Logged("Event - Stream Error Still Playing : 0x8007");
        },
        10s))
        << LogText();
    std::this_thread::sleep_for(1s);
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    QuvoWindowDestroy(window);
    EXPECT_GT(ReadFile(file).size(), 100000u);
    EXPECT_EQ(DecodeErrors(file), "");
}

TEST_F(WriterFilesTest, EveryFragmentBeginsAtAStartPointAndStaysWithinItsLimit)
{
    ASSERT_TRUE(ApplyPreset(kDvd));
    ASSERT_EQ(QuvoSetFileSizeLimit(4), QUVO_SUCCESS);  // 1 MiB
    for (const bool onTheFly : {false, true}) {
        const std::string name = onTheFly ? "fly" : "capture";
        const std::string file = TempPath(name + ".mpg");
        ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
        if (onTheFly) {
            ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
            ASSERT_EQ(QuvoStartRecording(), QUVO_SUCCESS);
        } else {
            ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
        }
        std::this_thread::sleep_for(6s);
        if (onTheFly) {
            ASSERT_EQ(QuvoStopRecording(), QUVO_SUCCESS);
        }
        ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);

        const std::vector<ListedFragment> listed = ReadDescription(TempPath(name + ".mzl"));
        EXPECT_GE(listed.size(), 3u) << name;
        for (const ListedFragment& f : listed) {
            const std::vector<uint8_t> bytes = ReadFile(TempPath(f.name));
            EXPECT_EQ(bytes.size(), f.size) << f.name;
            EXPECT_LE(bytes.size(), 1048576u) << f.name;
            EXPECT_TRUE(BeginsAtStartPoint(bytes)) << f.name;
            EXPECT_EQ(DecodeErrors(TempPath(f.name)), "") << f.name;
        }
    }
}

struct Messages {
    std::atomic<int> deviceEvents{0};
};

void CountMessage(QUVO_WINDOW, uint32_t message, uintptr_t, intptr_t, void* context)
{
    if (message == 1224) static_cast<Messages*>(context)->deviceEvents.fetch_add(1);
}

TEST_F(WriterFilesTest, AFullDiskReachesTheWindowAndEveryFragmentLeftPlays)
{
    if (!privateMounts) GTEST_SKIP() << "no mount namespace of our own (needs root)";
    const std::string dir = TempPath("small");
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=3m"), 0);
    Messages messages;
    QUVO_WINDOW window = QuvoWindowCreate(&CountMessage, nullptr, &messages);
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(ApplyPreset(kDvd));  // 6 Mbit/s: 3 MiB in about 4 s
    ASSERT_EQ(QuvoSetFileSizeLimit(4), QUVO_SUCCESS);  // 1 MiB fragments
    const std::string file = dir + "/full.mpg";
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetEventNotificationWindow(window, 1224), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    EXPECT_TRUE(WaitForState(5, 30s));
    // The message is posted: it may reach the window a moment after the event is read.
    EXPECT_TRUE(WaitUntil([&] { return messages.deviceEvents.load() > 0; }, 5s));
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    QuvoWindowDestroy(window);

    const std::string log = LogText();
    EXPECT_NE(log.find("Event - Operation Aborted due to an Error"), std::string::npos) << log;
    EXPECT_NE(log.find("Event - Aborting Error Code : 0x80070070"), std::string::npos) << log;  // ERROR_DISK_FULL
    const std::vector<ListedFragment> listed = ReadDescription(dir + "/full.mzl");
    EXPECT_GE(listed.size(), 2u);
    uint64_t total = 0;
    for (const ListedFragment& f : listed) {
        const std::string path = dir + "/" + f.name;
        EXPECT_EQ(ReadFile(path).size(), f.size) << f.name;
        EXPECT_EQ(DecodeErrors(path), "") << f.name;
        total += f.size;
    }
    EXPECT_GT(total, 2u * 1048576) << "what was written stays";
    umount2(dir.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace quvo::sdk::test
