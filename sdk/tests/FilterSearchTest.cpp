// The start-up filter checks against built-in stand-in classes of this process:
// every candidate and own filter is a class whose creation the test switches on or
// off and counts, so the passes of the candidate search can be watched. No board
// is registered: start-up ends at discovery, after the checks.
#include <array>
#include <cstring>
#include <utility>

#include "platform/com/ClassFactory.h"
#include "platform/com/Runtime.h"
#include "platform/filters/tee/InfTee.h"
#include "platform/graph/Guids.h"
#include "sdk/FilterClassIds.h"
#include "sdk/tests/BoardSdkFixture.h"

namespace quvo::sdk::test {
namespace {

// Stand-in classes: the twelve candidates (pass by pass: splitter, audio, video),
// then the four own filters.
constexpr std::size_t kClasses = 16;
std::array<bool, kClasses> installed{};
std::array<int, kClasses> attempts{};

std::size_t CandidateIndex(int pass, int role) { return static_cast<std::size_t>((pass - 1) * 3 + role); }
enum Role { kSplitter = 0, kAudio = 1, kVideo = 2 };

const CLSID& ClassOf(std::size_t i)
{
    static const CLSID own[] = {CLSID_XFormFeedFace, CLSID_BraidMuxer, CLSID_TavrinFileReader, CLSID_TavrinFileWriter};
    if (i >= 12) return own[i - 12];
    const MpegCandidates& pass = kMpegCandidatePasses[i / 3];
    return i % 3 == 0 ? pass.splitter : i % 3 == 1 ? pass.audioDecoder : pass.videoDecoder;
}

// An installed class is a real filter (an Infinite Pin Tee) under the candidate's name.
template <std::size_t I>
CUnknown* CreateStandIn(IUnknown* outer, HRESULT* hr)
{
    ++attempts[I];
    if (!installed[I]) {
        *hr = REGDB_E_CLASSNOTREG;
        return nullptr;
    }
    return CreateComObject<quvo::filters::InfTee>(outer, hr);
}

template <std::size_t... I>
void RegisterStandIns(std::index_sequence<I...>)
{
    static const CFactoryTemplate standIns[] = {{u"stand-in", &ClassOf(I), &CreateStandIn<I>, nullptr, nullptr}...};
    RegisterBuiltinClasses(standIns, static_cast<int>(sizeof...(I)));
}

class FilterSearchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterStandIns(std::make_index_sequence<kClasses>()); }

    void SetUp() override
    {
        installed.fill(false);
        attempts.fill(0);
        EncoderDevice& d = TheDevice();
        d.userFiltersSet = 0;
        d.splitterClsid = d.audioDecoderClsid = d.videoDecoderClsid = GUID_NULL;
        QuvoSetDebugLevel(5);
        QuvoSetDebugTarget(1);
    }
    void TearDown() override
    {
        QuvoUninitialize();
        QuvoSetDebugTarget(0);
    }

    static void InstallOwnFilters()
    {
        for (std::size_t i = 12; i < kClasses; ++i) installed[i] = true;
    }

    // Start-up ends at discovery (no board here); returns its mask without that bit.
    static uint32_t StartUpChecks()
    {
        uint32_t status = 0;
        EXPECT_EQ(QuvoInitialize(&status), QUVO_ERR_FAILED);
        EXPECT_TRUE(status & QUVO_INIT_DEVICE_NOT_FOUND);
        return status & ~QUVO_INIT_DEVICE_NOT_FOUND;
    }
};

