// Capture on the fly on real files: nothing is written until StartRecording; the
// recording begins at the pack header before the first system or sequence header;
// near its limit a fragment ends where a new start point begins, never past the
// limit; bytes cut
// off at block ends (held back, carried over) reach the file unchanged, at the
// latest when the recording stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filewriter/WriterState.h"
#include "filewriter/tests/ProgramStream.h"
#include "filewriter/tests/TestFiles.h"

namespace quvo::filewriter {
namespace {

using Bytes = std::vector<BYTE>;
using test::ReadBytes;
using test::ReadText;
using test::TempDir;

void Code(Bytes& b, BYTE code) { b.insert(b.end(), {0x00, 0x00, 0x01, code}); }
void Filler(Bytes& b, std::size_t n) { b.insert(b.end(), n, 0x5A); }
Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

class OnTheFlyTest : public ::testing::Test {
protected:
    OnTheFlyTest()
        : w_([](const std::string&, std::string* out) {
              *out = "EXT4";
              return true;
          })
    {
    }

    void Begin(const std::string& name)
    {
        w_.EnableCaptureOnTheFly();
        ASSERT_EQ(w_.SetFileName(dir_.Wide(name).c_str()), S_OK);
        w_.Pause();
        w_.Run();
    }

    void Feed(const Bytes& b, std::size_t from, std::size_t to)
    {
        ASSERT_EQ(w_.WriteData(b.data() + from, static_cast<DWORD>(to - from)), S_OK);
    }
    void Feed(const Bytes& b) { Feed(b, 0, b.size()); }
    // The whole buffer in blocks of `step` bytes.
    void FeedInSteps(const Bytes& b, std::size_t step)
    {
        for (std::size_t at = 0; at < b.size(); at += step) Feed(b, at, std::min(b.size(), at + step));
    }

