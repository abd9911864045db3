// Playback through QuvoSDK of recordings the board made: every mode reaches
// EC_COMPLETE at the registered window, device playback reaches the board, a
// missing file is refused with the reader's own failure, a capture stop on a
// playback graph leaves the members only playback has (removed by the next
// build, so they never pile up), and a recording split into fragments plays as
// one stream.
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/win32/Text.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

std::string Boardctl(const std::string& args)
{
    return RunCommand("'" + std::string(std::getenv("QUVO_BUILD_DIR")) + "/tools/boardctl/boardctl' " + args).output;
}

// What the board says it played last: pictures.
int BoardPictures()
{
    std::smatch m;
    const std::string status = Boardctl("status");
    return std::regex_search(status, m, std::regex("last playback: .* (\\d+) pictures")) ? std::stoi(m[1]) : -1;
}

int FilterCount()
{
    int n = 0;
    ComPtr<IEnumFilters> filters;
    if (FAILED(TheDevice().graphBuilder->EnumFilters(&filters))) return -1;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, &filter, nullptr) == S_OK) ++n;
    return n;
}

// Pictures ffmpeg decodes from `file`, and whether their times only go forward.
struct Pictures {
    int count = 0;
    bool forward = true;
};
Pictures DecodedPictures(const std::string& file)
{
    Pictures p;
    std::istringstream lines(RunCommand("ffprobe -v error -select_streams v -show_entries frame=best_effort_timestamp_time "
                                        "-of csv=p=0 '" + file + "'").output);
    double last = -1e9;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        const double t = std::atof(line.c_str());
        p.forward = p.forward && t > last;
        last = t;
        ++p.count;
    }
    return p;
}

