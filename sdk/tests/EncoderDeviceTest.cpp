// The encoder device without a board: its operation table, its construction values
// and their reset after an aborting graph error, and what start-up and shut-down do
// when no board can be found. Calls go through the exports, as a host makes them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/Text.h"
#include "platform/win32/Window.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/GraphEvents.h"

namespace {

using quvo::sdk::EncoderDevice;

// Byte offset of a virtual function in the operation table (Itanium C++ ABI: a
// pointer to a virtual member holds 1 + that offset).
template <class M>
std::ptrdiff_t SlotOffset(M member)
{
    struct Representation {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } r{};
    static_assert(sizeof(member) == sizeof(r));
    std::memcpy(&r, &member, sizeof r);
    EXPECT_EQ(r.pointer & 1, 1u) << "not a virtual function";
    return static_cast<std::ptrdiff_t>(r.pointer - 1);
}

TEST(EncoderDeviceLayout, OperationsAreInTheirSlotOrder)
{
    const std::ptrdiff_t slots[] = {
        SlotOffset(&EncoderDevice::Initialize), SlotOffset(&EncoderDevice::GetDeviceName),
        SlotOffset(&EncoderDevice::GetSDKVersion), SlotOffset(&EncoderDevice::GetDeviceSerialNumber),
        SlotOffset(&EncoderDevice::GetDeviceCapabilities), SlotOffset(&EncoderDevice::GetCurrentOutput),
        SlotOffset(&EncoderDevice::SetCurrentOutput), SlotOffset(&EncoderDevice::GetCurrentFrameRate),
        SlotOffset(&EncoderDevice::GetSupportedVideoCompressionStandards),
        SlotOffset(&EncoderDevice::GetCurrentVideoCompressionStandard),
        SlotOffset(&EncoderDevice::GetSupportedVideoResolutions), SlotOffset(&EncoderDevice::GetCurrentVideoResolution),
        SlotOffset(&EncoderDevice::GetSupportedVideoBitrates), SlotOffset(&EncoderDevice::GetCurrentVideoBitrate),
        SlotOffset(&EncoderDevice::Reserved1), SlotOffset(&EncoderDevice::Reserved2),
        SlotOffset(&EncoderDevice::Reserved3), SlotOffset(&EncoderDevice::GetSupportedAudioParameters),
        SlotOffset(&EncoderDevice::GetCurrentAudioFormat), SlotOffset(&EncoderDevice::GetCurrentAudioBitrate),
        SlotOffset(&EncoderDevice::GetSupportedAudioBitrates), SlotOffset(&EncoderDevice::GetSupportedAudioSamplingRates),
        SlotOffset(&EncoderDevice::GetCurrentAudioSamplingRate), SlotOffset(&EncoderDevice::SetVideoCompressionStandard),
        SlotOffset(&EncoderDevice::SetVideoResolution), SlotOffset(&EncoderDevice::SetVideoBitrate),
        SlotOffset(&EncoderDevice::SetAudioFormat), SlotOffset(&EncoderDevice::SetAudioBitrate),
        SlotOffset(&EncoderDevice::SetAudioSamplingRate), SlotOffset(&EncoderDevice::GetSupportedTVStandards),
        SlotOffset(&EncoderDevice::GetCurrentTVStandard), SlotOffset(&EncoderDevice::SetTVStandard),
        SlotOffset(&EncoderDevice::GetProcAmpCapabilities), SlotOffset(&EncoderDevice::GetProcAmpRange),
        SlotOffset(&EncoderDevice::GetCurrentProcAmpValue), SlotOffset(&EncoderDevice::SetProcAmpValue),
        SlotOffset(&EncoderDevice::GetNumberOfLinesDetected), SlotOffset(&EncoderDevice::IsSignalDetected),
        SlotOffset(&EncoderDevice::EnableVCRSource), SlotOffset(&EncoderDevice::DisableVCRSource),
        SlotOffset(&EncoderDevice::EnableAnalogVideoDecoder), SlotOffset(&EncoderDevice::DisableAnalogVideoDecoder),
        SlotOffset(&EncoderDevice::GetSupportedInputChannels), SlotOffset(&EncoderDevice::SetInputChannel),
        SlotOffset(&EncoderDevice::GetCurrentInputChannel), SlotOffset(&EncoderDevice::GetSupportedOutputChannels),
        SlotOffset(&EncoderDevice::SetOutputChannel), SlotOffset(&EncoderDevice::GetCurrentOutputChannel),
        SlotOffset(&EncoderDevice::GetAudioCapabilities), SlotOffset(&EncoderDevice::GetSupportedAudioPropertyRange),
        SlotOffset(&EncoderDevice::SetAudioPropertyValue), SlotOffset(&EncoderDevice::GetCurrentAudioPropertyValue),
        SlotOffset(&EncoderDevice::GetAudioMuteCapabilities), SlotOffset(&EncoderDevice::SetAudioMute),
        SlotOffset(&EncoderDevice::GetAudioMute), SlotOffset(&EncoderDevice::GetPreviewCapabilities),
        SlotOffset(&EncoderDevice::SetPreviewMode), SlotOffset(&EncoderDevice::SetPreviewWindow),
        SlotOffset(&EncoderDevice::SetEventNotificationWindow), SlotOffset(&EncoderDevice::SetPreviewToFullScreen),
        SlotOffset(&EncoderDevice::StartPreview), SlotOffset(&EncoderDevice::StopPreview),
        SlotOffset(&EncoderDevice::SetFileSizeLimit), SlotOffset(&EncoderDevice::SetCaptureLimit),
        SlotOffset(&EncoderDevice::SetCaptureFileName), SlotOffset(&EncoderDevice::StartCapture),
        SlotOffset(&EncoderDevice::StopCapture), SlotOffset(&EncoderDevice::GetPlaybackCapabilities),
        SlotOffset(&EncoderDevice::SetPlaybackFileName), SlotOffset(&EncoderDevice::SetPlaybackMode),
        SlotOffset(&EncoderDevice::GetPlaybackCurrentPos), SlotOffset(&EncoderDevice::SetPlaybackCurrentPos),
        SlotOffset(&EncoderDevice::GetPlaybackFileDuration), SlotOffset(&EncoderDevice::StartPlayback),
        SlotOffset(&EncoderDevice::StopPlayback), SlotOffset(&EncoderDevice::Uninitialize),
        SlotOffset(&EncoderDevice::GetGraphState), SlotOffset(&EncoderDevice::GetFilterGraphEvent),
        SlotOffset(&EncoderDevice::GetCurrentGraphStatus), SlotOffset(&EncoderDevice::StartRecording),
        SlotOffset(&EncoderDevice::StopRecording), SlotOffset(&EncoderDevice::GetBytesStreamed),
        SlotOffset(&EncoderDevice::SetDebugLevel), SlotOffset(&EncoderDevice::SetDebugTarget),
        SlotOffset(&EncoderDevice::SetFilters),
    };
    ASSERT_EQ(std::size(slots), 85u);
    for (std::size_t i = 0; i < std::size(slots); ++i)
        EXPECT_EQ(slots[i], static_cast<std::ptrdiff_t>(i * sizeof(void*))) << "operation #" << i;
}

std::u16string CurrentDirectoryFile(const char* name)
{
    char cwd[PATH_MAX];
    EXPECT_NE(getcwd(cwd, sizeof cwd), nullptr);
    return quvo::text::Utf8ToUtf16(std::string(cwd) + "/" + name);
}

void ExpectConstructionValues(const EncoderDevice& d)
{
    EXPECT_FALSE(d.captureGraphBuilder);
    EXPECT_FALSE(d.captureFilter);
    EXPECT_FALSE(d.deviceMoniker);
    EXPECT_FALSE(d.graphBuilder);
    EXPECT_FALSE(d.teeFilter);
    EXPECT_FALSE(d.writerControl);
    EXPECT_EQ(d.previewAudio, 1u);
    EXPECT_EQ(d.previewVideo, 1u);
    EXPECT_EQ(d.fullScreenMode, 0);
    EXPECT_EQ(d.fullScreenChangePending, 0u);
    EXPECT_EQ(d.previewWindow, nullptr);
    EXPECT_EQ(std::u16string(d.captureFileName), CurrentDirectoryFile("Tavrin.mpg"));
    EXPECT_EQ(d.fileSizeLimit, 0x200000u);
    EXPECT_EQ(d.captureLimit, 0x80000000u);
    EXPECT_EQ(d.playbackToDevice, 1u);
    EXPECT_EQ(d.playbackAudio, 1u);
    EXPECT_EQ(d.playbackVideo, 1u);
    EXPECT_EQ(d.currentOutput, 6u);
    EXPECT_EQ(d.graphMode, 0u);
    EXPECT_EQ(d.uninitialized, 0u);
    EXPECT_EQ(d.userFiltersSet, 0u);
    EXPECT_EQ(d.notifyMessage, 0u);
}

TEST(EncoderDevice, ConstructionValues)
{
    EncoderDevice d;
    ExpectConstructionValues(d);
    EXPECT_EQ(d.deviceFound, 0u);
    EXPECT_EQ(d.graphState, 0u);
    EXPECT_EQ(d.deviceNameA[0], 0);
    EXPECT_EQ(d.splitterClsid, GUID_NULL);
}

TEST(EncoderDevice, AbortingGraphErrorResetsTheGraphSideOnly)
{
    EncoderDevice d;
    d.deviceFound = 1;
    std::strcpy(d.deviceNameA, "Kestor Recorder A");
    d.encoderSettings[24] = 0x42;
    d.tvStandard = 16;
    d.linesDetected = 625;
    d.procAmpIndex = 3;
    d.videoDecoderClsid = GUID{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    d.previewAudio = d.previewVideo = 0;
    d.fullScreenMode = -1;
    d.fullScreenChangePending = 1;
    d.previewLeft = 10;
    d.previewWidth = 320;
    d.captureFileName[0] = u'X';
    d.fileSizeLimit = 7;
    d.captureLimit = 8;
    d.playbackAudio = 0;
    d.currentOutput = 7;
    d.graphMode = 2;
    d.graphState = 4;
    d.uninitialized = 1;
    d.userFiltersSet = 1;
    d.notifyMessage = 1224;

    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 3), 5u);
    ExpectConstructionValues(d);
    EXPECT_EQ(d.graphState, 5u);
    EXPECT_EQ(d.deviceFound, 1u);
    EXPECT_STREQ(d.deviceNameA, "Kestor Recorder A");
    EXPECT_EQ(d.encoderSettings[24], 0x42);
    EXPECT_EQ(d.tvStandard, 16u);
    EXPECT_EQ(d.linesDetected, 625u);
    EXPECT_EQ(d.procAmpIndex, 3u);
    EXPECT_EQ(d.videoDecoderClsid.Data1, 1u);
    EXPECT_EQ(d.previewLeft, 10);  // the position values keep theirs
    EXPECT_EQ(d.previewWidth, 320);
    d.uninitialized = 1;  // nothing to release at the end of the test
}

