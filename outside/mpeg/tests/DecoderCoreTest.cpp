// Decoder cores over ffmpeg-made program streams (DVD with linear PCM and AC-3,
// SVCD, VCD), demultiplexed by our parser: every picture decodes without error, in
// display order with increasing times from near zero, and the first picture
// matches ffmpeg's own decode to BGRA; audio comes out as 16-bit PCM of the right
// length, and linear PCM exactly as ffmpeg decodes it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "outside/mpeg/AudioDecoderCore.h"
#include "outside/mpeg/VideoDecoderCore.h"
#include "outside/mpeg/tests/MediaFiles.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"

namespace quvo::mpegdec {
namespace {

struct Decoded {
    std::vector<std::int64_t> pictureTimes;
    std::vector<std::uint8_t> firstPicture;  // BGRA
    int width = 0, height = 0;
    std::vector<std::int16_t> pcm;
    std::int64_t firstAudioTime = -1;
    std::uint64_t videoErrors = 0, audioErrors = 0;
};

Decoded DecodeFile(const std::string& path, std::uint8_t audioId, std::uint32_t substream, std::size_t offset,
                   AudioCoding coding, int width, int height)
{
    Decoded d;
    d.width = width;
    d.height = height;
    VideoDecoderCore video;
    AudioDecoderCore audio;
    EXPECT_TRUE(video.Open(400000));
    EXPECT_TRUE(audio.Open(coding, 2, 48000, 16));

    mpeg::StreamRouter router;
    router.Map({0xE0, 0, 0, 0});
    router.Map({audioId, substream, offset, 1});
    mpeg::TimeStampClock clock;

    auto onPicture = [&](const DecodedPicture& p) {
        d.pictureTimes.push_back(p.hasTime ? p.start : -1);
        if (d.firstPicture.empty()) {
            d.firstPicture.resize(static_cast<std::size_t>(width) * height * 4);
            EXPECT_TRUE(video.ConvertToBgra(p.frame, d.firstPicture.data(), width * 4, width, height));
        }
        return true;
    };
    auto onPcm = [&](const PcmBlock& b) {
        if (d.firstAudioTime < 0 && b.hasTime) d.firstAudioTime = b.start;
        d.pcm.insert(d.pcm.end(), b.samples, b.samples + b.frames * 2);
        return true;
    };
    mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& p) {
        mpeg::RoutedPayload r;
        if (!router.Route(p, &r)) return;
        const std::int64_t t = p.hasPts ? clock.ToReferenceTime(p.pts) : 0;
        if (r.output == 0) video.Decode(r.data, r.size, p.hasPts, t, onPicture);
        else audio.Decode(r.data, r.size, p.hasPts, t, onPcm);
    });
    const std::vector<std::uint8_t> data = test::ReadFile(path);
    for (std::size_t pos = 0; pos < data.size(); pos += 2048)
        parser.Push(data.data() + pos, std::min<std::size_t>(2048, data.size() - pos));
    video.Drain(onPicture);
    audio.Drain(onPcm);
    d.videoErrors = video.Errors();
    d.audioErrors = audio.Errors();
    return d;
}

void ExpectPictures(const Decoded& d, std::size_t count)
{
    EXPECT_EQ(d.videoErrors, 0u);
    ASSERT_EQ(d.pictureTimes.size(), count);
    EXPECT_GE(d.pictureTimes.front(), 0);
    EXPECT_LT(d.pictureTimes.front(), 2000000);  // within 200 ms of the first time stamp
    for (std::size_t i = 1; i < d.pictureTimes.size(); ++i)
        EXPECT_EQ(d.pictureTimes[i] - d.pictureTimes[i - 1], 400000) << i;
}

