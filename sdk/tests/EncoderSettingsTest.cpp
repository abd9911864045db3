// Encoder settings on the virtual board: compression-standard defaults and frame
// sizes under PAL and NTSC, the offered sizes, the bit-rate rules, the frame rate
// and the fixed audio settings. What reached the board is read back from it.
#include "outside/board/driver/DeviceInfo.h"
#include "sdk/PropertyLayout.h"
#include "sdk/tests/BoardSdkFixture.h"

extern "C" QUVO_RESULT CallSetVideoBitrateFromC(uint32_t rateMode, uint32_t bitrate, uint32_t peakBitrate);

namespace quvo::sdk::test {
namespace {

constexpr uint32_t kNtsc = 1;
constexpr uint32_t kPal = 16;

struct BoardEncoder {
    uint32_t width, height, bitrate, peak, rateMode, mpeg1;
};

class EncoderSettingsTest : public BoardSdkTest {
protected:
    void SetUp() override
    {
        BoardSdkTest::SetUp();
        InitializeOk();
    }

    // The encoder settings as the board holds them now.
    static BoardEncoder ReadBoard()
    {
        EncoderDevice& d = Device();
        EXPECT_TRUE(d.GetDeviceProperties(REQ_ENCODER_SETTINGS));
        const uint8_t* s = d.encoderSettings;
        return {ReadU32(s, 36), ReadU32(s, 40), ReadU32(s, 24), ReadU32(s, 28), ReadU32(s, 32), ReadU32(s, 44)};
    }

