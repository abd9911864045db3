// Playback through QuvoSDK of streams of the three presets the system records, as
// ffmpeg makes them (-target pal-vcd, pal-svcd, pal-dvd, two seconds each: MPEG-1
// video with MPEG audio, MPEG-2 with MPEG audio, MPEG-2 with AC-3), to the screen
// and the speakers, headless: every picture is drawn, each renderer reports
// EC_COMPLETE with no error event, and the whole sound has played out in real time
// by the time its end is reported.
#include <ctime>

#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/graph/ControlInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

// An MPEG program stream made by `ffmpeg -target <preset>` from test sources;
// empty on failure.
std::string MakeStream(const std::string& preset, int seconds)
{
    const std::string path = TempPath(preset + ".mpg");
    const CommandResult r = RunCommand("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=rate=25 "
                                       "-f lavfi -i sine=frequency=1000:sample_rate=48000 -t " + std::to_string(seconds)
                                       + " -target " + preset + " '" + path + "'");
    return r.status == 0 ? path : std::string();
}

// Whether an output of `up` is connected to an input of `down`.
bool Connected(IBaseFilter* up, IBaseFilter* down)
{
    ComPtr<IEnumPins> pins;
    if (!up || !down || FAILED(up->EnumPins(&pins))) return false;
    ComPtr<IPin> pin;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        ComPtr<IPin> peer;
        PIN_INFO info{};
        if (FAILED(pin->ConnectedTo(&peer)) || FAILED(peer->QueryPinInfo(&info))) continue;
        ComPtr<IBaseFilter> owner;
        owner.Attach(info.pFilter);
        if (info.dir == PINDIR_INPUT && IsSameObject(owner.Get(), down)) return true;
    }
    return false;
}

// The graph's clock is the audio renderer's.
bool ClockIsTheAudioRenderers(const EncoderDevice& d)
{
    ComPtr<IMediaFilter> graph;
    ComPtr<IReferenceClock> clock, own;
    return SUCCEEDED(d.graphBuilder.As(std::addressof(graph))) && SUCCEEDED(graph->GetSyncSource(&clock)) && clock
        && SUCCEEDED(d.audioRendererFilter.As(std::addressof(own))) && IsSameObject(clock.Get(), own.Get());
}

class PresetPlaybackTest : public SdkGraphTest {
protected:
    void SetUp() override
    {
        SdkGraphTest::SetUp();
        QuvoSetDebugLevel(5);
        QuvoSetDebugTarget(1);
    }
    void TearDown() override
    {
        SdkGraphTest::TearDown();
        QuvoSetDebugTarget(0);
        QuvoSetPlaybackMode(QUVO_PLAYBACK_TO_DEVICE | QUVO_PLAYBACK_AUDIO_VIDEO);
    }

    void Play(const std::string& preset)
    {
        const std::string file = MakeStream(preset, 2);
        ASSERT_FALSE(file.empty());
        auto window = CountingWindow::Create(352, 288);
        ASSERT_EQ(QuvoSetPreviewWindow(window->Handle(), 0, 0, 352, 288), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetPlaybackFileName(file.c_str(), 0), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetPlaybackMode(QUVO_PLAYBACK_AUDIO_VIDEO), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetEventNotificationWindow(window->Handle(), 1224), QUVO_SUCCESS);
        ASSERT_EQ(QuvoStartPlayback(), QUVO_SUCCESS);
        const EncoderDevice& d = TheDevice();
        ASSERT_TRUE(d.fileReaderFilter && d.splitterFilter && d.teeFilter && d.audioTeeFilter && d.videoDecoderFilter
                    && d.videoRendererFilter && d.playbackAudioDecoderFilter && d.audioRendererFilter);
        EXPECT_FALSE(d.muxerFilter || d.transformFilter);  // nothing for the board
        // Reader -> splitter -> tee -> video decoder -> renderer, splitter -> second
        // tee -> audio decoder -> renderer, whose clock the graph follows.
        EXPECT_TRUE(Connected(d.fileReaderFilter.Get(), d.splitterFilter.Get()));
        EXPECT_TRUE(Connected(d.splitterFilter.Get(), d.teeFilter.Get()));
        EXPECT_TRUE(Connected(d.splitterFilter.Get(), d.audioTeeFilter.Get()));
        EXPECT_TRUE(Connected(d.teeFilter.Get(), d.videoDecoderFilter.Get()));
        EXPECT_TRUE(Connected(d.videoDecoderFilter.Get(), d.videoRendererFilter.Get()));
        EXPECT_TRUE(Connected(d.audioTeeFilter.Get(), d.playbackAudioDecoderFilter.Get()));
        EXPECT_TRUE(Connected(d.playbackAudioDecoderFilter.Get(), d.audioRendererFilter.Get()));
        EXPECT_TRUE(ClockIsTheAudioRenderers(d));

        // One EC_COMPLETE for each renderer.
        for (int renderer = 0; renderer < 2; ++renderer) {
            EXPECT_TRUE(WaitUntil(
                [] {
                    uint32_t state = 0;
                    return QuvoGetCurrentGraphStatus(&state, 100) == QUVO_SUCCESS
                        && state == QUVO_GRAPH_STATE_STOPPED;
                },
                15s))
                << "no EC_COMPLETE";
        }
        ComPtr<IQualProp> quality;
        ASSERT_EQ(d.videoRendererFilter.As(std::addressof(quality)), S_OK);
        int drawn = 0;
        quality->get_FramesDrawn(&drawn);
        EXPECT_EQ(drawn, 50);
        // Two seconds of sound, played out in real time by the time the end came.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        ComPtr<IAudioPlayStatistics> sound;
        ASSERT_EQ(d.audioRendererFilter.As(std::addressof(sound)), S_OK);
        LONGLONG frames = 0, firstNs = 0, endNs = 0;
        LONG rate = 0;
        ASSERT_EQ(sound->GetSoundPlayed(&frames, &rate, &firstNs, &endNs), S_OK);
        ASSERT_GT(rate, 0);
        EXPECT_NEAR(static_cast<double>(frames) / rate, 2.0, 0.1);
        EXPECT_NEAR((endNs - firstNs) / 1e9, 2.0, 0.1);
        EXPECT_LE(endNs, now.tv_sec * 1000000000LL + now.tv_nsec) << "EC_COMPLETE before the sound ended";
        EXPECT_GT(window->Messages1224(), 0);  // the completions reached the host's window
        EXPECT_EQ(QuvoStopPlayback(), QUVO_SUCCESS);

        const std::string log = LogText();
        EXPECT_NE(log.find("Event - Data Streaming Complete."), std::string::npos);
        EXPECT_EQ(log.find("Event - Operation Aborted due to an Error"), std::string::npos);
        EXPECT_EQ(log.find("Event - Stream has stopped due to an Error."), std::string::npos);
    }
};

TEST_F(PresetPlaybackTest, VideoCdMpeg1) { Play("pal-vcd"); }

TEST_F(PresetPlaybackTest, SuperVideoCdMpeg2) { Play("pal-svcd"); }

TEST_F(PresetPlaybackTest, DvdMpeg2WithAc3) { Play("pal-dvd"); }

}  // namespace
}  // namespace quvo::sdk::test
