// The program-stream muxer on its own, fed pictures of every size: each pack
// must come out exactly 2048 bytes of well-formed packets (padding and stuffing
// add up), a packet in which a picture starts must carry that picture's time
// stamp, every picture must start a packet and end a pack (so the stream can be
// cut after any picture), and the bytes of each stream must come out unchanged
// and in order. The board's real stream, cut after any picture, must decode
// cleanly, and each group's pack must begin its video with the sequence header.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "outside/board/core/BoardEncoder.h"
#include "outside/board/core/ProgramStreamMuxer.h"
#include "outside/board/tests/StreamCheck.h"

namespace quvo::board {
namespace {

struct VideoPacket {
    std::size_t offset;  // of its first payload byte in the video stream
    std::size_t size;
    bool hasPts;
    std::int64_t pts;
    std::size_t pack;   // index of the pack it is in
    bool systemHeader;  // that pack carries a system header
};

struct Parsed {
    std::vector<std::uint8_t> video, audio;
    std::vector<VideoPacket> videoPackets;
    int audioPackets = 0;
    bool wellFormed = true;
};

std::int64_t ReadTs(const std::uint8_t* p)
{
    return (std::int64_t(p[0] & 0x0E) << 29) | (std::int64_t(p[1]) << 22) | (std::int64_t(p[2] & 0xFE) << 14) |
           (std::int64_t(p[3]) << 7) | (p[4] >> 1);
}

// `ended`: the stream ends with the end code (else it is cut after a pack).
Parsed Parse(const std::vector<std::uint8_t>& s, bool ended = true)
{
    Parsed r;
    const std::size_t tail = ended ? 4 : 0;
    const std::size_t packs = (s.size() - tail) / 2048;
    if (s.size() != packs * 2048 + tail) r.wellFormed = false;
    for (std::size_t k = 0; k < packs && r.wellFormed; ++k) {
        const std::uint8_t* pack = s.data() + k * 2048;
        if (pack[3] != 0xBA) r.wellFormed = false;
        std::size_t at = 14;
        const bool system = pack[14] == 0 && pack[15] == 0 && pack[16] == 1 && pack[17] == 0xBB;
        while (at < 2048 && r.wellFormed) {
            const std::uint8_t* p = pack + at;
            if (at + 6 > 2048 || p[0] || p[1] || p[2] != 1) {
                r.wellFormed = false;
                break;
            }
            const std::size_t len = std::size_t(p[4]) << 8 | p[5];
            if (p[3] == 0xE0 || p[3] == 0xBD) {
                const std::size_t hdr = 9 + p[8];
                const std::uint8_t* payload = p + hdr;
                const std::size_t n = 6 + len - hdr;
                if (p[3] == 0xE0) {
                    const bool hasPts = (p[7] & 0x80) != 0;
                    r.videoPackets.push_back({r.video.size(), n, hasPts, hasPts ? ReadTs(p + 9) : 0, k, system});
                    r.video.insert(r.video.end(), payload, payload + n);
                } else {
                    ++r.audioPackets;
                    r.audio.insert(r.audio.end(), payload + 7, payload + n);
                }
            }
            at += 6 + len;
        }
        if (at != 2048) r.wellFormed = false;
    }
    return r;
}

TEST(ProgramStreamMuxer, PacksAddUpForPicturesOfEverySize)
{
    std::mt19937 rng(7);
    ProgramStreamMuxer mux;
    mux.SetMuxRate(1000000);
    std::vector<std::uint8_t> out, video, audio;
    std::vector<std::int64_t> pts;
    std::vector<std::size_t> starts;
    std::vector<std::size_t> pictureEnds;  // in `out`
    std::int64_t now = 0;
    std::int64_t audioPts = 45000;
    for (int i = 0; i < 400; ++i) {
        // Picture sizes from a few bytes to several packs, so starts land
        // anywhere in a pack, including the last bytes.
        const std::size_t size = i % 7 == 0 ? 2000 + rng() % 40 : 1 + rng() % 6000;
        std::vector<std::uint8_t> picture(size);
        for (auto& b : picture) b = static_cast<std::uint8_t>(rng());
        starts.push_back(video.size());
        video.insert(video.end(), picture.begin(), picture.end());
        pts.push_back(90000 + i * 3600);
        mux.AddVideo(picture.data(), size, pts.back(), pts.back() - 3600, i % 12 == 0);
        std::vector<std::int16_t> samples(1920 * 2);
        for (auto& v : samples) v = static_cast<std::int16_t>(rng());
        mux.AddAudio(samples.data(), 1920, audioPts, false);
        audioPts += 3600;
        for (std::int16_t v : samples) {
            audio.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
            audio.push_back(static_cast<std::uint8_t>(v));
        }
        now += 1080000;  // 40 ms at 27 MHz
        std::vector<std::size_t> ends;
        mux.Emit(now, out, &ends);
        // All of this picture is out: the last reported end is the end of `out`.
        ASSERT_EQ(ends.size(), 1u) << "picture " << i;
        ASSERT_EQ(ends.back(), out.size()) << "picture " << i;
        pictureEnds.push_back(ends.back());
    }
    mux.Finish(now, out);
    const Parsed p = Parse(out);
    ASSERT_TRUE(p.wellFormed);
    EXPECT_EQ(p.video, video);
    EXPECT_EQ(p.audio, audio);
    int stamped = 0;
    for (const VideoPacket& v : p.videoPackets) {
        // The picture this packet's first byte belongs to.
        const auto unit = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), v.offset) -
                                                   starts.begin()) - 1;
        const bool starts_here = starts[unit] == v.offset;
        ASSERT_EQ(v.hasPts, starts_here) << "packet at " << v.offset;
        if (starts_here) {
            EXPECT_EQ(v.pts, pts[unit]);
            ++stamped;
        }
        // A packet holds one picture, and nothing of it lies past its reported end.
        if (unit + 1 < starts.size()) {
            EXPECT_LE(v.offset + v.size, starts[unit + 1]) << "packet at " << v.offset;
        }
        EXPECT_LT(v.pack * 2048, pictureEnds[unit]) << "picture " << unit;
    }
    EXPECT_EQ(stamped, 400);
    EXPECT_EQ(p.audioPackets, 400 * 4);  // 480 samples a packet
}