    static void Select(uint32_t tvStandard, uint32_t compression)
    {
        ASSERT_EQ(QuvoSetTVStandard(tvStandard), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetVideoCompressionStandard(compression), QUVO_SUCCESS);
    }
};

TEST_F(EncoderSettingsTest, CompressionStandardSetsItsDefaultsForTheTvStandard)
{
    struct Case {
        uint32_t tv, compression, width, height, bitrate, code;
    };
    for (const Case& c : {Case{kPal, 2, 720, 576, 4200000, 8192}, Case{kNtsc, 2, 720, 480, 4200000, 8192},
                          Case{kPal, 1, 352, 288, 1150000, 16}, Case{kNtsc, 1, 352, 240, 1150000, 16}}) {
        SCOPED_TRACE(testing::Message() << "tv " << c.tv << " mpeg-" << c.compression);
        // Start from a variable rate, so that the reset to constant shows.
        Select(c.tv, 2);
        ASSERT_EQ(QuvoSetVideoBitrate(1, 5000000, 6000000), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetVideoCompressionStandard(c.compression), QUVO_SUCCESS);
        const BoardEncoder b = ReadBoard();
        EXPECT_EQ(b.width, c.width);
        EXPECT_EQ(b.height, c.height);
        EXPECT_EQ(b.bitrate, c.bitrate);
        EXPECT_EQ(b.peak, c.bitrate);
        EXPECT_EQ(b.rateMode, 0u);
        EXPECT_EQ(b.mpeg1, c.compression == 1 ? 1u : 0u);
        uint32_t standard = 0, code = 0;
        EXPECT_EQ(QuvoGetCurrentVideoCompressionStandard(&standard), QUVO_SUCCESS);
        EXPECT_EQ(standard, c.compression);
        EXPECT_EQ(QuvoGetCurrentVideoResolution(&code), QUVO_SUCCESS);
        EXPECT_EQ(code, c.code);
    }
    EXPECT_EQ(QuvoSetVideoCompressionStandard(3), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(ReadBoard().width, 352u);
}

TEST_F(EncoderSettingsTest, OfferedSizesMapToCodesUnderBothStandards)
{
    // MPEG-1 offers 128x96 .. 352x576, 384x288 and 704x288; under NTSC 176 wide
    // has 128 lines and 384 and 704 wide keep 288.
    const uint32_t mpeg1 = 1 | 2 | 4 | 8 | 16 | 32 | 128 | 2048;
    const uint32_t mpeg2 = 16 | 32 | 64 | 256 | 512 | 1024 | 2048 | 4096 | 8192;
    for (uint32_t tv : {kPal, kNtsc}) {
        uint32_t mask = 0;
        Select(tv, 1);
        EXPECT_EQ(QuvoGetSupportedVideoResolutions(&mask), QUVO_SUCCESS);
        EXPECT_EQ(mask, mpeg1) << tv;
        Select(tv, 2);
        EXPECT_EQ(QuvoGetSupportedVideoResolutions(&mask), QUVO_SUCCESS);
        EXPECT_EQ(mask, mpeg2) << tv;
    }
    // A device that lists no sizes offers none.
    WriteU32(Device().deviceInfo, layout::kFrameSizeCount, 0);
    uint32_t mask = 5;
    EXPECT_EQ(QuvoGetSupportedVideoResolutions(&mask), QUVO_SUCCESS);
    EXPECT_EQ(mask, 0u);
}

TEST_F(EncoderSettingsTest, ResolutionCodeGivesTheStandardsHeight)
{
    Select(kNtsc, 1);
    ASSERT_EQ(QuvoSetVideoResolution(128), QUVO_SUCCESS);
    EXPECT_EQ(ReadBoard().width, 384u);
    EXPECT_EQ(ReadBoard().height, 288u);
    ASSERT_EQ(QuvoSetVideoResolution(4), QUVO_SUCCESS);
    EXPECT_EQ(ReadBoard().height, 128u);
    ASSERT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetVideoResolution(4), QUVO_SUCCESS);
    EXPECT_EQ(ReadBoard().width, 176u);
    EXPECT_EQ(ReadBoard().height, 144u);
    for (uint32_t bad : {0u, 3u, 16384u}) EXPECT_EQ(QuvoSetVideoResolution(bad), QUVO_ERR_INVALID_PARAMETER) << bad;
    EXPECT_EQ(ReadBoard().height, 144u);
}

TEST_F(EncoderSettingsTest, BitRateRules)
{
    Select(kPal, 1);
    const board::DeviceInfo limits1 = board::DeviceInfoFor(true, false);
    EXPECT_EQ(QuvoSetVideoBitrate(1, 2000000, 3000000), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetVideoBitrate(0, 2000000, 2000000), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetVideoBitrate(0, 2500000, 2499999), QUVO_ERR_INVALID_PARAMETER);
    SupportedVideoBitrates supported{};
    supported.vbrAllowed = 7;
    EXPECT_EQ(QuvoGetSupportedVideoBitrates(&supported), QUVO_SUCCESS);
    EXPECT_EQ(supported.vbrAllowed, 0u);
    EXPECT_EQ(supported.bitrateMin, limits1.minBitRate);
    EXPECT_EQ(supported.bitrateMax, limits1.maxBitRate);
    EXPECT_EQ(supported.bitrateRef, limits1.referenceBitRate);
    EXPECT_EQ(supported.peakRef, limits1.referenceBitRate);
    EXPECT_EQ(supported.peakMax, limits1.maxBitRate);
    EXPECT_EQ(supported.peakMin, 2000000u);  // the current bit rate
    EXPECT_EQ(supported.bitrateStep, limits1.bitRateStep);
    EXPECT_EQ(supported.peakStep, limits1.bitRateStep);

    // The same variable-rate request passes once MPEG-2 is selected.
    ASSERT_EQ(QuvoSetVideoCompressionStandard(2), QUVO_SUCCESS);
    const board::DeviceInfo limits2 = board::DeviceInfoFor(false, false);
    EXPECT_EQ(QuvoSetVideoBitrate(1, 2000000, 3000000), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetSupportedVideoBitrates(&supported), QUVO_SUCCESS);
    EXPECT_EQ(supported.vbrAllowed, 1u);
    EXPECT_EQ(supported.bitrateMax, limits2.maxBitRate);
    EXPECT_EQ(QuvoSetVideoBitrate(0, limits2.minBitRate - 1, limits2.minBitRate),
              QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetVideoBitrate(0, limits2.maxBitRate + 1, limits2.maxBitRate + 1),
              QUVO_ERR_INVALID_PARAMETER);
    // The peak is not held to the largest rate.
    EXPECT_EQ(QuvoSetVideoBitrate(1, limits2.maxBitRate, limits2.maxBitRate + 1), QUVO_SUCCESS);
    VideoBitrate current{};
    EXPECT_EQ(QuvoGetCurrentVideoBitrate(&current), QUVO_SUCCESS);
    EXPECT_EQ(current.rateMode, 1u);
    EXPECT_EQ(current.bitrate, limits2.maxBitRate);
    EXPECT_EQ(current.peakBitrate, limits2.maxBitRate + 1);
    EXPECT_EQ(ReadBoard().peak, limits2.maxBitRate + 1);

    // A C host passes three 32-bit values: the peak must arrive as the third.
    EXPECT_EQ(CallSetVideoBitrateFromC(1, 3000000, 4000000), QUVO_SUCCESS);
    EXPECT_EQ(ReadBoard().peak, 4000000u);
    EXPECT_EQ(CallSetVideoBitrateFromC(1, 3000000, 2999999), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoGetCurrentVideoBitrate(&current), QUVO_SUCCESS);
    EXPECT_EQ(current.bitrate, 3000000u);
    EXPECT_EQ(current.peakBitrate, 4000000u);
}

TEST_F(EncoderSettingsTest, FrameRateFollowsStandardAndSignal)
{
    double rate = -1;
    ASSERT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentFrameRate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate, 25.0);
    ASSERT_EQ(QuvoSetTVStandard(kNtsc), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentFrameRate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate, 29.97);

