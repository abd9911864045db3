// Playback through QuvoSDK's exports of files other programs made (ffmpeg's VCD,
// SVCD and DVD targets with MPEG audio and AC-3, one stream only) and of our own
// captures, in every mode: the screen gets at least 98% of the file's pictures,
// the board's received stream decodes cleanly with the file's picture count, and
// damaged files end in completion or an error event instead of a hang. The media
// are made once per build by scripts/make-test-media.sh.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/graph/ControlInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

std::string BuildDir() { return std::getenv("QUVO_BUILD_DIR"); }

std::string Boardctl(const std::string& args)
{
    return RunCommand("'" + BuildDir() + "/tools/boardctl/boardctl' " + args).output;
}

int BoardPictures()
{
    std::smatch m;
    const std::string status = Boardctl("status");
    return std::regex_search(status, m, std::regex("last playback: .* (\\d+) pictures")) ? std::stoi(m[1]) : -1;
}

int FilePictures(const std::string& file)
{
    const std::string out = RunCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                       "stream=nb_read_frames -of csv=p=0 '" + file + "'").output;
    return std::atoi(out.c_str());
}

bool Exists(const std::string& file)
{
    struct stat st{};
    return ::stat(file.c_str(), &st) == 0;
}

// The media folder of this build, made on first use (into a scratch folder that is
// renamed, so a run cut short never leaves half a set behind).
std::string Media()
{
    const std::string dir = BuildDir() + "/testmedia";
    if (!Exists(dir + "/capture-dvd.mpg")) {
        const std::string scratch = dir + ".part";
        const CommandResult r = RunCommand("bash '" + std::string(QUVO_SOURCE_DIR) + "/scripts/make-test-media.sh' '"
                                           + scratch + "' '" + BuildDir() + "' && rm -rf '" + dir + "' && mv '"
                                           + scratch + "' '" + dir + "'");
        EXPECT_EQ(r.status, 0) << r.output;
    }
    return dir + "/";
}

class PlaybackMediaTest : public SdkGraphTest {
protected:
    void SetUp() override
    {
        SdkGraphTest::SetUp();
        window_ = CountingWindow::Create(352, 288);
        ASSERT_EQ(QuvoSetPreviewWindow(window_->Handle(), 0, 0, 352, 288), QUVO_SUCCESS);
    }

    // Plays `file` in `mode` to its end, then stops; the state it ended in.
    uint32_t PlayToEnd(const std::string& file, uint32_t mode, int* drawn)
    {
        const int messages = window_->Messages1224();
        EXPECT_EQ(QuvoSetPlaybackFileName(file.c_str(), 0), QUVO_SUCCESS);
        EXPECT_EQ(QuvoSetPlaybackMode(mode), QUVO_SUCCESS);
        EXPECT_EQ(QuvoSetEventNotificationWindow(window_->Handle(), 1224), QUVO_SUCCESS);
        if (QuvoStartPlayback() != QUVO_SUCCESS) return QUVO_GRAPH_STATE_FAILED;
        uint32_t state = 0;
        // Only a guard against a hang: the files last 2 s.
        EXPECT_TRUE(WaitUntil(
            [&] {
                return QuvoGetCurrentGraphStatus(&state, 100) == QUVO_SUCCESS
                       && (state == QUVO_GRAPH_STATE_STOPPED || state == QUVO_GRAPH_STATE_FAILED);
            },
            90s))
            << file << " mode " << mode;
        if (state == QUVO_GRAPH_STATE_STOPPED) {
            EXPECT_TRUE(WaitUntil([&] { return window_->Messages1224() > messages; }, 10s)) << "no EC_COMPLETE";
        }
        // A file without pictures must not end while its sound still plays: the
        // video renderer's completion waits for the sound's end of stream.
        soundEnded_ = false;
        ComPtr<IAudioPlayStatistics> sound;
        if (TheDevice().audioRendererFilter && SUCCEEDED(TheDevice().audioRendererFilter.As(std::addressof(sound)))) {
            LONGLONG frames = 0, firstNs = 0, endNs = 0;
            LONG rate = 0;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            soundEnded_ = SUCCEEDED(sound->GetSoundPlayed(&frames, &rate, &firstNs, &endNs)) && endNs > 0
                          && endNs <= now.tv_sec * 1000000000LL + now.tv_nsec;
        }
        ComPtr<IQualProp> quality;
        *drawn = -1;
        if (TheDevice().videoRendererFilter && SUCCEEDED(TheDevice().videoRendererFilter.As(std::addressof(quality))))
            quality->get_FramesDrawn(drawn);
        QuvoStopPlayback();
        return state;
    }

