// Signal, input and audio controls on the virtual board: the two mismatch rules of
// the TV standard, a standard the decoder refuses, proc-amp codes and ranges,
// volume and mute, preview and input codes, the output signal and the serial
// number's length rules.
#include <cstring>

#include "outside/board/core/Settings.h"
#include "outside/board/driver/BoardConfig.h"
#include "sdk/tests/BoardSdkFixture.h"

namespace quvo::sdk::test {
namespace {

constexpr uint32_t kNtsc = 1;
constexpr uint32_t kPal = 16;
constexpr const char* kMismatch = "-Warning : Source TV Standard Mismatches with Current TV Standard-\r\n";

class SignalControlsTest : public BoardSdkTest {
protected:
    void SetUp() override
    {
        BoardSdkTest::SetUp();
        InitializeOk();
    }

    // Sets the line count the board reports (any number) and reopens the device.
    static void BoardLines(DWORD lines)
    {
        ASSERT_TRUE(board::WriteDword(board::value::kLines, lines));
        Reopen();
    }

    static QUVO_RESULT Standard(uint32_t* standard) { return QuvoGetCurrentTVStandard(standard); }
    static QUVO_RESULT Lines(uint32_t* lines) { return QuvoGetNumberOfLinesDetected(lines); }
};

TEST_F(SignalControlsTest, PalWithA525LineSignalMismatchesBothWays)
{
    BoardLines(525);
    EXPECT_EQ(QuvoSetTVStandard(kPal), QUVO_WARN_TV_STANDARD_MISMATCH);
    uint32_t standard = 0, lines = 0;
    EXPECT_EQ(Standard(&standard), QUVO_WARN_TV_STANDARD_MISMATCH);
    EXPECT_EQ(standard, kPal);
    EXPECT_NE(ReadLog().find(kMismatch), std::string::npos);
    EXPECT_EQ(Lines(&lines), QUVO_WARN_TV_STANDARD_MISMATCH);
    EXPECT_EQ(lines, 525u);
    EXPECT_EQ(QuvoSetTVStandard(kNtsc), QUVO_SUCCESS);
    EXPECT_EQ(Standard(&standard), QUVO_SUCCESS);
    EXPECT_EQ(standard, kNtsc);
}

TEST_F(SignalControlsTest, ReadingTheStandardAlsoCatchesOddLineCounts)
{
    // Neither 0 nor 625 contradicts PAL when reading the standard, but only 525
    // does when setting it or reading the lines.
    BoardLines(600);
    EXPECT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    uint32_t standard = 0, lines = 0;
    EXPECT_EQ(Standard(&standard), QUVO_WARN_TV_STANDARD_MISMATCH);
    EXPECT_EQ(standard, kPal);
    EXPECT_EQ(Lines(&lines), QUVO_SUCCESS);
    EXPECT_EQ(lines, 600u);
}

TEST_F(SignalControlsTest, NoSignalIsNoMismatch)
{
    ASSERT_TRUE(Board({"signal", "off"}));
    Reopen();
    EXPECT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    uint32_t standard = 0, lines = 9, detected = 9;
    EXPECT_EQ(Standard(&standard), QUVO_SUCCESS);
    EXPECT_EQ(standard, kPal);
    EXPECT_EQ(Lines(&lines), QUVO_SUCCESS);
    EXPECT_EQ(lines, 0u);
    EXPECT_EQ(QuvoIsSignalDetected(&detected), QUVO_SUCCESS);
    EXPECT_EQ(detected, 0u);
    EXPECT_EQ(ReadLog().find(kMismatch), std::string::npos);
}

TEST_F(SignalControlsTest, StandardChangeRefreshesTheFrameSize)
{
    ASSERT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    ASSERT_EQ(QuvoSetVideoCompressionStandard(2), QUVO_SUCCESS);
    // The board turns 720x576 into 720x480; without the refresh the copy would
    // keep a size that NTSC does not know.
    ASSERT_EQ(QuvoSetTVStandard(kNtsc), QUVO_SUCCESS);
    uint32_t code = 0, detected = 0;
    EXPECT_EQ(QuvoGetCurrentVideoResolution(&code), QUVO_SUCCESS);
    EXPECT_EQ(code, 8192u);
    EXPECT_EQ(QuvoIsSignalDetected(&detected), QUVO_SUCCESS);
    EXPECT_EQ(detected, 1u);
}

TEST_F(SignalControlsTest, RefusedStandardStaysAndBlocksFrameSizes)
{
    EXPECT_EQ(QuvoSetTVStandard(2), QUVO_ERR_FAILED);
    EXPECT_NE(ReadLog().find("***Error : Set Device Property Failed - Code = 0x10\r\n"), std::string::npos);
    EXPECT_EQ(Device().tvStandard, 2u);
    uint32_t mask = 7;
    EXPECT_EQ(QuvoGetSupportedVideoResolutions(&mask), QUVO_SUCCESS);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(QuvoSetVideoResolution(16), QUVO_ERR_INVALID_PARAMETER);
    double rate = 1;
    EXPECT_EQ(QuvoGetCurrentFrameRate(&rate), QUVO_ERR_FAILED);
    EXPECT_EQ(rate, 0.0);
    EXPECT_EQ(QuvoSetTVStandard(kPal), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetVideoResolution(16), QUVO_SUCCESS);
}

TEST_F(SignalControlsTest, ProcAmpCodesRangesAndValues)
{
    const board::ProcAmpRange& sharpness = board::kProcAmpRanges[4];
    ControlRange range{};
    EXPECT_EQ(QuvoGetProcAmpRange(16, &range), QUVO_SUCCESS);
    EXPECT_EQ(range.maximum, sharpness.maximum);
    EXPECT_EQ(range.minimum, sharpness.minimum);
    EXPECT_EQ(range.step, sharpness.step);
    EXPECT_EQ(range.defaultValue, sharpness.defaultValue);
    EXPECT_EQ(Device().procAmpIndex, 4u);
    // The highest bit decides: 3 is contrast.
    EXPECT_EQ(QuvoGetProcAmpRange(3, &range), QUVO_SUCCESS);
    EXPECT_EQ(Device().procAmpIndex, 1u);
    EXPECT_EQ(QuvoGetProcAmpRange(32, &range), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoGetProcAmpRange(0, &range), QUVO_ERR_INVALID_PARAMETER);

    // Both ends are inside; one beyond either is not, and the value stays.
    int32_t value = 0;
    EXPECT_EQ(QuvoSetProcAmpValue(16, sharpness.maximum), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetProcAmpValue(16, sharpness.minimum), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetProcAmpValue(16, sharpness.maximum + 1), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetProcAmpValue(16, sharpness.minimum - 1), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoGetCurrentProcAmpValue(16, &value), QUVO_SUCCESS);
    EXPECT_EQ(value, sharpness.minimum);
    // Hue's range spans zero: negative values compare as signed.
    EXPECT_EQ(QuvoSetProcAmpValue(4, -5), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentProcAmpValue(4, &value), QUVO_SUCCESS);
    EXPECT_EQ(value, -5);
    value = 9;
    EXPECT_EQ(QuvoGetCurrentProcAmpValue(64, &value), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(value, 0);
    EXPECT_NE(ReadLog().find("---Enter : TvrGetCurrentProcAmpValue---\r\n"), std::string::npos);
}

TEST_F(SignalControlsTest, VolumeAndMute)
{
    EXPECT_EQ(QuvoSetAudioPropertyValue(1, 0), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetAudioPropertyValue(1, -50), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetAudioPropertyValue(1, 1), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetAudioPropertyValue(1, -51), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetAudioPropertyValue(2, -10), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_NE(ReadLog().find("***Error : Audio Property value Invalid\r\n"), std::string::npos);
    ControlRange range{9, 9, 9, 9, 77};
    EXPECT_EQ(QuvoGetSupportedAudioPropertyRange(1, &range), QUVO_SUCCESS);
    EXPECT_EQ(range.maximum, 0);
    EXPECT_EQ(range.minimum, -50);
    EXPECT_EQ(range.step, 1);
    EXPECT_EQ(range.defaultValue, 0);
    EXPECT_EQ(range.capsFlags, 77);
    EXPECT_EQ(QuvoSetAudioMute(64, 1), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetAudioMute(1, 1), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_NE(ReadLog().find("***Error : Audio Mute Property Invalid\r\n"), std::string::npos);

    // The board kept both: a new start reads them back.
    Reopen();
    int32_t volume = 0;
    uint32_t mute = 0;
    EXPECT_EQ(QuvoGetCurrentAudioPropertyValue(1, &volume), QUVO_SUCCESS);
    EXPECT_EQ(volume, -50);
    EXPECT_EQ(QuvoGetAudioMute(64, &mute), QUVO_SUCCESS);
    EXPECT_EQ(mute, 1u);
    EXPECT_EQ(QuvoGetAudioMute(32, &mute), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetAudioMute(64, 0), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetAudioPropertyValue(1, 0), QUVO_SUCCESS);
}

TEST_F(SignalControlsTest, PreviewInputAndOutputCodes)
{
    EncoderDevice& d = Device();
    EXPECT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    EXPECT_EQ(d.previewVideo + d.previewAudio, 0u);
    EXPECT_EQ(QuvoSetPreviewMode(2), QUVO_SUCCESS);
    EXPECT_EQ(d.previewVideo, 1u);
    EXPECT_EQ(d.previewAudio, 0u);
    // 16 is in the capability mask but is no mode: both decoders stay on.
    EXPECT_EQ(QuvoSetPreviewMode(16), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(d.previewVideo + d.previewAudio, 2u);

    uint32_t channel = 0;
    EXPECT_EQ(QuvoSetInputChannel(4), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentInputChannel(&channel), QUVO_SUCCESS);
    EXPECT_EQ(channel, 4u);
    EXPECT_EQ(QuvoSetInputChannel(2), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_EQ(QuvoSetInputChannel(1), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentInputChannel(&channel), QUVO_SUCCESS);
    EXPECT_EQ(channel, 1u);

    EXPECT_EQ(QuvoSetCurrentOutput(7), QUVO_ERR_INVALID_PARAMETER);
    EXPECT_NE(ReadLog().find("***Error : Set Output Signal Failed - Invalid Operation\r\n"), std::string::npos);
    EXPECT_EQ(QuvoSetCurrentOutput(6), QUVO_SUCCESS);
    EXPECT_EQ(QuvoGetCurrentOutputChannel(0), QUVO_ERR_NOT_SUPPORTED);
}

TEST_F(SignalControlsTest, SerialNumberLengthRules)
{
    EncoderDevice& d = Device();
    uint8_t bytes[20];
    std::memset(bytes, '#', sizeof bytes);
    uint32_t length = 0;
    EXPECT_EQ(d.GetDeviceSerialNumber(bytes, 9, &length), QUVO_SUCCESS);
    EXPECT_EQ(length, 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 10), "KA26B0417#");
    EXPECT_EQ(d.GetDeviceSerialNumber(bytes, 8, &length), QUVO_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 9u);
    EXPECT_NE(ReadLog().find("\nInsufficient Buffer Size\r\n"), std::string::npos);
    EXPECT_EQ(d.GetDeviceSerialNumber(nullptr, 20, &length), QUVO_ERR_INVALID_POINTER);

    struct Case {
        const char* serial;
        uint32_t length;
        QUVO_RESULT result;
    };
    for (const Case& c : {Case{"", 0, QUVO_WARN_INVALID_SERIAL_LENGTH},
                          Case{"ABCDEFGHIJKLMN", 14, QUVO_SUCCESS},
                          Case{"ABCDEFGHIJKLMNO", 15, QUVO_WARN_INVALID_SERIAL_LENGTH}}) {
        ASSERT_TRUE(Board({"serial", c.serial}));
        Reopen();
        length = 99;
        EXPECT_EQ(d.GetDeviceSerialNumber(bytes, sizeof bytes, &length), c.result) << c.serial;
        EXPECT_EQ(length, c.length) << c.serial;
    }
    EXPECT_NE(ReadLog().find("***Error : Invalid Serial Number Length\r\n"), std::string::npos);
    EXPECT_NE(ReadLog().find("---Exit : TvrGetDeviceSerialNumber---\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quvo::sdk::test