TEST(EncoderDevice, GraphEventsDecodeToStates)
{
    EncoderDevice d;
    d.graphState = 4;
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 7), 4u);  // other codes leave it
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 1), 2u);
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 0x17), 5u);
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 0x1C), 2u);
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 0x201), 5u);
    EXPECT_EQ(quvo::sdk::DecodeGraphEvent(d, 2), 2u);
    EXPECT_EQ(d.currentOutput, 6u);
    d.uninitialized = 1;
}

std::string ReadLog()
{
    std::ifstream in(quvo::sdk::TheLog().FileName(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The process-wide device, reached through the exports.
class NoBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QuvoSetDebugLevel(5), QUVO_SUCCESS);
        ASSERT_EQ(QuvoSetDebugTarget(1), QUVO_SUCCESS);
    }
    void TearDown() override { QuvoSetDebugTarget(0); }
};

TEST_F(NoBoardTest, InitializeStopsAtDiscoveryAndRepeatsEveryStep)
{
    uint32_t status = 0xFFFFFFFF;
    // The test's registry is empty: no filters either, which only warns.
    const uint32_t kNothingInstalled =
        QUVO_INIT_OWN_FILTERS_MISSING | QUVO_INIT_MPEG_FILTERS_MISSING | QUVO_INIT_DEVICE_NOT_FOUND;
    EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
    EXPECT_EQ(status, kNothingInstalled);
    EXPECT_EQ(quvo::sdk::TheDevice().uninitialized, 0u);
    std::string log = ReadLog();
    EXPECT_NE(log.find("---Enter : TvrInitialize---\r\nDirectX Version 8 or Above\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("***Error : Device Not Found\r\n---Exit : TvrInitialize---\r\n"), std::string::npos) << log;

    // The component library is already started on this thread: the second call
    // fails at that step.
    EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
    EXPECT_EQ(status, QUVO_INIT_COM_FAILED);
    EXPECT_NE(ReadLog().find("***Error : COM Initialize Failed.\r\n"), std::string::npos);

    uint32_t mask = 9;
    EXPECT_EQ(QuvoGetProcAmpCapabilities(&mask), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(mask, 0u);

    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);  // balances the second start
    EXPECT_EQ(quvo::sdk::TheDevice().uninitialized, 1u);
    EXPECT_NE(ReadLog().find("...Device Uninitialized...\r\n"), std::string::npos);
    // A fresh start works again after the shut-down.
    EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
    EXPECT_EQ(status, kNothingInstalled);
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
}

TEST_F(NoBoardTest, DeviceOperationsAnswerDeviceNotFoundWithTheirOutputRules)
{
    uint32_t length = 5;
    QUVO_WCHAR name[8];
    EXPECT_EQ(QuvoGetDeviceName(name, 8, &length), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(length, 0u);
    std::string log = ReadLog();
    EXPECT_NE(log.find("---Enter : TvrGetDeviceName---\r\n***Error : Failed to Get Device Name - Device Not Found\r\n"
                       "---Exit : TvrGetDeviceName---\r\n"),
              std::string::npos);

    // "clears": written before the check; "zero if none": written on this failure;
    // the rest leave the output alone.
    uint32_t cleared = 9, zeroIfNone = 9, untouched = 9;
    EXPECT_EQ(QuvoGetCurrentVideoCompressionStandard(&cleared), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(QuvoGetSupportedTVStandards(&zeroIfNone), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(QuvoGetCurrentAudioSamplingRate(&untouched), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(cleared, 0u);
    EXPECT_EQ(zeroIfNone, 0u);
    EXPECT_EQ(untouched, 9u);

    ControlRange range{1, 2, 3, 4, 5};
    EXPECT_EQ(QuvoGetProcAmpRange(1, &range), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(range.maximum, 1);
    EXPECT_EQ(QuvoSetCurrentOutput(6), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_NE(ReadLog().find("***Error : Set Output Signal Failed - Device not Found\r\n"), std::string::npos);

    // The device check comes before anything is stored, except for the two mode
    // setters, which reset their flags first.
    auto& d = quvo::sdk::TheDevice();
    d.playbackToDevice = d.previewAudio = 0;
    EXPECT_EQ(QuvoSetPlaybackMode(1), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(d.playbackToDevice, 0u);
    EXPECT_EQ(d.playbackVideo, 0u);
    EXPECT_EQ(QuvoSetPreviewMode(1), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(d.previewAudio, 1u);
    EXPECT_EQ(QuvoSetFileSizeLimit(3921), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(d.fileSizeLimit, 0x200000u);
    EXPECT_EQ(QuvoSetCaptureFileName(nullptr, 0), QUVO_ERR_DEVICE_NOT_FOUND);
    HWND window = RegisterWindow(nullptr, nullptr);
    EXPECT_EQ(QuvoSetEventNotificationWindow(window, 1224), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(QuvoSetPreviewWindow(window, 0, 0, 320, 240), QUVO_ERR_DEVICE_NOT_FOUND);
    UnregisterWindow(window);
    EXPECT_EQ(d.notifyMessage, 0u);
    EXPECT_EQ(d.previewWindow, nullptr);
    d.playbackToDevice = d.playbackAudio = d.playbackVideo = 1;
}

TEST_F(NoBoardTest, SettingsThatNeedNoBoardWork)
{
    const QUVO_GUID s{0x9D2E5600, 0x9099, 0x11D0, {0xB0, 0xAC, 0x00, 0x60, 0x97, 0x70, 0x7A, 0x2C}};
    const QUVO_GUID a{0x145BC782, 0xFC0C, 0x11CF, {0xBE, 0x4B, 0x00, 0xAA, 0x00, 0x3F, 0x29, 0xA1}};
    const QUVO_GUID v{0x145BC783, 0xFC0C, 0x11CF, {0xBE, 0x4B, 0x00, 0xAA, 0x00, 0x3F, 0x29, 0xA1}};
    EXPECT_EQ(QuvoSetFilters(&s, &a, &v), QUVO_SUCCESS);
    auto& d = quvo::sdk::TheDevice();
    EXPECT_EQ(d.userFiltersSet, 1u);
    EXPECT_EQ(GuidToString(d.splitterClsid), "{9D2E5600-9099-11D0-B0AC-006097707A2C}");
    EXPECT_EQ(GuidToString(d.audioDecoderClsid), "{145BC782-FC0C-11CF-BE4B-00AA003F29A1}");
    EXPECT_EQ(GuidToString(d.videoDecoderClsid), "{145BC783-FC0C-11CF-BE4B-00AA003F29A1}");

    EXPECT_EQ(QuvoSetDebugLevel(0), QUVO_SUCCESS);
    EXPECT_EQ(quvo::sdk::TheLog().Level(), 0u);
    EXPECT_EQ(QuvoSetDebugTarget(7), QUVO_SUCCESS);
    EXPECT_EQ(quvo::sdk::TheLog().Target(), 7u);
}

}  // namespace
