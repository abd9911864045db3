// Device playback into the board's input pin, fed by a push source in the
// platform's filter graph: the board decodes what arrives, plays it out in real
// time, counts it, writes what it received to the file boardctl names, stops at
// once in the middle, and comes to an end on damaged input too.
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

#include "outside/board/core/BoardEncoder.h"
#include "outside/board/tests/BoardFixture.h"
#include "outside/board/tests/StreamCheck.h"
#include "platform/graph/testkit/TestFilters.h"
#include "platform/graph/Guids.h"
#include "tools/boardctl/BoardCtl.h"

namespace quvo::board::test {
namespace {

using Clock = std::chrono::steady_clock;

struct OutputCounts {
    ULONG pictures = 0;
    ULONGLONG audioFrames = 0;
    ULONG errors = 0;
};

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The board's own stream at CIF size, as it records it (MPEG-2, LPCM).
std::vector<std::uint8_t> BoardStream(double seconds)
{
    BoardEncoder encoder;
    VideoFormat f;
    f.width = 352;
    f.height = 288;
    encoder.SetVideoFormat(f);
    return EncodeSeconds(encoder, seconds, TvSystem::Pal);
}

class BoardPlayback : public BoardGraphTest {
protected:
    void Feed(std::vector<std::uint8_t> stream, std::size_t chunk = 5000)
    {
        auto* source = new quvo::test::CountingSource;
        source_ = ComPtr<IBaseFilter>(source);
        pushSource_ = source;
        source->Stream()->bytes = std::move(stream);
        source->Stream()->chunk = chunk;
        ASSERT_EQ(graph_->AddFilter(source_.Get(), u"Muxer"), S_OK);
        ComPtr<IPin> in = BoardPin(PINDIR_INPUT);
        ASSERT_TRUE(in);
        ASSERT_EQ(graph_->ConnectDirect(FirstPin(source_.Get()).Get(), in.Get(), nullptr), S_OK);
    }
    // Seconds from Run to EC_COMPLETE; -1 when another event or none came.
    double PlayToCompletion(LONG timeoutMs = 20000)
    {
        const auto start = Clock::now();
        if (FAILED(Control()->Run())) return -1;
        LONG code = 0;
        const HRESULT hr = Events()->WaitForCompletion(timeoutMs, &code);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        Control()->Stop();
        return hr == S_OK && code == EC_COMPLETE ? seconds : -1;
    }
    OutputCounts Output()
    {
        OutputCounts c;
        EXPECT_EQ(As<IKestorBoardStatus>(board_)->GetPlaybackOutput(&c.pictures, &c.audioFrames, &c.errors), S_OK);
        return c;
    }
    std::string BoardCtl(const std::vector<std::string>& args)
    {
        std::ostringstream out, err;
        EXPECT_EQ(RunBoardCtl(args, out, err), 0) << err.str();
        return out.str();
    }

