// Recording from a running preview: the writer sits in the preview graph in
// capture-on-the-fly mode and QuvoStartRecording / QuvoStopRecording switch it.
// Every recording and every fragment must begin at a start point (pack header, then
// a system or sequence header) and decode cleanly; the ".mzl" lists each fragment
// with its exact size.
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "sdk/EncoderDevice.h"
#include "sdk/graphs/tests/SdkGraphFixture.h"

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

using RecordingTest = SdkGraphTest;

TEST_F(RecordingTest, ThreeRecordingsUnderNewNames)
{
    ASSERT_TRUE(ApplyPreset(kSvcd));
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    uint64_t total = 0;
    ASSERT_EQ(QuvoGetBytesStreamed(&total), QUVO_SUCCESS);
    EXPECT_EQ(total, 0u);  // on the fly: nothing until a recording starts

    for (int i = 0; i < 3; ++i) {
        const std::string file = TempPath("take" + std::to_string(i) + ".mpg");
        // A running preview without a recording hands the name to the writer at once.
        ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
        ASSERT_EQ(QuvoStartRecording(), QUVO_SUCCESS);
        std::this_thread::sleep_for(2s);
        ASSERT_EQ(QuvoStopRecording(), QUVO_SUCCESS);
        uint64_t now = 0;
        ASSERT_EQ(QuvoGetBytesStreamed(&now), QUVO_SUCCESS);
        EXPECT_GT(now, total) << "recording " << i << " wrote nothing";
        total = now;
    }
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    uint64_t onDisk = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string file = TempPath("take" + std::to_string(i) + ".mpg");
        const auto bytes = ReadFile(file);
        onDisk += bytes.size();
        EXPECT_TRUE(BeginsAtStartPoint(bytes)) << file;
        EXPECT_EQ(DecodeErrors(file), "") << file;
        EXPECT_EQ(Probe(file).videoCodec, "mpeg2video") << file;
    }
    EXPECT_EQ(onDisk, total);
}

TEST_F(RecordingTest, FragmentsListedWithExactSizesAndJoinIntoOneStream)
{
    ASSERT_TRUE(ApplyPreset(kDvd));
    ASSERT_EQ(QuvoSetFileSizeLimit(2), QUVO_SUCCESS);  // 2 x 256 KiB
    const std::string file = TempPath("frag.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartRecording(), QUVO_SUCCESS);
    std::this_thread::sleep_for(4s);
    ASSERT_EQ(QuvoStopRecording(), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);

    std::ifstream description(TempPath("frag.mzl"), std::ios::binary);
    ASSERT_TRUE(description.is_open());
    std::stringstream text;
    text << description.rdbuf();
    std::string line;
    std::istringstream lines(text.str());
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "TVMP\r");

    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
    std::ofstream joined(TempPath("joined.mpg"), std::ios::binary);
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        const auto semicolon = line.find(';');
        ASSERT_NE(semicolon, std::string::npos) << line;
        const std::string name = line.substr(0, semicolon);
        const uint64_t size = std::stoull(line.substr(semicolon + 1));
        const std::string expected = names.empty() ? "frag.mpg" : "frag_" + std::to_string(names.size()) + ".mpg";
        EXPECT_EQ(name, expected);
        const auto bytes = ReadFile(TempPath(name));
        EXPECT_EQ(bytes.size(), size) << name;
        sizes.push_back(size);
        EXPECT_TRUE(BeginsAtStartPoint(bytes)) << name;
        joined.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        names.push_back(name);
    }
    joined.close();
    EXPECT_GE(names.size(), 3u) << text.str();
    // A fragment ends at a start point before its limit.
    for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_LE(sizes[i], 512u * 1024u) << names[i];
    EXPECT_EQ(DecodeErrors(TempPath("joined.mpg")), "");
    EXPECT_NEAR(Probe(TempPath("joined.mpg")).duration, 4.0, 1.0);
}

TEST_F(RecordingTest, LimitsAndNamesAsStored)
{
    EXPECT_EQ(QuvoSetFileSizeLimit(3921), QUVO_SUCCESS);
    EXPECT_EQ(TheDevice().fileSizeLimit, 1003776u);
    EXPECT_EQ(QuvoSetFileSizeLimit(0xFFFFFFFF), QUVO_SUCCESS);
    EXPECT_EQ(TheDevice().fileSizeLimit, 0xFFFFFF00u);
    EXPECT_EQ(QuvoSetCaptureLimit(0xFFFFFFFF), QUVO_SUCCESS);
    EXPECT_EQ(TheDevice().captureLimit, 4398046510080ull);
    // Names typed with backslashes get the separator of this system.
    EXPECT_EQ(QuvoSetCaptureFileName("dir\\movie.mpg", 0), QUVO_SUCCESS);
    EXPECT_EQ(std::u16string(TheDevice().captureFileName), u"dir/movie.mpg");
    EXPECT_EQ(QuvoSetCaptureFileName(nullptr, 0), QUVO_ERR_INVALID_POINTER);
    EXPECT_EQ(QuvoStartRecording(), QUVO_ERR_FAILED);  // no graph, no writer
    EXPECT_EQ(QuvoStopRecording(), QUVO_ERR_FAILED);
    uint64_t bytes = 0;
    EXPECT_EQ(QuvoGetBytesStreamed(&bytes), QUVO_ERR_FAILED);
    // A name longer than 259 characters does not fit.
    const std::string tooLong(300, 'a');
    EXPECT_EQ(QuvoSetCaptureFileName(tooLong.c_str(), 0), QUVO_ERR_FAILED);
}

// A capture limit reached mid-capture: the file holds exactly the limit.
TEST_F(RecordingTest, CaptureStopsWritingAtTheLimit)
{
    ASSERT_TRUE(ApplyPreset(kDvd));
    ASSERT_EQ(QuvoSetCaptureLimit(256), QUVO_SUCCESS);  // KiB
    ASSERT_EQ(QuvoSetPreviewMode(1), QUVO_SUCCESS);
    const std::string file = TempPath("limited.mpg");
    ASSERT_EQ(QuvoSetCaptureFileName(file.c_str(), 0), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
    std::this_thread::sleep_for(2s);
    uint64_t bytes = 0;
    ASSERT_EQ(QuvoGetBytesStreamed(&bytes), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStopCapture(), QUVO_SUCCESS);
    EXPECT_EQ(bytes, 256u * 1024u);
    EXPECT_EQ(ReadFile(file).size(), 256u * 1024u);
}

}  // namespace
}  // namespace quvo::sdk::test
