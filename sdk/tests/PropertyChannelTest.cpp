// The property channel against a virtual board with injected faults: a failing
// transfer does not stop the later ones, the failed mask and the last platform
// answer are logged, missing interfaces fail their transfers, failed reads leave
// zeroed copies, failed writes keep the new value.
#include "sdk/PropertyLayout.h"
#include "sdk/tests/BoardSdkFixture.h"

namespace quvo::sdk::test {
namespace {

// Nothing but the board is registered in this test's registry.
constexpr uint32_t kFilterWarnings = QUVO_INIT_OWN_FILTERS_MISSING | QUVO_INIT_MPEG_FILTERS_MISSING;

class PropertyChannelTest : public BoardSdkTest {
protected:
    static void ExpectStartFailsReadingTheDevice()
    {
        uint32_t status = 0;
        EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
        EXPECT_EQ(status, kFilterWarnings | QUVO_INIT_CAPTURE_FILTERS_FAILED);
        EXPECT_NE(ReadLog().find("***Error : Cannot Get Device Parameters.\r\n"), std::string::npos);
        // The device was found: settings answer until the shut-down.
        EXPECT_EQ(Device().deviceFound, 1u);
    }
};

TEST_F(PropertyChannelTest, HueRangeFailureKeepsEarlierRangesAndReadsOn)
{
    ASSERT_TRUE(Board({"fault", "procamp-range", "hue"}));
    const ControlRange marker{11, 12, 13, 14, 15};
    for (ControlRange& r : Device().procAmpRanges) r = marker;
    Device().audioMute[layout::kAudioValue] = 0x5A;

    ExpectStartFailsReadingTheDevice();
    EXPECT_NE(ReadLog().find("***Error : Get Device Properties Failed - Code = 0x2 : 0x0\r\n"), std::string::npos)
        << ReadLog();
    ControlRange range{};
    ASSERT_EQ(QuvoGetProcAmpRange(1, &range), QUVO_SUCCESS);
    EXPECT_EQ(range.maximum, 255);
    EXPECT_EQ(range.defaultValue, 128);
    ASSERT_EQ(QuvoGetProcAmpRange(2, &range), QUVO_SUCCESS);
    EXPECT_EQ(range.maximum, 255);
    for (uint32_t code : {4u, 8u, 16u}) {
        ASSERT_EQ(QuvoGetProcAmpRange(code, &range), QUVO_SUCCESS);
        EXPECT_EQ(range.maximum, marker.maximum) << code;
        EXPECT_EQ(range.capsFlags, marker.capsFlags) << code;
    }
    // Transfers after the failing one still ran.
    EXPECT_EQ(Device().audioMute[layout::kAudioValue], 0);
    uint32_t rate = 0;
    EXPECT_EQ(QuvoGetCurrentAudioSamplingRate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate, 32u);
    uint32_t sizes = 0;
    EXPECT_EQ(QuvoGetSupportedVideoResolutions(&sizes), QUVO_SUCCESS);
    EXPECT_NE(sizes, 0u);
}

TEST_F(PropertyChannelTest, LastPlatformAnswerIsLogged)
{
    // The crossbar search is the last transfer of a start-up read.
    ASSERT_TRUE(Board({"fault", "crossbar", "missing"}));
    ExpectStartFailsReadingTheDevice();
    EXPECT_NE(ReadLog().find("Get Device Properties Failed - Code = 0x400 : 0x80004002\r\n"), std::string::npos)
        << ReadLog();
    uint32_t channel = 9;
    EXPECT_EQ(QuvoGetCurrentInputChannel(&channel), QUVO_ERR_FAILED);
    EXPECT_EQ(channel, 9u);
    EXPECT_EQ(QuvoSetInputChannel(4), QUVO_ERR_FAILED);
    EXPECT_NE(ReadLog().find("***Error : Set Device Property Failed - Code = 0x400\r\n"), std::string::npos);
}

TEST_F(PropertyChannelTest, WithoutThePropertySetTheDecoderIsStillRead)
{
    ASSERT_TRUE(Board({"fault", "property-set", "missing"}));
    Device().tvStandard = 0;
    ExpectStartFailsReadingTheDevice();
    // Extra, device, audio format, level, mute and encoder settings failed.
    EXPECT_NE(ReadLog().find("Get Device Properties Failed - Code = 0x1e5 : "), std::string::npos) << ReadLog();
    EXPECT_TRUE(Device().tvStandard == 1 || Device().tvStandard == 16);
    uint32_t length = 0;
    uint8_t serial[16];
    EXPECT_EQ(Device().GetDeviceSerialNumber(serial, sizeof serial, &length), QUVO_ERR_FAILED);
    EXPECT_EQ(QuvoSetAudioMute(64, 1), QUVO_ERR_FAILED);
}

TEST_F(PropertyChannelTest, MissingDecoderStopsOpeningButNotTheSettings)
{
    ASSERT_TRUE(Board({"fault", "decoder", "missing"}));
    uint32_t status = 0;
    EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
    EXPECT_EQ(status, kFilterWarnings | QUVO_INIT_CAPTURE_FILTERS_FAILED);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : Failed to create Analog Video Decoder\r\n***Error : Cannot Initialize Capture "
                       "Filters\r\n"),
              std::string::npos)
        << log;
    uint32_t flag = 3, standard = 3;
    EXPECT_EQ(QuvoIsSignalDetected(&flag), QUVO_ERR_FAILED);
    EXPECT_EQ(flag, 0u);
    EXPECT_EQ(QuvoGetCurrentTVStandard(&standard), QUVO_ERR_FAILED);
    EXPECT_EQ(QuvoSetAudioMute(64, 0), QUVO_SUCCESS);
}

