// Playback branch as the SDK builds it from a recorded file: file source (with
// IFileSourceFilter) -> MPEG splitter -> tee -> video decoder -> video renderer,
// splitter -> second tee -> audio decoder -> audio renderer (the graph's clock).
// The splitter's output types come from the file itself: MPEG-1 video with MPEG
// audio (VCD) and MPEG-2 video with AC-3 (DVD) both play to the end, every picture
// drawn, the whole sound heard before EC_COMPLETE is reported.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/com/Runtime.h"
#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/filters/tests/GraphHelpers.h"
#include "platform/filters/tests/PacedFileSource.h"
#include "platform/graph/Guids.h"

namespace quvo::filters::test {
namespace {

const CLSID kSplitterClsid = {0x2BE4D120, 0x6F2E, 0x4B3A, {0xB0, 0xBD, 0xE8, 0x80, 0x91, 0x72, 0x38, 0xDC}};

class PlaybackGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_TRUE(RegisterMpegModule());
    }
    void TearDown() override { CoUninitialize(); }

    void Play(const std::string& preset)
    {
        const std::string file = MakeStream("play-" + preset + ".mpg", preset, 2);
        ASSERT_FALSE(file.empty());
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ComPtr<IBaseFilter> reader;
        reader.Attach(CreatePacedFileSource(file, false));  // a file reader pushes as fast as taken
        ComPtr<IBaseFilter> splitter = CreateFilter(kSplitterClsid);
        ComPtr<IBaseFilter> videoTee = CreateFilter(CLSID_InfTee);
        ComPtr<IBaseFilter> audioTee = CreateFilter(CLSID_InfTee);
        ComPtr<IBaseFilter> videoDecoder = CreateFilter(kVideoDecoderClsid);
        ComPtr<IBaseFilter> videoRenderer = CreateFilter(CLSID_VideoRenderer);
        ComPtr<IBaseFilter> audioDecoder = CreateFilter(kAudioDecoderClsid);
        ComPtr<IBaseFilter> audioRenderer = CreateFilter(CLSID_DSoundRender);
        ASSERT_TRUE(reader && splitter && videoTee && audioTee && videoDecoder && videoRenderer && audioDecoder
                    && audioRenderer);
        const std::pair<IBaseFilter*, const char16_t*> filters[] = {
            {reader.Get(), u"File Reader"}, {splitter.Get(), u"Mpeg Splitter"}, {videoTee.Get(), u"Infinite Tee"},
            {audioTee.Get(), u"Infinite 2 Tee"}, {videoDecoder.Get(), u"Video Decoder"},
            {videoRenderer.Get(), u"Video Renderer"}, {audioDecoder.Get(), u"Audio Decoder 2"},
            {audioRenderer.Get(), u"Audio Renderer"}};
        for (const auto& [filter, name] : filters) graph->AddFilter(filter, name);

        ASSERT_EQ(ConnectFilters(graph.Get(), reader.Get(), splitter.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), splitter.Get(), videoTee.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), splitter.Get(), audioTee.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), videoTee.Get(), videoDecoder.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), videoDecoder.Get(), videoRenderer.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), audioTee.Get(), audioDecoder.Get()), S_OK);
        ASSERT_EQ(ConnectFilters(graph.Get(), audioDecoder.Get(), audioRenderer.Get()), S_OK);
        ComPtr<IMediaFilter> graphFilter;
        ComPtr<IReferenceClock> clock;
        ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, graphFilter.ReleaseAndGetVoidAddressOf()), S_OK);
        ASSERT_EQ(audioRenderer->QueryInterface(IID_IReferenceClock, clock.ReleaseAndGetVoidAddressOf()), S_OK);
        graphFilter->SetSyncSource(clock.Get());

        ComPtr<IMediaControl> control;
        ComPtr<IMediaEvent> events;
        ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, events.ReleaseAndGetVoidAddressOf()), S_OK);
        ASSERT_GE(control->Run(), 0);
        LONG code = 0;
        EXPECT_EQ(events->WaitForCompletion(15000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        ComPtr<IQualProp> quality;
        ASSERT_EQ(videoRenderer->QueryInterface(IID_IQualProp, quality.ReleaseAndGetVoidAddressOf()), S_OK);
        int drawn = 0;
        quality->get_FramesDrawn(&drawn);
        EXPECT_EQ(drawn, 50);
        // Two seconds of sound, played out in real time by the time the end came.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        ComPtr<IAudioPlayStatistics> sound;
        ASSERT_EQ(audioRenderer->QueryInterface(IID_IAudioPlayStatistics, sound.ReleaseAndGetVoidAddressOf()), S_OK);
        LONGLONG frames = 0, firstNs = 0, endNs = 0;
        LONG rate = 0;
        ASSERT_EQ(sound->GetSoundPlayed(&frames, &rate, &firstNs, &endNs), S_OK);
        ASSERT_GT(rate, 0);
        EXPECT_NEAR(static_cast<double>(frames) / rate, 2.0, 0.1);
        EXPECT_NEAR((endNs - firstNs) / 1e9, 2.0, 0.1);
        EXPECT_LE(endNs, now.tv_sec * 1000000000LL + now.tv_nsec) << "EC_COMPLETE before the sound ended";
        control->Stop();
        for (const auto& entry : filters) graph->RemoveFilter(entry.first);
    }
};

TEST_F(PlaybackGraphTest, VideoCdFile) { Play("pal-vcd"); }

TEST_F(PlaybackGraphTest, DvdFileWithAc3) { Play("pal-dvd"); }

}  // namespace
}  // namespace quvo::filters::test