TEST(ProgramStreamMuxer, BoardStreamCutAfterAnyFrameDecodesCleanly)
{
    // Each frame's output ends where a picture ends, so a capture stopped
    // between frames holds whole pictures only.
    BoardEncoder enc;
    std::vector<std::uint8_t> out;
    std::vector<std::size_t> cuts;
    std::int64_t now = 10000000;
    for (int i = 0; i < 28; ++i) {  // past the second group's start
        ASSERT_TRUE(enc.EncodeFrame(now, out));
        now += BoardEncoder::FrameTime(1, TvSystem::Pal);
        // Nothing comes before the first picture (its sound waits for it).
        if (!out.empty() && (cuts.empty() || cuts.back() != out.size())) cuts.push_back(out.size());
    }
    ASSERT_GT(cuts.size(), 20u);
    // The stream begins at a start point: its first pack carries the system header.
    ASSERT_GE(out.size(), 18u);
    EXPECT_TRUE(out[14] == 0 && out[15] == 0 && out[16] == 1 && out[17] == 0xBB);

    const Parsed p = Parse(out, false);
    ASSERT_TRUE(p.wellFormed);
    int groups = 0;
    for (const VideoPacket& v : p.videoPackets) {
        const bool sequence = v.size >= 4 && p.video[v.offset] == 0 && p.video[v.offset + 1] == 0 &&
                              p.video[v.offset + 2] == 1 && p.video[v.offset + 3] == 0xB3;
        if (v.systemHeader) {
            EXPECT_TRUE(sequence) << "pack " << v.pack << " starts a group but not with its sequence header";
            ++groups;
        }
        // No sequence header hides later in a packet.
        const std::uint8_t seq[] = {0, 0, 1, 0xB3};
        const auto first = p.video.begin() + static_cast<std::ptrdiff_t>(v.offset);
        const auto last = first + static_cast<std::ptrdiff_t>(v.size);
        EXPECT_EQ(std::search(first + 1, last, seq, seq + 4), last) << "pack " << v.pack;
    }
    EXPECT_GE(groups, 2);

    const std::string path = test::TempPath("cut.mpg");
    for (const std::size_t cut : cuts) {
        ASSERT_EQ(cut % 2048, 0u);
        ASSERT_TRUE(test::WriteFile(path, std::vector<std::uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(cut))));
        EXPECT_EQ(test::FfmpegErrors(path), "") << "cut at byte " << cut;
    }
}

TEST(ProgramStreamMuxer, TimeStampFieldLayout)
{
    std::uint8_t b[5];
    const std::int64_t ts = (1LL << 32) | 0x12345678;
    WriteTimeStamp(0x2, ts, b);
    EXPECT_EQ(b[0] >> 4, 0x2);
    EXPECT_EQ(b[0] & 1, 1);
    EXPECT_EQ(b[2] & 1, 1);
    EXPECT_EQ(b[4] & 1, 1);
    EXPECT_EQ(ReadTs(b), ts);
}

}  // namespace
}  // namespace quvo::board