    ASSERT_TRUE(Board({"signal", "off"}));
    Reopen();
    rate = -1;
    EXPECT_EQ(QuvoGetCurrentFrameRate(&rate), QUVO_INFO_NO_SIGNAL);
    EXPECT_EQ(rate, 0.0);
}

TEST_F(EncoderSettingsTest, AudioTakesItsOneFormatAndRate)
{
    AudioParameters parameters{};
    EXPECT_EQ(QuvoGetSupportedAudioParameters(&parameters), QUVO_SUCCESS);
    EXPECT_EQ(parameters.formats, 16u);
    uint32_t current = 0, supported = 0, mask = 0, rate = 0;
    EXPECT_EQ(QuvoGetCurrentAudioBitrate(&current), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetSupportedAudioBitrates(&supported), QUVO_SUCCESS);
    EXPECT_EQ(current, 1u);
    EXPECT_EQ(supported, 1u);
    EXPECT_EQ(QuvoSetAudioBitrate(2), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoGetSupportedAudioSamplingRates(&mask), QUVO_SUCCESS);
    EXPECT_EQ(mask, 32u);
    // 44.1 kHz is a known code, but not one the board takes.
    EXPECT_EQ(QuvoSetAudioSamplingRate(16), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetAudioSamplingRate(32), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentAudioSamplingRate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate, 32u);
    EXPECT_EQ(QuvoSetAudioFormat(1), QUVO_ERR_INVALID_PARAMETER);
    Device().audioFormat[layout::kAudioFormatByte] = 0x33;
    EXPECT_EQ(QuvoSetAudioFormat(16), QUVO_SUCCESS);
    EXPECT_EQ(Device().audioFormat[layout::kAudioFormatByte], 0);
    // A rate outside the table reads as code 0.
    WriteU32(Device().audioFormat, layout::kSamplingRate, 11025);
    EXPECT_EQ(QuvoGetCurrentAudioSamplingRate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate, 0u);
}

}  // namespace
}  // namespace quvo::sdk::test
