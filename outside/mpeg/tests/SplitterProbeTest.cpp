// The splitter's look at the start of a file: picture size, frame rate and the
// whole sequence header of the video; kind, stream, substream, offset and rate of
// the first audio stream; defaults when the file cannot be read.
#include <gtest/gtest.h>

#include "outside/mpeg/SplitterProbe.h"
#include "outside/mpeg/tests/MediaFiles.h"

namespace quvo::mpegdec {
namespace {

TEST(SplitterProbe, DvdWithLinearPcm)
{
    const std::string path = test::MakeProgramStream("probe-lpcm.mpg", "pal-dvd", 1, "-acodec pcm_dvd -ac 2");
    ASSERT_FALSE(path.empty());
    const StreamProbe p = ProbeProgramStreamFile(path);
    EXPECT_TRUE(p.video);
    EXPECT_EQ(p.width, 720);
    EXPECT_EQ(p.height, 576);
    EXPECT_EQ(p.frameDuration, 400000);
    ASSERT_GE(p.sequenceHeader.size(), 12u);
    EXPECT_EQ(p.sequenceHeader[3], 0xB3);
    EXPECT_EQ(p.audio, ProbedAudio::Lpcm);
    EXPECT_EQ(p.audioId, 0xBD);
    EXPECT_EQ(p.substream, 0xA0u);
    EXPECT_EQ(p.dataOffset, 7);
    EXPECT_EQ(p.rate, 48000);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.bits, 16);
}

TEST(SplitterProbe, DvdWithAc3AndVcdWithMpegAudio)
{
    const std::string dvd = test::MakeProgramStream("probe-ac3.mpg", "pal-dvd", 1);
    ASSERT_FALSE(dvd.empty());
    const StreamProbe a = ProbeProgramStreamFile(dvd);
    EXPECT_EQ(a.audio, ProbedAudio::Ac3);
    EXPECT_EQ(a.substream, 0x80u);
    EXPECT_EQ(a.dataOffset, 4);
    EXPECT_EQ(a.rate, 48000);

    const std::string vcd = test::MakeProgramStream("probe-vcd.mpg", "pal-vcd", 1);
    ASSERT_FALSE(vcd.empty());
    const StreamProbe v = ProbeProgramStreamFile(vcd);
    EXPECT_TRUE(v.video);
    EXPECT_EQ(v.width, 352);
    EXPECT_EQ(v.height, 288);
    EXPECT_EQ(v.audio, ProbedAudio::Mpeg);
    EXPECT_EQ(v.audioId, 0xC0);
    EXPECT_EQ(v.dataOffset, 0);
    EXPECT_EQ(v.rate, 44100);
}

TEST(SplitterProbe, MissingFileGivesTheDefaults)
{
    const StreamProbe p = ProbeProgramStreamFile(test::TempPath("no-such-file.mpg"));
    EXPECT_FALSE(p.video);
    EXPECT_EQ(p.width, 720);
    EXPECT_EQ(p.height, 576);
    EXPECT_EQ(p.audio, ProbedAudio::Lpcm);
    EXPECT_EQ(p.rate, 48000);
}

}  // namespace
}  // namespace quvo::mpegdec