    TempDir dir_;
    WriterState w_;
};

TEST_F(OnTheFlyTest, NothingIsWrittenUntilRecordingStarts)
{
    Begin("idle.mpg");
    Bytes b;
    Code(b, 0xBA);
    Code(b, 0xBB);
    Feed(b);
    EXPECT_EQ(w_.BytesStreamed(), 0u);
    w_.Stop();
    EXPECT_EQ(ReadText(dir_.File("idle.mpg")), "");
    EXPECT_EQ(ReadText(dir_.File("idle.mzl")), "TVMP\r\n");
}

TEST_F(OnTheFlyTest, RecordingBeginsAtThePackHeaderBeforeTheFirstSequenceHeader)
{
    Begin("start.mpg");
    ASSERT_EQ(w_.StartRecording(), S_OK);
    // Pack headers at 0 and 2048, a sequence header at 2062.
    Bytes b;
    Code(b, 0xBA);
    Filler(b, 2044);
    Code(b, 0xBA);
    Filler(b, 10);
    Code(b, 0xB3);
    Filler(b, 300);
    Feed(b);
    Bytes next(500, 0x11);
    Feed(next);
    w_.Stop();
    Bytes expected = Slice(b, 2048, b.size());
    expected.insert(expected.end(), next.begin(), next.end());
    EXPECT_EQ(ReadBytes(dir_.File("start.mpg")), expected);
    EXPECT_EQ(ReadText(dir_.File("start.mzl")), "TVMP\r\nstart.mpg;" + std::to_string(expected.size()) + "\r\n");
}

TEST_F(OnTheFlyTest, SequenceHeaderWithoutPackHeaderDoesNotStartTheRecording)
{
    Begin("nopack.mpg");
    ASSERT_EQ(w_.StartRecording(), S_OK);
    Bytes b;
    Code(b, 0xE0);  // the middle of a packet, then its sequence header
    Code(b, 0xB3);
    Filler(b, 100);
    Feed(b);
    EXPECT_EQ(w_.BytesStreamed(), 0u);
    Bytes c;
    Filler(c, 7);
    Code(c, 0xBA);
    Filler(c, 10);
    Code(c, 0xBB);
    Filler(c, 50);
    Feed(c);
    w_.Stop();
    EXPECT_EQ(ReadBytes(dir_.File("nopack.mpg")), Slice(c, 7, c.size()));
}

TEST_F(OnTheFlyTest, StartCodesCutByBlockEndsAreJoinedUnchanged)
{
    // The pack header and the system header that make the start point arrive one
    // byte at a time, after a block ending with 00 00 01 that is held back.
    Begin("joined.mpg");
    ASSERT_EQ(w_.StartRecording(), S_OK);
    Bytes s;
    Filler(s, 30);
    Code(s, 0xBA);
    Filler(s, 10);
    Code(s, 0xBB);
    Filler(s, 40);
    Feed(s, 0, 33);  // ends with 00 00 01
    EXPECT_EQ(w_.PendingBytes(), 3u);
    for (std::size_t i = 33; i < 50; ++i) Feed(s, i, i + 1);
    Feed(s, 50, s.size());
    w_.Stop();
    EXPECT_EQ(ReadBytes(dir_.File("joined.mpg")), Slice(s, 30, s.size()));
}

TEST_F(OnTheFlyTest, FragmentsSplitOnlyAtStartPoints)
{
    test::ProgramStreamBuilder ps(3);
    ps.Random(100);
    ps.Stream(300, 6);
    const Bytes& b = ps.Bytes();
    Begin("split.mpg");
    w_.SetFileSizeLimit(32);  // KiB; groups of pictures are up to 11 KB
    ASSERT_EQ(w_.StartRecording(), S_OK);
    FeedInSteps(b, 1000);
    w_.StopRecording();

    const std::vector<std::size_t>& starts = ps.StartPoints();
    ASSERT_GT(starts.size(), 4u);
    Bytes all;
    std::string description = "TVMP\r\n";
    for (int i = 0; i <= w_.FragmentIndex(); ++i) {
        std::string name = i == 0 ? "split.mpg" : "split_" + std::to_string(i) + ".mpg";
        Bytes f = ReadBytes(dir_.File(name));
        ASSERT_FALSE(f.empty()) << name;
        EXPECT_LE(f.size(), 32u * 1024) << name;
        // Each fragment begins at a start point of the stream.
        std::size_t at = starts.front() + all.size();
        EXPECT_NE(std::find(starts.begin(), starts.end(), at), starts.end()) << name << " at " << at;
        all.insert(all.end(), f.begin(), f.end());
        description += name + ";" + std::to_string(f.size()) + "\r\n";
    }
    EXPECT_GT(w_.FragmentIndex(), 2);
    EXPECT_EQ(all, Slice(b, starts.front(), b.size()));
    EXPECT_EQ(ReadText(dir_.File("split.mzl")), description);
    EXPECT_EQ(w_.BytesStreamed(), b.size() - starts.front());
}

TEST_F(OnTheFlyTest, HeldBackAndCarriedBytesReachTheFileAtStop)
{
    Begin("tail.mpg");
    w_.SetFileSizeLimit(2);
    ASSERT_EQ(w_.StartRecording(), S_OK);
    Bytes a;
    for (int i = 0; i < 2; ++i) {
        Code(a, 0xBA);
        Code(a, 0xBB);
        Filler(a, 600);
    }
    Feed(a);  // start points 608 bytes apart: the fragment is now near its limit and scanned
    Bytes b;
    Filler(b, 100);
    b.insert(b.end(), {0x00, 0x00});  // no start point: these two are held back
    Feed(b);
    EXPECT_EQ(w_.PendingBytes(), 2u);
    EXPECT_EQ(w_.FragmentBytes(), a.size() + b.size());  // held back, yet in the file already
    Bytes c = {0x00, 0x00, 0x01, 0xE0, 0x07};
    Code(c, 0xBA);  // a pack with nothing after it yet: carried over
    Filler(c, 20);
    Feed(c);
    EXPECT_EQ(w_.PendingBytes(), 24u);
    w_.Stop();
    Bytes expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    EXPECT_EQ(ReadBytes(dir_.File("tail.mpg")), expected);
    EXPECT_EQ(ReadText(dir_.File("tail.mzl")), "TVMP\r\ntail.mpg;" + std::to_string(expected.size()) + "\r\n");
}

TEST_F(OnTheFlyTest, StopRecordingEndsTheRecordingAndANewNameStartsTheNext)
{
    Begin("first.mpg");
    ASSERT_EQ(w_.StartRecording(), S_OK);
    Bytes b;
    Code(b, 0xBA);
    Code(b, 0xB3);
    Filler(b, 100);
    Feed(b);
    EXPECT_EQ(w_.StopRecording(), S_OK);
    EXPECT_FALSE(w_.FragmentOpen());
    Feed(b);  // dropped
    EXPECT_EQ(w_.BytesStreamed(), b.size());

    ASSERT_EQ(w_.SetFileName(dir_.Wide("second.mpg").c_str()), S_OK);
    ASSERT_EQ(w_.StartRecording(), S_OK);
    Bytes lead(10, 0x33);
    Feed(lead);  // before a start point: not part of the recording
    Feed(b);
    w_.StopRecording();
    EXPECT_EQ(ReadBytes(dir_.File("first.mpg")), b);
    EXPECT_EQ(ReadBytes(dir_.File("second.mpg")), b);
    EXPECT_EQ(ReadText(dir_.File("second.mzl")), "TVMP\r\nsecond.mpg;" + std::to_string(b.size()) + "\r\n");
    EXPECT_EQ(w_.BytesStreamed(), 2 * b.size());
}

TEST_F(OnTheFlyTest, CaptureLimitCountsFromTheStartPoint)
{
    test::ProgramStreamBuilder ps(5);
    ps.Random(333);
    ps.Stream(30, 4);
    const Bytes& b = ps.Bytes();
    Begin("limited.mpg");
    w_.SetCaptureLimit(5000);
    ASSERT_EQ(w_.StartRecording(), S_OK);
    FeedInSteps(b, 777);
    EXPECT_TRUE(w_.LimitReached());
    w_.Stop();
    std::size_t start = ps.StartPoints().front();
    EXPECT_EQ(ReadBytes(dir_.File("limited.mpg")), Slice(b, start, start + 5000));
    EXPECT_EQ(w_.BytesStreamed(), 5000u);
}

}  // namespace
}  // namespace quvo::filewriter