    std::unique_ptr<CountingWindow> window_;
    bool soundEnded_ = false;  // at the last PlayToEnd's end, the audio renderer had played all
};

TEST_F(PlaybackMediaTest, EveryKindOfFilePlaysInEveryMode)
{
    const std::string media = Media();
    struct Case {
        const char* file;
        uint32_t mode;
    };
    const Case cases[] = {
        {"pal-vcd", 8},     {"pal-svcd", 4},     {"pal-dvd", 1},     {"ntsc-dvd", 6},    {"ntsc-dvd", 2},
        {"capture-vcd", 2}, {"capture-svcd", 1}, {"capture-dvd", 8}, {"pal-svcd", 1},    {"video-only", 8},
        {"audio-only", 2},  {"audio-only", 6},   {"capture-dvd", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " mode " + std::to_string(c.mode));
        const std::string file = media + c.file + ".mpg";
        const bool hasVideo = std::string(c.file) != "audio-only";
        const int pictures = hasVideo ? FilePictures(file) : 0;
        if (hasVideo) {
            ASSERT_GT(pictures, 40);
        }
        const std::string received = TempPath(std::string(c.file) + "-board.mpg");
        if (c.mode == 1) Boardctl("playback-file '" + received + "'");
        int drawn = 0;
        EXPECT_EQ(PlayToEnd(file, c.mode, &drawn), QUVO_GRAPH_STATE_STOPPED);
        if (hasVideo && (c.mode & 10)) {
            EXPECT_GE(drawn * 100, pictures * 98);
        }
        if (!hasVideo) {
            EXPECT_TRUE(soundEnded_) << "the end came before the sound had played";
        }
        if (c.mode == 1) {
            Boardctl("playback-file --none");
            EXPECT_GE(BoardPictures() * 100, pictures * 98);
            EXPECT_EQ(DecodeErrors(received), "");
            const int got = FilePictures(received);
            EXPECT_LE(std::abs(got - pictures) * 100, pictures * 2) << got << " of " << pictures;
        }
    }
}

// With no audio stream the audio renderer, the clock in these modes, still gets an
// end of stream; it must not complete the playback before the pictures have shown.
TEST_F(PlaybackMediaTest, VideoOnlyFileKeepsItsPicturesWhenAudioIsTheClock)
{
    const std::string file = Media() + "video-only.mpg";
    const int pictures = FilePictures(file);
    ASSERT_GT(pictures, 40);
    for (uint32_t mode : {2u, 6u}) {
        int drawn = 0;
        EXPECT_EQ(PlayToEnd(file, mode, &drawn), QUVO_GRAPH_STATE_STOPPED) << mode;
        EXPECT_GE(drawn * 100, pictures * 98) << mode;
    }
}

TEST_F(PlaybackMediaTest, DamagedFilesEndWithoutHanging)
{
    const std::vector<uint8_t> whole = ReadFile(Media() + "pal-dvd.mpg");
    ASSERT_GT(whole.size(), 100000u);
    std::mt19937 random(20261208);
    for (int i = 0; i < 4; ++i) {
        std::vector<uint8_t> bytes = whole;
        if (i < 2) {
            bytes.resize(std::uniform_int_distribution<size_t>(1, bytes.size() - 1)(random));
        } else {
            for (int n = 0; n < 400; ++n)
                bytes[std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random)] =
                    static_cast<uint8_t>(random());
        }
        const std::string file = TempPath("damaged" + std::to_string(i) + ".mpg");
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        int drawn = 0;
        const uint32_t state = PlayToEnd(file, i % 2 ? 1 : 2, &drawn);
        EXPECT_TRUE(state == QUVO_GRAPH_STATE_STOPPED || state == QUVO_GRAPH_STATE_FAILED) << i << ": " << state;
    }
}

}  // namespace
}  // namespace quvo::sdk::test