TEST_F(FilterSearchTest, SplitterInPassThreeDecodersInPassOne)
{
    InstallOwnFilters();
    installed[CandidateIndex(3, kSplitter)] = true;
    installed[CandidateIndex(1, kAudio)] = true;
    installed[CandidateIndex(1, kVideo)] = true;
    // Later candidates are installed too: the first of each role wins.
    installed[CandidateIndex(2, kAudio)] = installed[CandidateIndex(2, kVideo)] = true;
    installed[CandidateIndex(4, kSplitter)] = installed[CandidateIndex(4, kAudio)] = true;

    EXPECT_EQ(StartUpChecks(), 0u);
    const EncoderDevice& d = TheDevice();
    EXPECT_EQ(d.splitterClsid, kMpegCandidatePasses[2].splitter);
    EXPECT_EQ(d.audioDecoderClsid, kMpegCandidatePasses[0].audioDecoder);
    EXPECT_EQ(d.videoDecoderClsid, kMpegCandidatePasses[0].videoDecoder);
    // Found roles are not tried again, and the search ends with pass 3.
    EXPECT_EQ(attempts[CandidateIndex(1, kSplitter)], 1);
    EXPECT_EQ(attempts[CandidateIndex(2, kSplitter)], 1);
    EXPECT_EQ(attempts[CandidateIndex(3, kSplitter)], 1);
    EXPECT_EQ(attempts[CandidateIndex(2, kAudio)], 0);
    EXPECT_EQ(attempts[CandidateIndex(3, kVideo)], 0);
    EXPECT_EQ(attempts[CandidateIndex(4, kSplitter)], 0);
    const std::string log = ReadLog();
    EXPECT_EQ(Count(log, "Filters Found\r\n"), 1u) << log;
    EXPECT_EQ(log.find("Not Registered"), std::string::npos) << log;
    EXPECT_FALSE(d.splitterFilter);
    EXPECT_FALSE(d.audioDecoderFilter);
    EXPECT_FALSE(d.fileWriterFilter);
}

TEST_F(FilterSearchTest, RoleLeftOpenWarnsAndKeepsWhatWasFound)
{
    InstallOwnFilters();
    installed[CandidateIndex(2, kVideo)] = true;
    installed[CandidateIndex(4, kSplitter)] = true;
    EXPECT_EQ(StartUpChecks(), QUVO_INIT_MPEG_FILTERS_MISSING);
    const EncoderDevice& d = TheDevice();
    EXPECT_EQ(d.videoDecoderClsid, kMpegCandidatePasses[1].videoDecoder);
    EXPECT_EQ(d.splitterClsid, kMpegCandidatePasses[3].splitter);
    EXPECT_EQ(d.audioDecoderClsid, GUID_NULL);
    for (int pass = 1; pass <= 4; ++pass) EXPECT_EQ(attempts[CandidateIndex(pass, kAudio)], 1) << pass;
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : Mpeg Filters Not Registered\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Filters Found"), std::string::npos);
}

TEST_F(FilterSearchTest, EachMissingOwnFilterIsNamed)
{
    installed[CandidateIndex(1, kSplitter)] = installed[CandidateIndex(1, kAudio)] =
        installed[CandidateIndex(1, kVideo)] = true;
    installed[12 + 1] = installed[12 + 3] = true;  // muxer and writer
    EXPECT_EQ(StartUpChecks(), QUVO_INIT_OWN_FILTERS_MISSING);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : XFormFeedFace Filter not registered\r\n"
                       "***Error : TavrinFileReader Filter not registered\r\n"
                       "***Error : Tavrin Filters Not Registered\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("BraidMuxer Filter not registered"), std::string::npos);
    for (std::size_t i = 12; i < kClasses; ++i) EXPECT_EQ(attempts[i], 1) << i;
}

TEST_F(FilterSearchTest, UserFiltersReplaceTheSearch)
{
    InstallOwnFilters();
    for (std::size_t i = 0; i < 12; ++i) installed[i] = true;
    // Splitter of pass 4 and video decoder of pass 2 are there; the audio decoder
    // given is not a class at all.
    const GUID unknown{0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    QUVO_GUID s, a, v;
    std::memcpy(&s, &kMpegCandidatePasses[3].splitter, sizeof s);
    std::memcpy(&a, &unknown, sizeof a);
    std::memcpy(&v, &kMpegCandidatePasses[1].videoDecoder, sizeof v);
    ASSERT_EQ(QuvoSetFilters(&s, &a, &v), QUVO_SUCCESS);

    EXPECT_EQ(StartUpChecks(), QUVO_INIT_MPEG_FILTERS_MISSING);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("***Error : User Defined Audio Decoder Filter not registered\r\n"
                       "***Error : User Defined Filters Not Registered\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("User Defined Splitter"), std::string::npos);
    EXPECT_EQ(log.find("Mpeg Filters Not Registered"), std::string::npos);
    EXPECT_EQ(attempts[CandidateIndex(1, kSplitter)], 0);
    EXPECT_EQ(attempts[CandidateIndex(4, kSplitter)], 1);
    // The identifiers stay those the host gave.
    EXPECT_EQ(TheDevice().audioDecoderClsid, unknown);
    EXPECT_EQ(TheDevice().splitterClsid, kMpegCandidatePasses[3].splitter);
}

}  // namespace
}  // namespace quvo::sdk::test