// Mean absolute difference per byte against ffmpeg's own first picture.
double DifferenceFromReference(const std::string& path, const Decoded& d)
{
    const std::string ref = test::Run("ffmpeg -nostdin -v error -threads 1 -i " + path + " -frames:v 1 -s "
                                      + std::to_string(d.width) + "x" + std::to_string(d.height)
                                      + " -pix_fmt bgra -f rawvideo -");
    if (ref.size() != d.firstPicture.size()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < ref.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(static_cast<int>(static_cast<std::uint8_t>(ref[i + c])) - d.firstPicture[i + c]);
    return sum / (ref.size() / 4 * 3);
}

TEST(DecoderCore, DvdLinearPcmProgramStream)
{
    const std::string path = test::MakeProgramStream("dvd-lpcm.mpg", "pal-dvd", 2, "-acodec pcm_dvd -ac 2");
    ASSERT_FALSE(path.empty());
    const Decoded d = DecodeFile(path, 0xBD, 0xA0, 7, AudioCoding::Lpcm, 720, 576);
    ExpectPictures(d, 50);
    EXPECT_LT(DifferenceFromReference(path, d), 1.0);

    // Linear PCM is exact: compare with ffmpeg's own decoding.
    const std::string ref = test::Run("ffmpeg -nostdin -v error -i " + path + " -map 0:a -f s16le -");
    ASSERT_EQ(d.pcm.size() * 2, ref.size());
    EXPECT_EQ(std::memcmp(d.pcm.data(), ref.data(), ref.size()), 0);
    EXPECT_GE(d.firstAudioTime, 0);
    EXPECT_EQ(d.audioErrors, 0u);
}

TEST(DecoderCore, DvdAc3ProgramStream)
{
    const std::string path = test::MakeProgramStream("dvd-ac3.mpg", "pal-dvd", 2);
    ASSERT_FALSE(path.empty());
    const Decoded d = DecodeFile(path, 0xBD, 0x80, 4, AudioCoding::Ac3, 720, 576);
    ExpectPictures(d, 50);
    EXPECT_EQ(d.audioErrors, 0u);
    // AC-3 frames hold 1536 samples; the encoder pads the last one.
    EXPECT_NEAR(static_cast<double>(d.pcm.size() / 2), 96000.0, 1536.0 * 2);
}

TEST(DecoderCore, SvcdMpeg2VideoWithMpegAudio)
{
    const std::string path = test::MakeProgramStream("svcd.mpg", "pal-svcd", 2);
    ASSERT_FALSE(path.empty());
    const Decoded d = DecodeFile(path, 0xC0, mpeg::kNoSubstreamFilter, 0, AudioCoding::MpegAudio, 480, 576);
    ExpectPictures(d, 50);
    EXPECT_LT(DifferenceFromReference(path, d), 1.0);
    EXPECT_EQ(d.audioErrors, 0u);
    EXPECT_NEAR(static_cast<double>(d.pcm.size() / 2), 96000.0, 1152.0 * 2);
}

TEST(DecoderCore, VcdMpeg1VideoScaledToAnotherSize)
{
    const std::string path = test::MakeProgramStream("vcd.mpg", "pal-vcd", 2);
    ASSERT_FALSE(path.empty());
    // VCD audio is 44.1 kHz; the core resamples to the 48 kHz it was opened with.
    const Decoded d = DecodeFile(path, 0xC0, mpeg::kNoSubstreamFilter, 0, AudioCoding::MpegAudio, 720, 576);
    ExpectPictures(d, 50);
    EXPECT_LT(DifferenceFromReference(path, d), 2.0);
    EXPECT_EQ(d.audioErrors, 0u);
    EXPECT_NEAR(static_cast<double>(d.pcm.size() / 2), 96000.0, 1152.0 * 2 * 48 / 44.1);
}

TEST(DecoderCore, DamagedVideoIsCountedNotFatalAndFlushRecovers)
{
    const std::string path = test::MakeProgramStream("dvd-damage.mpg", "pal-dvd", 1, "-an");
    ASSERT_FALSE(path.empty());
    std::vector<std::uint8_t> data = test::ReadFile(path);
    VideoDecoderCore video;
    ASSERT_TRUE(video.Open(0));
    video.SetOptions({.deinterlace = false, .showErrorFrames = true});
    std::size_t pictures = 0;
    auto sink = [&](const DecodedPicture&) { ++pictures; return true; };
    mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& p) {
        if (p.streamId == 0xE0) video.Decode(p.data, p.size, false, 0, sink);
    });
    // Overwrite a stretch of video data in the middle of the stream (not its
    // padding), with bytes that never form a start code.
    std::size_t at = data.size() / 2;
    while (at + 4 < data.size() && !(data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1 &&
                                        data[at + 3] == 0xE0))
        ++at;
    ASSERT_LT(at + 1600, data.size());
    for (std::size_t i = at + 64; i < at + 1600; ++i) data[i] = static_cast<std::uint8_t>(i * 31 | 1);
    parser.Push(data.data(), data.size());
    video.Drain(sink);
    EXPECT_GT(pictures, 15u);
    EXPECT_EQ(video.PicturesDropped(), 0u);

    // Without "show error frames" the damaged pictures are dropped, the rest shown.
    const std::size_t shown = pictures;
    video.Flush();
    video.SetOptions({});
    pictures = 0;
    parser.Reset();
    parser.Push(data.data(), data.size());
    video.Drain(sink);
    EXPECT_GT(video.PicturesDropped(), 0u) << pictures << " of " << shown << " errors " << video.Errors();
    EXPECT_EQ(pictures + video.PicturesDropped(), shown);
    video.SetOptions({.deinterlace = false, .showErrorFrames = true});

    // After a flush the same decoder decodes a clean stream completely.
    video.Flush();
    pictures = 0;
    const std::vector<std::uint8_t> clean = test::ReadFile(path);
    parser.Reset();
    parser.Push(clean.data(), clean.size());
    video.Drain(sink);
    EXPECT_EQ(pictures, 25u);
}