    ComPtr<IBaseFilter> source_;
    quvo::test::CountingSource* pushSource_ = nullptr;  // source_'s object
};

TEST_F(BoardPlayback, PlaysInRealTimeCountsAndWritesWhatItReceived)
{
    const std::vector<std::uint8_t> stream = BoardStream(2.0);
    ASSERT_GT(stream.size(), 2048u);
    const std::string written = TempPath("received.mpg");
    BoardCtl({"playback-file", written});
    Feed(stream);  // 5000-byte samples: packs straddle them

    const double seconds = PlayToCompletion();
    ASSERT_GT(seconds, 0) << "no EC_COMPLETE";
    // The output shows 50 pictures at 25 per second before it reports the end.
    EXPECT_GE(seconds, 1.9);

    ULONGLONG bytes = 0;
    ULONG samples = 0, packs = 0;
    ASSERT_EQ(As<IKestorBoardStatus>(board_)->GetPlaybackCounts(&bytes, &samples, &packs), S_OK);
    EXPECT_EQ(bytes, stream.size());
    EXPECT_EQ(samples, (stream.size() + 4999) / 5000);
    EXPECT_EQ(packs, (stream.size() - 4) / 2048);
    const OutputCounts out = Output();
    EXPECT_EQ(out.pictures, 50u);
    EXPECT_EQ(out.audioFrames, 2u * 48000u);
    EXPECT_EQ(out.errors, 0u);

    EXPECT_EQ(ReadAll(written), stream);
    EXPECT_EQ(FfmpegErrors(written), "");
    const std::string status = BoardCtl({"status"});
    EXPECT_NE(status.find("playback file: " + written), std::string::npos) << status;
    EXPECT_NE(status.find(std::to_string(stream.size()) + " bytes, 50 pictures, 96000 audio frames, 0 decode errors"),
              std::string::npos)
        << status;
    BoardCtl({"playback-file", "--none"});
    EXPECT_NE(BoardCtl({"status"}).find("playback file: none"), std::string::npos);
}

// Files of other makers: MPEG-1 with MPEG audio, MPEG-2 with AC-3 at NTSC rate,
// video alone and sound alone; each plays out whole and in real time.
struct MadeFile {
    const char* name;
    const char* options;
};

class BoardPlaysMadeFiles : public BoardPlayback, public ::testing::WithParamInterface<MadeFile> {};

TEST_P(BoardPlaysMadeFiles, Whole)
{
    const MadeFile& made = GetParam();
    const std::string path = MakeTestFile(std::string(made.name) + ".mpg", 1.0, made.options);
    ASSERT_FALSE(path.empty());
    const long pictures = PictureCount(path);
    const long long audio = AudioSampleCount(path);
    ASSERT_GT(pictures + audio, 0);
    Feed(ReadAll(path), 2324);

    const double seconds = PlayToCompletion();
    ASSERT_GT(seconds, 0) << "no EC_COMPLETE";
    EXPECT_GE(seconds, 0.9);
    const OutputCounts out = Output();
    EXPECT_EQ(static_cast<long>(out.pictures), pictures);
    // At most one coded audio frame (1536 samples of AC-3) apart at the ends.
    EXPECT_NEAR(static_cast<double>(out.audioFrames), static_cast<double>(audio), 1536.0);
    EXPECT_EQ(out.errors, 0u);
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, BoardPlaysMadeFiles,
                         ::testing::Values(MadeFile{"vcd", "-target pal-vcd"}, MadeFile{"svcd", "-target pal-svcd"},
                                           MadeFile{"ntscdvd", "-target ntsc-dvd"},
                                           MadeFile{"videoonly", "-target pal-vcd -an"},
                                           MadeFile{"soundonly", "-target pal-dvd -vn"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardPlayback, StopsAtOnceInTheMiddleAndPlaysAgain)
{
    const std::vector<std::uint8_t> stream = BoardStream(6.0);
    const std::string written = TempPath("stopped.mpg");
    BoardCtl({"playback-file", written});
    Feed(stream);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(SUCCEEDED(Control()->Run()));
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        const auto stopAt = Clock::now();
        ASSERT_EQ(Control()->Stop(), S_OK);
        // Generous: only a stop that waits for the stream's end would miss it.
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - stopAt).count(), 2.0);
        ULONGLONG bytes = 0;
        ULONG samples = 0, packs = 0;
        As<IKestorBoardStatus>(board_)->GetPlaybackCounts(&bytes, &samples, &packs);
        const OutputCounts out = Output();
        EXPECT_GT(out.pictures, 0u);
        EXPECT_LT(out.pictures, 100u * (round + 1)) << "the output runs in real time";
        // The file is closed at the stop and holds this run's bytes.
        if (round == 0) {
            EXPECT_EQ(ReadAll(written).size(), bytes);
        }
    }
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (Events()->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        EXPECT_NE(code, EC_COMPLETE) << "a stopped playback reports no end";
        Events()->FreeEventParams(code, p1, p2);
    }
}

// Truncated, overwritten and random input: the board counts the damage and still
// reports the end within a bounded time.
TEST_F(BoardPlayback, DamagedInputStillEnds)
{
    std::vector<std::uint8_t> stream = BoardStream(2.0);
    std::mt19937 random(20240611);
    std::vector<std::uint8_t> damaged = stream;
    for (int i = 0; i < 300; ++i) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    damaged.resize(damaged.size() - random() % (damaged.size() / 3));
    std::vector<std::uint8_t> noise(300000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    // Noise with start codes sprinkled in, so the parser and decoders get headers to chew on.
    for (std::size_t at = 0; at + 4 < noise.size(); at += 997) {
        const std::uint8_t codes[] = {0xBA, 0xBB, 0xE0, 0xBD, 0xC0, 0xB3, 0x00, 0xB8};
        noise[at] = 0, noise[at + 1] = 0, noise[at + 2] = 1, noise[at + 3] = codes[random() % 8];
    }

    Feed(damaged);
    EXPECT_GT(PlayToCompletion(30000), 0) << "overwritten and cut";
    const OutputCounts out = Output();
    EXPECT_GT(out.errors, 0u);
    EXPECT_GT(out.pictures, 10u);

    pushSource_->Stream()->bytes = noise;
    EXPECT_GT(PlayToCompletion(30000), 0) << "noise";
    EXPECT_GT(Output().errors, out.errors);
}

}  // namespace
}  // namespace quvo::board::test
