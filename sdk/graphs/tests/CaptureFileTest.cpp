// Capture through QuvoSDK from the virtual board, one preset at a time: capture
// filter -> tee -> writer, with the preview branches, for 10 s. ffprobe must read
// the file with the preset's codec and size, 10 s long (within 0.5 s) and with
// 48 kHz stereo LPCM, and ffmpeg must decode it without a word of complaint.
#include <chrono>
#include <thread>

#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

struct PresetCase {
    Preset preset;
    const char* codec;
    int width;
    int height;
};

class CaptureFileTest : public SdkGraphTest, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(CaptureFileTest, TenSecondsOfThePreset)
{
    const PresetCase& c = GetParam();
    ASSERT_TRUE(ApplyPreset(c.preset));
    const std::string file = TempPath(std::string("capture_") + c.preset.name + ".mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), static_cast<uint32_t>(file.size())), QUVO_SUCCESS);

    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    uint32_t state = 0;
    EXPECT_EQ(QuvoGetGraphState(&state), QUVO_SUCCESS);
    EXPECT_EQ(state, 4u);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    uint64_t bytes = 0;
    EXPECT_EQ(QuvoGetBytesStreamed(&bytes), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetGraphState(&state), QUVO_SUCCESS);
    EXPECT_EQ(state, 2u);
    // The writer is gone with the graph.
    uint64_t after = 0;
    EXPECT_EQ(QuvoGetBytesStreamed(&after), QUVO_ERR_FAILED);

    const ProbeInfo info = Probe(file);
    EXPECT_EQ(info.videoCodec, c.codec);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_NEAR(info.duration, 10.0, 0.5);
    EXPECT_EQ(info.audioCodec, "pcm_dvd");
    EXPECT_EQ(info.sampleRate, 48000);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(DecodeErrors(file), "");
    EXPECT_GT(bytes, 0u);
    EXPECT_GE(ReadFile(file).size(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Presets, CaptureFileTest,
                         ::testing::Values(PresetCase{kVcd, "mpeg1video", 352, 288},
                                           PresetCase{kSvcd, "mpeg2video", 480, 576},
                                           PresetCase{kDvd, "mpeg2video", 720, 576}),
                         [](const auto& info) { return std::string(info.param.preset.name); });

}  // namespace
}  // namespace quvo::sdk::test
