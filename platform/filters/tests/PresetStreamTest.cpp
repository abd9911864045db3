// Streams of the three presets the system records (ffmpeg -target pal-vcd,
// pal-svcd, pal-dvd, two seconds each) through the demultiplexer, the decoders and
// both renderers, headless: every picture is drawn, the graph reports EC_COMPLETE
// and no error event.
#include <gtest/gtest.h>

#include "platform/com/Runtime.h"
#include "platform/filters/tests/PreviewGraph.h"

namespace quvo::filters::test {
namespace {

class PresetStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_TRUE(RegisterMpegModule());
    }
    void TearDown() override
    {
        graph_.TearDown();
        CoUninitialize();
    }

    void PlayToEnd(const std::string& preset, int width, int height, const AudioMapping& audio)
    {
        const std::string file = MakeStream(preset + ".mpg", preset, 2);
        ASSERT_FALSE(file.empty());
        ASSERT_EQ(graph_.Build(file, true, VideoOutType(width, height, 2000000, 400000), audio), "");
        ASSERT_GE(graph_.control->Run(), 0);
        LONG code = 0;
        EXPECT_EQ(graph_.events->WaitForCompletion(15000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        LONG event = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (graph_.events->GetEvent(&event, &p1, &p2, 0) == S_OK) {
            EXPECT_NE(event, EC_ERRORABORT);
            EXPECT_NE(event, EC_STREAM_ERROR_STOPPED);
            graph_.events->FreeEventParams(event, p1, p2);
        }
        ComPtr<IQualProp> quality;
        ASSERT_EQ(graph_.videoRenderer->QueryInterface(IID_IQualProp, quality.ReleaseAndGetVoidAddressOf()), S_OK);
        int drawn = 0;
        quality->get_FramesDrawn(&drawn);
        EXPECT_EQ(drawn, 50);
        graph_.control->Stop();
    }

    PreviewGraph graph_;
};

TEST_F(PresetStreamTest, VideoCdMpeg1)
{
    PlayToEnd("pal-vcd", 352, 288, {MpegAudioType(44100), 0xC0, 0, 0});
}

TEST_F(PresetStreamTest, SuperVideoCdMpeg2)
{
    PlayToEnd("pal-svcd", 480, 576, {MpegAudioType(44100), 0xC0, 0, 0});
}

TEST_F(PresetStreamTest, DvdMpeg2WithAc3)
{
    PlayToEnd("pal-dvd", 720, 576, {Ac3AudioType(48000), 0xBD, 0x80, 4});
}

}  // namespace
}  // namespace quvo::filters::test