// Records `seconds` of the board into `name`: a capture, or a preview with a
// recording (the writer then starts at the first start point).
void Record(const std::string& name, int seconds, bool onTheFly)
{
    ASSERT_EQ(QuvoSetCaptureFileName(name.c_str(), 0), QUVO_SUCCESS);
    if (onTheFly) {
        ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
        ASSERT_EQ(QuvoStartRecording(), QUVO_SUCCESS);
    } else {
        ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    if (onTheFly) {
        EXPECT_EQ(QuvoStopRecording(), QUVO_SUCCESS);
    }
    EXPECT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
}

class PlaybackTest : public SdkGraphTest {
protected:
    static void SetUpTestSuite()
    {
        SdkGraphTest::SetUpTestSuite();
        uint32_t mask = 0;
        ASSERT_EQ(QuvoInitialize(&mask), QUVO_SUCCESS);
        QuvoSetPreviewMode(1);
        ASSERT_TRUE(ApplyPreset(kVcd));
        Record(Recording(), 2, false);
        QuvoUninitialize();
    }
    static std::string Recording() { return TempPath("own.mpg"); }

    void SetUp() override
    {
        SdkGraphTest::SetUp();
        QuvoSetDebugTarget(1);
        QuvoSetDebugLevel(5);
        window_ = CountingWindow::Create(352, 288);
        ASSERT_EQ(QuvoSetPlaybackFileName(Recording().c_str(), 0), QUVO_SUCCESS);
    }
    void TearDown() override
    {
        SdkGraphTest::TearDown();
        QuvoSetDebugTarget(0);
        QuvoSetPlaybackMode(QUVO_PLAYBACK_TO_DEVICE | QUVO_PLAYBACK_AUDIO_VIDEO);
    }

    // Registers the window (the registration ends with every graph) and starts.
    QUVO_RESULT Start(uint32_t mode)
    {
        EXPECT_EQ(QuvoSetPlaybackMode(mode), QUVO_SUCCESS);
        EXPECT_EQ(QuvoSetEventNotificationWindow(window_->Handle(), 1224), QUVO_SUCCESS);
        return QuvoStartPlayback();
    }
    // Takes events until one leaves state 2 (stopped: the stream is complete).
    bool WaitForComplete(std::chrono::milliseconds limit)
    {
        return WaitUntil(
            [] {
                uint32_t state = 0;
                return QuvoGetCurrentGraphStatus(&state, 100) == QUVO_SUCCESS && state == QUVO_GRAPH_STATE_STOPPED;
            },
            limit);
    }

    std::unique_ptr<CountingWindow> window_;
};

TEST_F(PlaybackTest, EveryModePlaysToItsEndAtTheRegisteredWindow)
{
    ASSERT_EQ(QuvoSetPreviewWindow(window_->Handle(), 0, 0, 352, 288), QUVO_SUCCESS);
    const EncoderDevice& d = TheDevice();
    for (uint32_t mode : {8u, 4u, 2u, 6u, 1u}) {
        SCOPED_TRACE(mode);
        const int frames = window_->Frames();
        const int messages = window_->Messages1224();
        ASSERT_EQ(Start(mode), QUVO_SUCCESS);
        uint32_t output = 0;
        EXPECT_EQ(QuvoGetCurrentOutput(&output), QUVO_SUCCESS);
        EXPECT_EQ(output, 7u);
        EXPECT_EQ(d.graphMode, QUVO_GRAPH_MODE_PLAYBACK);
        EXPECT_EQ(!!d.videoRendererFilter, (mode & 10) != 0);
        EXPECT_EQ(!!d.audioRendererFilter, (mode & 6) != 0);
        EXPECT_EQ(!!d.muxerFilter, mode == 1);
        ASSERT_TRUE(WaitForComplete(60s)) << "no EC_COMPLETE";
        // The message follows the event from the renderer's thread.
        EXPECT_TRUE(WaitUntil([&] { return window_->Messages1224() > messages; }, 10s));
        if (mode & 10) {
            EXPECT_GT(window_->Frames(), frames);
        }
        if (mode != 1) {
            EXPECT_EQ(QuvoStopPlayback(), QUVO_SUCCESS);
        }
    }
    // Device playback alone has no renderer for the preview window, and the board
    // played the file. QuvoUninitialize takes the completed graph down.
    EXPECT_NE(LogText().find("***Error : Set Video Window Failed : 0x"), std::string::npos);
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    EXPECT_FALSE(d.fileReaderFilter || d.muxerFilter || d.transformFilter || d.captureFilter || d.mediaControl);
    EXPECT_GT(BoardPictures(), 40);
    uint32_t mask = 0;
    ASSERT_EQ(QuvoInitialize(&mask), QUVO_SUCCESS);  // for the fixture's own teardown
}

// A missing file, and a splitter that cannot be created: each refused start names
// its cause and leaves nothing but the capture filter in the graph.
TEST_F(PlaybackTest, RefusedStartsNameTheirCauseAndLeaveNothing)
{
    const EncoderDevice& d = TheDevice();
    ASSERT_EQ(QuvoSetPlaybackFileName(TempPath("absent.mpg").c_str(), 0), QUVO_SUCCESS);
    EXPECT_EQ(Start(QUVO_PLAYBACK_VIDEO), QUVO_ERR_FAILED);
    EXPECT_NE(LogText().find("***Error : Failed to set PLayback filename - Unable to load Filename : 0x80070002\r\n"),
              std::string::npos)
        << LogText();
    EXPECT_EQ(d.graphState, QUVO_GRAPH_STATE_STOPPED);
    EXPECT_FALSE(d.fileReaderFilter);
    EXPECT_EQ(FilterCount(), 1);
    EXPECT_EQ(QuvoStopPlayback(), QUVO_ERR_FAILED);

    const GUID splitter = d.splitterClsid, audio = d.audioDecoderClsid, video = d.videoDecoderClsid;
    const GUID none = {0x0BADF00D, 0x1, 0x2, {0, 0, 0, 0, 0, 0, 0, 3}};
    auto use = [](const GUID& s, const GUID& a, const GUID& v) {
        QuvoSetFilters(reinterpret_cast<const QUVO_GUID*>(&s), reinterpret_cast<const QUVO_GUID*>(&a),
                       reinterpret_cast<const QUVO_GUID*>(&v));
    };
    use(none, audio, video);
    ASSERT_EQ(QuvoSetPlaybackFileName(Recording().c_str(), 0), QUVO_SUCCESS);
    EXPECT_EQ(Start(QUVO_PLAYBACK_VIDEO), QUVO_ERR_FAILED);
    EXPECT_NE(LogText().find("***Error : Build Playback graph failed on - Creating MpegSplitter : 0x80040154\r\n"),
              std::string::npos);
    EXPECT_FALSE(d.fileReaderFilter || d.splitterFilter);
    EXPECT_EQ(FilterCount(), 1);
    use(splitter, audio, video);  // for the next start-up's checks
}

// The desktop program stops with QuvoStopPreview, then QuvoStopPlayback.
TEST_F(PlaybackTest, CaptureStopOnPlaybackLeavesOnlyPlaybacksOwnMembers)
{
    ASSERT_EQ(QuvoSetPlaybackFileName(TempPath("other.mpg").c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetCaptureFileName(Recording().c_str(), 0), QUVO_SUCCESS);  // the one shared name
    const EncoderDevice& d = TheDevice();
    int afterFirst = 0;
    for (int round = 1; round <= 10; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(Start(QUVO_PLAYBACK_TO_DEVICE | QUVO_PLAYBACK_AUDIO_VIDEO), QUVO_SUCCESS);
        ComPtr<IFileSourceFilter> source;
        ASSERT_EQ(d.fileReaderFilter.As(std::addressof(source)), S_OK);
        LPWSTR name = nullptr;
        ASSERT_EQ(source->GetCurFile(&name, nullptr), S_OK);
        EXPECT_EQ(text::Utf16ToUtf8(name), Recording());
        CoTaskMemFree(name);
        std::this_thread::sleep_for(300ms);

        ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
        EXPECT_TRUE(d.fileReaderFilter && d.splitterFilter && d.audioTeeFilter && d.transformFilter
                    && d.muxerFilter && d.playbackAudioDecoderFilter);
        EXPECT_FALSE(d.teeFilter || d.audioDecoderFilter || d.videoDecoderFilter || d.videoRendererFilter
                     || d.audioRendererFilter || d.mediaControl);
        EXPECT_EQ(QuvoStopPlayback(), QUVO_ERR_FAILED);
        if (round == 1) afterFirst = FilterCount();
    }
    EXPECT_EQ(FilterCount(), afterFirst);

    // Later graphs start without the leftovers and work.
    QuvoSetPreviewMode(8);
    ASSERT_EQ(QuvoSetCaptureFileName(TempPath("after.mpg").c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    EXPECT_FALSE(d.fileReaderFilter || d.muxerFilter);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    EXPECT_GT(Probe(TempPath("after.mpg")).duration, 0.5);
    ASSERT_EQ(QuvoSetPlaybackFileName(Recording().c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(Start(QUVO_PLAYBACK_VIDEO), QUVO_SUCCESS);
    EXPECT_TRUE(WaitForComplete(60s));
    EXPECT_EQ(QuvoStopPlayback(), QUVO_SUCCESS);
}

// A recording split into fragments of 256 KiB, made both ways, plays to the screen
// and to the board as one stream: every picture of the joined fragments, in order.
TEST_F(PlaybackTest, FragmentedRecordingPlaysAsOne)
{
    QuvoSetPreviewMode(1);
    ASSERT_EQ(QuvoSetFileSizeLimit(1), QUVO_SUCCESS);
    for (bool onTheFly : {false, true}) {
        SCOPED_TRACE(onTheFly ? "on the fly" : "capture");
        const std::string base = TempPath(onTheFly ? "fly" : "cap");
        Record(base + ".mpg", 4, onTheFly);
        std::string joined;
        int fragments = 0;
        for (std::ifstream in(base + ".mpg", std::ios::binary); in; ++fragments) {
            joined.append(std::istreambuf_iterator<char>(in), {});
            in = std::ifstream(base + "_" + std::to_string(fragments + 1) + ".mpg", std::ios::binary);
        }
        ASSERT_GE(fragments, 4);
        std::ofstream(base + "-joined.mpg", std::ios::binary) << joined;
        const Pictures expected = DecodedPictures(base + "-joined.mpg");
        ASSERT_GT(expected.count, 50);

        Boardctl("playback-file '" + base + "-board.mpg'");
        ASSERT_EQ(QuvoSetPlaybackFileName((base + ".mpg").c_str(), 0), QUVO_SUCCESS);
        ASSERT_EQ(Start(QUVO_PLAYBACK_TO_DEVICE | QUVO_PLAYBACK_VIDEO), QUVO_SUCCESS);
        ASSERT_TRUE(WaitForComplete(90s));
        ASSERT_TRUE(WaitForComplete(30s));  // one EC_COMPLETE for each renderer
        // The status turns at the first renderer's end, when the board may still be
        // playing its last pictures out; it publishes its count once it has.
        WaitUntil([&] { return BoardPictures() == expected.count; }, 10s);
        ComPtr<IQualProp> quality;
        ASSERT_EQ(TheDevice().videoRendererFilter.As(std::addressof(quality)), S_OK);
        int drawn = 0, dropped = 0;
        quality->get_FramesDrawn(&drawn);
        quality->get_FramesDroppedInRenderer(&dropped);
        EXPECT_EQ(drawn + dropped, expected.count);
        EXPECT_EQ(QuvoStopPlayback(), QUVO_SUCCESS);
        Boardctl("playback-file --none");

        EXPECT_EQ(BoardPictures(), expected.count);
        const Pictures received = DecodedPictures(base + "-board.mpg");
        EXPECT_EQ(received.count, expected.count);
        EXPECT_TRUE(received.forward);
    }
    QuvoSetFileSizeLimit(0x2000);  // the construction value, 2 GiB
}

}  // namespace
}  // namespace quvo::sdk::test