// Deinterlacing keeps every picture and its time, one picture of delay drained at
// the end, and changes what moves in the pictures.
TEST(DecoderCore, DeinterlacingKeepsPicturesAndTimesAndChangesMovingPictures)
{
    const std::string path = test::MakeProgramStream("deinterlace.mpg", "pal-dvd", 1, "-an");
    ASSERT_FALSE(path.empty());
    const std::vector<std::uint8_t> data = test::ReadFile(path);
    auto decode = [&](bool deinterlace, std::vector<std::int64_t>* times, std::vector<std::vector<std::uint8_t>>* luma) {
        VideoDecoderCore video;
        ASSERT_TRUE(video.Open(0));
        video.SetOptions({.deinterlace = deinterlace, .showErrorFrames = false});
        mpeg::TimeStampClock clock;
        auto sink = [&](const DecodedPicture& p) {
            times->push_back(p.hasTime ? p.start : -1);
            const AVFrame* f = p.frame;
            std::vector<std::uint8_t> y;
            for (int row = 0; row < f->height; ++row)
                y.insert(y.end(), f->data[0] + row * f->linesize[0], f->data[0] + row * f->linesize[0] + f->width);
            luma->push_back(std::move(y));
            return true;
        };
        mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& p) {
            if (p.streamId == 0xE0)
                video.Decode(p.data, p.size, p.hasPts, p.hasPts ? clock.ToReferenceTime(p.pts) : 0, sink);
        });
        parser.Push(data.data(), data.size());
        video.Drain(sink);
    };
    std::vector<std::int64_t> plainTimes, deinterlacedTimes;
    std::vector<std::vector<std::uint8_t>> plain, deinterlaced;
    decode(false, &plainTimes, &plain);
    decode(true, &deinterlacedTimes, &deinterlaced);
    ASSERT_EQ(plain.size(), 25u);
    EXPECT_EQ(deinterlacedTimes, plainTimes);
    ASSERT_EQ(deinterlaced.size(), plain.size());
    int changed = 0;
    for (std::size_t i = 1; i < plain.size(); ++i) changed += deinterlaced[i] != plain[i];
    EXPECT_GE(changed, 20);
}

TEST(DecoderCore, LinearPcmGroupsSplitAcrossPayloads)
{
    AudioDecoderCore audio;
    ASSERT_TRUE(audio.Open(AudioCoding::Lpcm, 2, 48000, 16));
    std::vector<std::int16_t> out;
    std::vector<std::int64_t> times;
    auto sink = [&](const PcmBlock& b) {
        out.insert(out.end(), b.samples, b.samples + b.frames * 2);
        times.push_back(b.start);
        return true;
    };
    const std::uint8_t first[] = {0x12, 0x34, 0xFF, 0xFE, 0x00};  // one frame and a byte over
    const std::uint8_t second[] = {0x01, 0x80, 0x00, 0x7F, 0xFF, 0x00, 0x02};
    audio.Decode(first, sizeof first, true, 1000000, sink);
    audio.Decode(second, sizeof second, true, 1000000 + 208, sink);
    EXPECT_EQ(out, (std::vector<std::int16_t>{0x1234, -2, 1, -32768, 0x7FFF, 2}));
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[0], 1000000);
    // The second block starts with the frame begun in the first: one frame (208 units) early.
    EXPECT_EQ(times[1], 1000000);
}

}  // namespace
}  // namespace quvo::mpegdec
