// Start-up and shut-down with the virtual board registered: discovery by friendly
// name (none, a near miss, two boards, the other models), the own-filter check
// with only the writer installed, the device name's buffer rules, a second start
// without shut-down, and what shut-down releases and removes.
#include <cstring>
#include <string>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/win32/Text.h"
#include "sdk/FilterClassIds.h"
#include "sdk/tests/BoardSdkFixture.h"

namespace quvo::sdk::test {
namespace {

// The maker's three playback filters are not installed here, the writer is, and
// no MPEG candidate is: both filter warnings come with every start.
constexpr uint32_t kFilterWarnings = QUVO_INIT_OWN_FILTERS_MISSING | QUVO_INIT_MPEG_FILTERS_MISSING;

class StartupTest : public BoardSdkTest {
protected:
    static void SetUpTestSuite()
    {
        BoardSdkTest::SetUpTestSuite();
        ASSERT_TRUE(RegisterModule("TvrFileWriter"));
    }

    static uint32_t InitializeFails()
    {
        uint32_t status = 0;
        EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
        return status;
    }

    static std::u16string DeviceName()
    {
        QUVO_WCHAR name[260] = {};
        uint32_t length = 0;
        EXPECT_EQ(QuvoGetDeviceName(name, 260, &length), QUVO_SUCCESS);
        return std::u16string(name, length);
    }
};

TEST_F(StartupTest, NoVideoCaptureDevice)
{
    ASSERT_TRUE(Board({"devices", "--none"}));
    EXPECT_EQ(InitializeFails(), kFilterWarnings | QUVO_INIT_DEVICE_NOT_FOUND);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : Video Capture Class Instance Failed\r\n***Error : Device Not Found\r\n"
                       "---Exit : TvrInitialize---\r\n"),
              std::string::npos)
        << log;
    uint32_t mask = 7;
    EXPECT_EQ(QuvoGetDeviceCapabilities(&mask), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(mask, 0u);
}

TEST_F(StartupTest, NameWithTrailingSpaceIsNoBoard)
{
    ASSERT_TRUE(Board({"devices", "Kestor Recorder A "}));
    EXPECT_EQ(InitializeFails(), kFilterWarnings | QUVO_INIT_DEVICE_NOT_FOUND);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Capture Device : Kestor Recorder A  Found\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("***Device"), std::string::npos) << log;
    EXPECT_EQ(Device().deviceFound, 0u);
}

