// The encoder core on its own: what it makes must be an MPEG program stream that
// independent parsers (ffprobe, libavformat) read with the set codec, frame size
// and 48 kHz stereo DVD LPCM; settings must show in the decoded picture and sound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "outside/board/core/BoardEncoder.h"
#include "outside/board/tests/StreamCheck.h"

namespace quvo::board {
namespace {

using test::DecodeFile;
using test::EncodeSeconds;
using test::Ffprobe;
using test::StreamField;
using test::TempPath;
using test::WriteFile;

VideoFormat Format(int w, int h, bool mpeg1, TvSystem tv, std::uint32_t rate = 4200000)
{
    VideoFormat f;
    f.width = w;
    f.height = h;
    f.mpeg1 = mpeg1;
    f.tv = tv;
    f.bitRate = f.peakBitRate = rate;
    return f;
}

double Rms(const std::vector<std::int16_t>& s, std::size_t from)
{
    double sum = 0;
    for (std::size_t i = from; i < s.size(); ++i) sum += double(s[i]) * s[i];
    return s.size() > from ? std::sqrt(sum / double(s.size() - from)) : 0;
}

TEST(EncoderCoreStream, Mpeg2PalIsReadByFfprobeAsProgramStreamWithDvdLpcm)
{
    BoardEncoder enc;
    enc.SetVideoFormat(Format(720, 576, false, TvSystem::Pal, 6000000));
    const auto bytes = EncodeSeconds(enc, 2.0, TvSystem::Pal);
    const std::string path = TempPath("mpeg2-pal.mpg");
    ASSERT_TRUE(WriteFile(path, bytes));
    const std::string json = Ffprobe(path);
    ASSERT_FALSE(json.empty());
    EXPECT_NE(json.find("\"format_name\": \"mpeg\""), std::string::npos) << json;
    EXPECT_EQ(StreamField(json, "video", "codec_name"), "mpeg2video");
    EXPECT_EQ(StreamField(json, "video", "width"), "720");
    EXPECT_EQ(StreamField(json, "video", "height"), "576");
    EXPECT_EQ(StreamField(json, "video", "r_frame_rate"), "25/1");
    EXPECT_EQ(StreamField(json, "video", "id"), "0x1e0");
    EXPECT_EQ(StreamField(json, "audio", "codec_name"), "pcm_dvd");
    EXPECT_EQ(StreamField(json, "audio", "sample_rate"), "48000");
    EXPECT_EQ(StreamField(json, "audio", "channels"), "2");
    EXPECT_EQ(StreamField(json, "audio", "id"), "0xa0");
}

TEST(EncoderCoreStream, Mpeg1NtscHasItsCodecSizeAndRate)
{
    BoardEncoder enc;
    enc.SetVideoFormat(Format(352, 240, true, TvSystem::Ntsc, 1150000));
    const auto bytes = EncodeSeconds(enc, 1.5, TvSystem::Ntsc);
    const std::string path = TempPath("mpeg1-ntsc.mpg");
    ASSERT_TRUE(WriteFile(path, bytes));
    const std::string json = Ffprobe(path);
    EXPECT_EQ(StreamField(json, "video", "codec_name"), "mpeg1video");
    EXPECT_EQ(StreamField(json, "video", "width"), "352");
    EXPECT_EQ(StreamField(json, "video", "height"), "240");
    EXPECT_EQ(StreamField(json, "video", "r_frame_rate"), "30000/1001");
    EXPECT_EQ(StreamField(json, "audio", "codec_name"), "pcm_dvd");
}

TEST(EncoderCoreStream, EveryPackIs2048BytesWithRisingScrAndDvdAudioHeader)
{
    BoardEncoder enc;
    enc.SetVideoFormat(Format(352, 288, false, TvSystem::Pal, 2375000));
    const auto bytes = EncodeSeconds(enc, 1.0, TvSystem::Pal);
    ASSERT_GT(bytes.size(), 4u);
    const std::size_t packs = (bytes.size() - 4) / 2048;
    ASSERT_EQ(bytes.size(), packs * 2048 + 4);  // whole packs, then the end code
    EXPECT_EQ(bytes[bytes.size() - 1], 0xB9);
    std::int64_t lastScr = -1;
    int audioPacks = 0, systemHeaders = 0;
    for (std::size_t p = 0; p < packs; ++p) {
        const std::uint8_t* b = bytes.data() + p * 2048;
        ASSERT_TRUE(b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0xBA) << "pack " << p;
        ASSERT_EQ(b[4] & 0xC0, 0x40) << "MPEG-2 pack header";
        const std::int64_t scr = (std::int64_t(b[4] & 0x38) << 27) | (std::int64_t(b[4] & 0x03) << 28) |
                                 (std::int64_t(b[5]) << 20) | (std::int64_t(b[6] & 0xF8) << 12) |
                                 (std::int64_t(b[6] & 0x03) << 13) | (std::int64_t(b[7]) << 5) | (b[8] >> 3);
        EXPECT_GE(scr, lastScr) << "pack " << p;
        lastScr = scr;
        std::size_t at = 14;
        if (b[at + 3] == 0xBB) {
            ++systemHeaders;
            at += 6 + (b[at + 4] << 8 | b[at + 5]);
        }
        if (b[at + 3] == 0xBD) {
            ++audioPacks;
            const std::uint8_t* pes = b + at;
            const std::size_t payload = 9 + pes[8];
            EXPECT_EQ(pes[7] & 0x80, 0x80) << "audio packets carry a PTS";
            EXPECT_EQ(pes[payload], 0xA0);                         // substream
            EXPECT_EQ(pes[payload + 1], 6);                        // LPCM frames in the packet
            EXPECT_EQ(pes[payload + 2] << 8 | pes[payload + 3], 4);  // first access unit
            EXPECT_EQ(pes[payload + 5], 0x01);                     // 16 bit, 48 kHz, 2 channels
            EXPECT_EQ(pes[payload + 6], 0x80);
        }
    }
    EXPECT_GE(audioPacks, 95);  // 100 a second
    EXPECT_GE(systemHeaders, 2);  // 25 pictures: groups start at 0, 12 and 24
}

TEST(EncoderCoreStream, BitRateSettingSetsTheStreamRate)
{
    auto bytesAt = [](std::uint32_t rate) {
        BoardEncoder enc;
        enc.SetVideoFormat(Format(720, 576, false, TvSystem::Pal, rate));
        return EncodeSeconds(enc, 2.0, TvSystem::Pal).size();
    };
    const double low = static_cast<double>(bytesAt(2000000));
    const double high = static_cast<double>(bytesAt(8000000));
    // Constant rate: about rate/8 bytes a second plus audio (1.5 Mbit/s) and packing.
    EXPECT_NEAR(low / 2.0 * 8.0, 2000000 + 1650000, 600000);
    EXPECT_NEAR(high / 2.0 * 8.0, 8000000 + 1650000, 1500000);
}

TEST(EncoderCorePicture, RaisingBrightnessRaisesDecodedMeanLuma)
{
    auto meanLuma = [](int brightness) {
        BoardEncoder enc;
        enc.SetVideoFormat(Format(352, 288, false, TvSystem::Pal));
        PictureSettings p;
        p.brightness = brightness;
        enc.SetPicture(p);
        const auto bytes = EncodeSeconds(enc, 0.5, TvSystem::Pal);
        const std::string path = TempPath("brightness-" + std::to_string(brightness) + ".mpg");
        EXPECT_TRUE(WriteFile(path, bytes));
        const auto media = DecodeFile(path);
        EXPECT_FALSE(media.pictures.empty());
        return media.pictures.empty() ? 0.0 : media.pictures.front().meanLuma;
    };
    const double normal = meanLuma(128);
    const double bright = meanLuma(200);
    EXPECT_GT(bright, normal + 30) << normal << " -> " << bright;
}

TEST(EncoderCorePicture, NoSignalGivesABlueSilentPicture)
{
    BoardEncoder enc;
    enc.SetVideoFormat(Format(352, 288, false, TvSystem::Pal));
    PictureSettings p;
    p.signal = false;
    enc.SetPicture(p);
    const auto bytes = EncodeSeconds(enc, 0.5, TvSystem::Pal);
    const std::string path = TempPath("no-signal.mpg");
    ASSERT_TRUE(WriteFile(path, bytes));
    const auto media = DecodeFile(path);
    ASSERT_FALSE(media.pictures.empty());
    EXPECT_NEAR(media.pictures.front().meanLuma, 35.0, 3.0);
    ASSERT_FALSE(media.samples.empty());
    EXPECT_EQ(Rms(media.samples, 0), 0.0);
}

TEST(EncoderCoreStream, FrameSizeChangeTakesEffectAtTheNextGroup)
{
    BoardEncoder enc;
    enc.SetVideoFormat(Format(720, 576, false, TvSystem::Pal));
    const auto bytes = EncodeSeconds(enc, 2.0, TvSystem::Pal, [&](int frame) {
        if (frame == 17) enc.SetVideoFormat(Format(352, 288, false, TvSystem::Pal));
    });
    const std::string path = TempPath("size-change.mpg");
    ASSERT_TRUE(WriteFile(path, bytes));
    const auto media = DecodeFile(path);
    // The change was asked for in the second group: it ends that group (frames
    // 0..23 in the old size) and the next sequence starts with a key picture.
    // libavcodec's decoder drops the old sequence's held-back reference picture
    // at a size change, so 23 or 24 old pictures come out.
    std::size_t firstNew = 0;
    while (firstNew < media.pictures.size() && media.pictures[firstNew].width == 720) ++firstNew;
    ASSERT_LT(firstNew, media.pictures.size());
    EXPECT_GE(firstNew, 23u);
    EXPECT_LE(firstNew, 24u);
    EXPECT_TRUE(media.pictures[firstNew].key);
    EXPECT_EQ(media.pictures.size() - firstNew, 26u);
    for (std::size_t i = firstNew; i < media.pictures.size(); ++i) {
        EXPECT_EQ(media.pictures[i].width, 352);
        EXPECT_EQ(media.pictures[i].height, 288);
    }
}

TEST(EncoderCoreAudio, VolumeAndMuteChangeTheTone)
{
    auto decodeWith = [](AudioSettings a, const char* name) {
        BoardEncoder enc;
        enc.SetVideoFormat(Format(176, 144, true, TvSystem::Pal, 1150000));
        enc.SetAudio(a);
        const auto bytes = EncodeSeconds(enc, 1.0, TvSystem::Pal);
        const std::string path = TempPath(name);
        EXPECT_TRUE(WriteFile(path, bytes));
        return DecodeFile(path);
    };
    const auto loud = decodeWith({0, false}, "vol0.mpg");
    const auto quiet = decodeWith({-20, false}, "vol20.mpg");
    const auto muted = decodeWith({0, true}, "mute.mpg");
    ASSERT_EQ(loud.sampleRate, 48000);
    ASSERT_EQ(loud.channels, 2);
    ASSERT_GT(loud.samples.size(), 48000u * 2 * 9 / 10);
    const double l = Rms(loud.samples, 0), q = Rms(quiet.samples, 0), m = Rms(muted.samples, 0);
    EXPECT_NEAR(l / q, 10.0, 0.5);  // -20 dB
    EXPECT_GT(l, 4000);             // -12 dBFS tone, RMS about 5800
    EXPECT_EQ(m, 0.0);
}

}  // namespace
}  // namespace quvo::board