TEST_F(PropertyChannelTest, FailedWriteKeepsTheNewValueInTheCopy)
{
    ASSERT_TRUE(Board({"fault", "set-property", "1"}));
    InitializeOk();
    ASSERT_EQ(QuvoSetTVStandard(16), QUVO_SUCCESS);
    uint32_t before = 0;
    ASSERT_EQ(QuvoGetCurrentVideoResolution(&before), QUVO_SUCCESS);
    const uint32_t wanted = before == 16 ? 8 : 16;
    EXPECT_EQ(QuvoSetVideoResolution(wanted), QUVO_ERR_FAILED);
    EXPECT_NE(ReadLog().find("***Error : Set Device Property Failed - Code = 0x4\r\n"), std::string::npos);
    uint32_t code = 0;
    EXPECT_EQ(QuvoGetCurrentVideoResolution(&code), QUVO_SUCCESS);
    EXPECT_EQ(code, wanted);

    // The sampling rate reports success whatever its write answers.
    ASSERT_TRUE(Board({"fault", "set-property", "3"}));
    Reopen();
    EXPECT_EQ(QuvoSetAudioSamplingRate(32), QUVO_SUCCESS);
    EXPECT_EQ(QuvoSetAudioFormat(16), QUVO_ERR_FAILED);
    EXPECT_NE(ReadLog().find("Set Device Property Failed - Code = 0x40\r\n"), std::string::npos);
}

TEST_F(PropertyChannelTest, WriteAfterFailedReadSendsOnlyWhatWasSet)
{
    ASSERT_TRUE(Board({"fault", "get-property", "1"}));
    ExpectStartFailsReadingTheDevice();
    EXPECT_NE(ReadLog().find("Get Device Properties Failed - Code = 0x4 : 0x0\r\n"), std::string::npos);
    for (uint8_t byte : Device().encoderSettings) ASSERT_EQ(byte, 0);
    ASSERT_EQ(QuvoSetVideoBitrate(0, 2000000, 2500000), QUVO_SUCCESS);

    ASSERT_TRUE(Board({"fault", "clear"}));
    Reopen();
    VideoBitrate rate{};
    EXPECT_EQ(QuvoGetCurrentVideoBitrate(&rate), QUVO_SUCCESS);
    EXPECT_EQ(rate.bitrate, 2000000u);
    EXPECT_EQ(rate.peakBitrate, 2500000u);
    // Frame size 0 x 0 is in no row of the table.
    uint32_t code = 7, standard = 0;
    EXPECT_EQ(QuvoGetCurrentVideoResolution(&code), QUVO_SUCCESS);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(QuvoGetCurrentVideoCompressionStandard(&standard), QUVO_SUCCESS);
    EXPECT_EQ(standard, 2u);
}

TEST_F(PropertyChannelTest, OutputSelectFailureLeavesTheOutput)
{
    ASSERT_TRUE(Board({"fault", "set-property", "8"}));
    InitializeOk();
    Device().currentOutput = 7;  // as after a playback to the board
    EXPECT_EQ(QuvoSetCurrentOutput(6), QUVO_ERR_FAILED);
    EXPECT_NE(ReadLog().find("Set Device Property Failed - Code = 0x800\r\n"), std::string::npos);
    EXPECT_EQ(Device().currentOutput, 7u);

    ASSERT_TRUE(Board({"fault", "clear"}));
    Reopen();
    EXPECT_EQ(QuvoSetCurrentOutput(6), QUVO_SUCCESS);
    uint32_t output = 0;
    EXPECT_EQ(QuvoGetCurrentOutput(&output), QUVO_SUCCESS);
    EXPECT_EQ(output, 6u);
}

TEST_F(PropertyChannelTest, WithoutCaptureFilterNothingIsTransferred)
{
    EXPECT_FALSE(Device().GetDeviceProperties(kStartupReadMask));
    EXPECT_FALSE(Device().SetDeviceProperties(REQ_OUTPUT_SELECT));
    // As after a start-up whose graph builder could not be made.
    Device().deviceFound = 1;
    uint32_t length = 5;
    EXPECT_EQ(Device().GetDeviceSerialNumber(nullptr, 0, &length), QUVO_ERR_FAILED);
    EXPECT_EQ(length, 5u);
    Device().deviceFound = 0;
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : Video Capture Not Initialied - Failed to Get Device Properties\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("***Error : Video Capture Filter not created - Set Property Failed\r\n"), std::string::npos);
    EXPECT_NE(log.find("***Error : Failed to get serial number - Capture Filter not Initialized\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quvo::sdk::test