TEST_F(StartupTest, TwoBoardsFailWithoutADevice)
{
    ASSERT_TRUE(Board({"devices", "Kestor Recorder A", "Kestor Studio C"}));
    EXPECT_EQ(InitializeFails(), kFilterWarnings | QUVO_INIT_MULTIPLE_DEVICES);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Device Kestor Recorder A Found***\n\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("***Device Kestor Studio C Found***\n\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("***Error : Multiple Instance Found\r\n"), std::string::npos) << log;
    EXPECT_EQ(Device().deviceFound, 0u);
    // The later match's name is kept all the same.
    EXPECT_STREQ(Device().deviceNameA, "Kestor Studio C");
    uint32_t length = 9;
    EXPECT_EQ(QuvoGetDeviceName(nullptr, 0, &length), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(length, 0u);
}

TEST_F(StartupTest, EveryModelIsFoundAmongOtherDevices)
{
    for (const char* model : {"Kestor Recorder B", "Kestor Studio C"}) {
        ASSERT_TRUE(Board({"devices", "USB Camera", model, "kestor recorder a"}));
        EXPECT_EQ(InitializeOk(), kFilterWarnings) << model;
        EXPECT_EQ(DeviceName(), text::Utf8ToUtf16(model));
        EXPECT_NE(ReadLog().find(std::string("***Device ") + model + " Found***"), std::string::npos);
        QuvoUninitialize();
    }
}

TEST_F(StartupTest, OnlyTheMissingOwnFiltersAreReported)
{
    InitializeOk();
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : XFormFeedFace Filter not registered\r\n"
                       "***Error : BraidMuxer Filter not registered\r\n"
                       "***Error : TavrinFileReader Filter not registered\r\n"
                       "***Error : Tavrin Filters Not Registered\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("TavrinFileWriter Filter not registered"), std::string::npos);
    EXPECT_NE(log.find("***Error : Mpeg Filters Not Registered\r\n"), std::string::npos);
    // The test instances are gone by the end of the start-up.
    EXPECT_FALSE(Device().fileWriterFilter);
    EXPECT_FALSE(Device().splitterFilter);
    EXPECT_FALSE(Device().videoDecoderFilter);
}

TEST_F(StartupTest, DeviceNameNeedsRoomForTheTerminatingZero)
{
    InitializeOk();
    const std::u16string expected = u"Kestor Recorder A";
    const uint32_t n = static_cast<uint32_t>(expected.size());
    QUVO_WCHAR buffer[32];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    uint32_t length = 0;

    EXPECT_EQ(QuvoGetDeviceName(buffer, n, &length), QUVO_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, n);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_NE(ReadLog().find("***Error : Failed to get device name - Out of memory\r\n"), std::string::npos);

    length = 0;
    EXPECT_EQ(QuvoGetDeviceName(nullptr, 100, &length), QUVO_ERR_INVALID_POINTER);
    EXPECT_EQ(length, n);

    EXPECT_EQ(QuvoGetDeviceName(buffer, n + 1, &length), QUVO_SUCCESS);
    EXPECT_EQ(std::u16string(buffer), expected);
    EXPECT_EQ(buffer[n + 1], u'#');
}

TEST_F(StartupTest, SecondStartFailsAndKeepsTheFirst)
{
    InitializeOk();
    IBaseFilter* first = Device().captureFilter.Get();
    EXPECT_EQ(InitializeFails(), QUVO_INIT_COM_FAILED);
    EXPECT_EQ(Device().deviceFound, 1u);
    EXPECT_EQ(Device().captureFilter.Get(), first);
    EXPECT_EQ(DeviceName(), u"Kestor Recorder A");
    uint32_t standard = 0;
    EXPECT_EQ(QuvoGetCurrentVideoCompressionStandard(&standard), QUVO_SUCCESS);

    // One shut-down per start balances the component library; then a start works again.
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    EXPECT_EQ(InitializeOk(), kFilterWarnings);
    EXPECT_NE(Device().captureFilter.Get(), nullptr);
}

TEST_F(StartupTest, ShutDownWithoutStartStillEndsTheComponentLibrary)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    EXPECT_EQ(Device().uninitialized, 1u);
    EXPECT_NE(ReadLog().find("...Device Uninitialized...\r\n"), std::string::npos);
    // The thread's start above was undone: a new one is a first start again.
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

// Two filters hang below the capture filter: capture -> tee -> tee.
TEST_F(StartupTest, ShutDownRemovesEverythingDownstreamAndReleasesTheDevice)
{
    InitializeOk();
    EncoderDevice& d = Device();
    const ComPtr<IGraphBuilder> graph = d.graphBuilder;
    ComPtr<IBaseFilter> tee1, tee2;
    ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               tee1.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               tee2.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(graph->AddFilter(tee1.Get(), u"Tee 1"), S_OK);
    ASSERT_EQ(graph->AddFilter(tee2.Get(), u"Tee 2"), S_OK);
    ComPtr<IPin> captureOut, tee1In, tee1Out, tee2In;
    ASSERT_EQ(d.captureGraphBuilder->FindPin(d.captureFilter.Get(), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0,
                                             &captureOut),
              S_OK);
    ASSERT_EQ(d.captureGraphBuilder->FindPin(tee1.Get(), PINDIR_INPUT, nullptr, nullptr, TRUE, 0, &tee1In), S_OK);
    ASSERT_EQ(graph->ConnectDirect(captureOut.Get(), tee1In.Get(), nullptr), S_OK);
    ASSERT_EQ(d.captureGraphBuilder->FindPin(tee1.Get(), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, &tee1Out), S_OK);
    ASSERT_EQ(d.captureGraphBuilder->FindPin(tee2.Get(), PINDIR_INPUT, nullptr, nullptr, TRUE, 0, &tee2In), S_OK);
    ASSERT_EQ(graph->ConnectDirect(tee1Out.Get(), tee2In.Get(), nullptr), S_OK);

    EXPECT_EQ(QuvoUninitialize(), QUVO_SUCCESS);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(graph->EnumFilters(&filters), S_OK);
    ComPtr<IBaseFilter> left;
    EXPECT_NE(filters->Next(1, &left, nullptr), S_OK) << "a filter is still in the graph";
    ComPtr<IPin> peer;
    EXPECT_NE(tee1In->ConnectedTo(&peer), S_OK);
    EXPECT_NE(tee2In->ConnectedTo(&peer), S_OK);

    EXPECT_EQ(d.deviceFound, 0u);
    EXPECT_FALSE(d.captureFilter);
    EXPECT_FALSE(d.graphBuilder);
    EXPECT_FALSE(d.captureGraphBuilder);
    EXPECT_FALSE(d.videoDecoderControl);
    EXPECT_FALSE(d.procAmp);
    EXPECT_FALSE(d.deviceMoniker);
    EXPECT_EQ(d.graphState, 0u);
    uint32_t detected = 5;
    EXPECT_EQ(QuvoIsSignalDetected(&detected), QUVO_ERR_DEVICE_NOT_FOUND);
    EXPECT_EQ(detected, 0u);
}

// The MPEG module of this project serves all three roles under the first pass's
// identifiers, through the registry.
TEST_F(StartupTest, RegisteredMpegModuleFillsEveryRoleInTheFirstPass)
{
    ASSERT_TRUE(RegisterModule("MpegDecoders"));
    EXPECT_EQ(InitializeOk(), QUVO_INIT_OWN_FILTERS_MISSING);
    EXPECT_EQ(Device().splitterClsid, kMpegCandidatePasses[0].splitter);
    EXPECT_EQ(Device().audioDecoderClsid, kMpegCandidatePasses[0].audioDecoder);
    EXPECT_EQ(Device().videoDecoderClsid, kMpegCandidatePasses[0].videoDecoder);
    EXPECT_NE(ReadLog().find("\nFilters Found\r\n"), std::string::npos);
    EXPECT_TRUE(RegisterModule("MpegDecoders", true));
}

}  // namespace
}  // namespace quvo::sdk::test