namespace quvo::board {
namespace {

// A media file named as the source replaces the test signal: its pictures (here
// plain white) and its sound reach the stream, still through the proc-amp.
TEST(EncoderCoreSource, MediaFileFeedsPictureAndSound)
{
    const std::string source = test::TempPath("white-source.mpg");
    const std::string make = "ffmpeg -v error -y -f lavfi -i color=c=white:s=320x240:r=25:d=2 -f lavfi -i "
                             "sine=frequency=440:sample_rate=44100:duration=2 -c:v mpeg1video -c:a mp2 '" +
                             source + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);

    auto run = [&](int brightness, const char* name) {
        BoardEncoder enc;
        VideoFormat f;
        f.width = 352;
        f.height = 288;
        enc.SetVideoFormat(f);
        PictureSettings p;
        p.brightness = brightness;
        enc.SetPicture(p);
        enc.SetSource(source);
        const auto bytes = test::EncodeSeconds(enc, 1.0, TvSystem::Pal);
        const std::string path = test::TempPath(name);
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return test::DecodeFile(path);
    };
    const auto normal = run(128, "from-file.mpg");
    ASSERT_FALSE(normal.pictures.empty());
    EXPECT_GT(normal.pictures[5].meanLuma, 200.0);
    const auto darker = run(60, "from-file-dark.mpg");
    ASSERT_FALSE(darker.pictures.empty());
    EXPECT_LT(darker.pictures[5].meanLuma, normal.pictures[5].meanLuma - 40);
    // The file's tone, resampled to 48 kHz: present after the first frames.
    EXPECT_GT(Rms(normal.samples, normal.samples.size() / 2), 500.0);
}

TEST(EncoderCoreSource, MissingFileKeepsTheTestSignalAndSaysWhy)
{
    BoardEncoder enc;
    VideoFormat f;
    f.width = 176;
    f.height = 144;
    enc.SetVideoFormat(f);
    enc.SetSource("/no/such/source.mpg");
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(enc.EncodeFrame(0, out, &error));
    EXPECT_NE(error.find("/no/such/source.mpg"), std::string::npos);
}

}  // namespace
}  // namespace quvo::board
