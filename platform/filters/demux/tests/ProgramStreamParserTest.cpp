// Program-stream parser: hand-built MPEG-1 and MPEG-2 streams go through the parser
// whole and in every block size; damaged and truncated data is passed over and
// parsing resumes at the next start code; held data stays bounded.
#include <gtest/gtest.h>

#include <random>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/tests/PsBuilder.h"

namespace quvo::mpeg {
namespace {

using test::Bytes;

struct Seen {
    std::uint8_t id;
    std::uint8_t sub;
    Bytes data;
    bool hasPts;
    std::uint64_t pts;
    bool hasDts;
    std::uint64_t dts;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> Parse(const Bytes& stream, std::size_t block, ParserCounters* counters = nullptr)
{
    std::vector<Seen> seen;
    ProgramStreamParser parser([&](const PesPayload& p) {
        seen.push_back({p.streamId, p.substreamId, Bytes(p.data, p.data + p.size), p.hasPts, p.pts,
                        p.hasDts, p.dts});
    });
    for (std::size_t pos = 0; pos < stream.size(); pos += block) {
        const std::size_t n = std::min(block, stream.size() - pos);
        parser.Push(stream.data() + pos, n);
        EXPECT_LE(parser.HeldBytes(), ProgramStreamParser::kMaxUnit);
    }
    if (counters) *counters = parser.Counters();
    return seen;
}

Bytes Mpeg2Stream()
{
    Bytes s;
    test::Mpeg2Pack(s, 2);
    test::SystemHeader(s);
    test::Mpeg2Pes(s, 0xE0, test::Payload(1800, 1), 90000 + 3600, 90000);
    test::Mpeg2Pack(s);
    Bytes lpcm = {0xA0, 0x07, 0x00, 0x04, 0x00, 0x01, 0x80};
    const Bytes samples = test::Payload(1536, 2);
    lpcm.insert(lpcm.end(), samples.begin(), samples.end());
    test::Mpeg2Pes(s, 0xBD, lpcm, 90000);
    test::Padding(s, 300);
    test::Mpeg2Pes(s, 0xBF, test::Payload(40, 3));  // private stream 2: skipped
    test::Mpeg2Pes(s, 0xE0, test::Payload(2000, 4));
    test::Mpeg2Pes(s, 0xC0, test::Payload(500, 5), (std::int64_t{1} << 33) - 10);
    s.insert(s.end(), {0, 0, 1, 0xB9});
    return s;
}

TEST(ProgramStreamParser, Mpeg2PacketsWithTimeStampsAndSubstreams)
{
    ParserCounters counters;
    const std::vector<Seen> seen = Parse(Mpeg2Stream(), 1 << 20, &counters);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].id, 0xE0);
    EXPECT_EQ(seen[0].data, test::Payload(1800, 1));
    EXPECT_TRUE(seen[0].hasPts && seen[0].hasDts);
    EXPECT_EQ(seen[0].pts, 93600u);
    EXPECT_EQ(seen[0].dts, 90000u);

    EXPECT_EQ(seen[1].id, 0xBD);
    EXPECT_EQ(seen[1].sub, 0xA0);
    EXPECT_EQ(seen[1].data.size(), 1536u + 7u);
    EXPECT_TRUE(seen[1].hasPts);
    EXPECT_FALSE(seen[1].hasDts);

    EXPECT_FALSE(seen[2].hasPts);
    EXPECT_EQ(seen[2].data, test::Payload(2000, 4));
    EXPECT_EQ(seen[3].pts, (std::uint64_t{1} << 33) - 10);

    EXPECT_EQ(counters.packs, 2u);
    EXPECT_EQ(counters.skippedPackets, 3u);  // system header, padding, private stream 2
    EXPECT_EQ(counters.damagedUnits, 0u);
    EXPECT_EQ(counters.resyncBytes, 0u);
}

TEST(ProgramStreamParser, Mpeg1PacksAndPacketHeaders)
{
    Bytes s;
    test::Mpeg1Pack(s);
    test::Mpeg1Pes(s, 0xE0, test::Payload(700, 1), 1000, 900);
    test::Mpeg1Pes(s, 0xC0, test::Payload(400, 2), 1200);
    test::Mpeg1Pes(s, 0xE0, test::Payload(300, 3));
    const std::vector<Seen> seen = Parse(s, 1 << 20);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].pts, 1000u);
    EXPECT_EQ(seen[0].dts, 900u);
    EXPECT_EQ(seen[0].data, test::Payload(700, 1));
    EXPECT_EQ(seen[1].id, 0xC0);
    EXPECT_EQ(seen[1].pts, 1200u);
    EXPECT_FALSE(seen[1].hasDts);
    EXPECT_FALSE(seen[2].hasPts);
    EXPECT_EQ(seen[2].data, test::Payload(300, 3));
}

TEST(ProgramStreamParser, EveryBlockSizeGivesTheSamePackets)
{
    Bytes s = Mpeg2Stream();
    const Bytes again = Mpeg2Stream();
    s.insert(s.end(), again.begin(), again.end());
    const std::vector<Seen> whole = Parse(s, s.size());
    ASSERT_EQ(whole.size(), 8u);
    for (std::size_t block = 1; block < 64; ++block) EXPECT_EQ(Parse(s, block), whole) << block;
    for (std::size_t block : {127u, 1000u, 2047u, 2048u, 4096u}) EXPECT_EQ(Parse(s, block), whole) << block;

    // Random block sizes, as a live source delivers them.
    std::mt19937 rng(7);
    std::vector<Seen> seen;
    ProgramStreamParser parser([&](const PesPayload& p) {
        seen.push_back({p.streamId, p.substreamId, Bytes(p.data, p.data + p.size), p.hasPts, p.pts,
                        p.hasDts, p.dts});
    });
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t n = std::min<std::size_t>(rng() % 3000 + 1, s.size() - pos);
        parser.Push(s.data() + pos, n);
        pos += n;
    }
    EXPECT_EQ(seen, whole);
}

TEST(ProgramStreamParser, GarbageAndDamagedHeadersAreSkipped)
{
    Bytes s;
    s.insert(s.end(), {0x12, 0x00, 0x00, 0x00, 0x01});  // stray bytes, then a lone 00 00 01
    s.insert(s.end(), {0xB3, 0x55});                       // elementary start code at system level
    test::Mpeg2Pack(s);
    s.insert(s.end(), {0, 0, 1, 0xBA, 0x00, 0x11});        // pack header of neither kind
    // A PES whose header length runs past its packet: rejected, then resynchronised.
    s.insert(s.end(), {0, 0, 1, 0xE0, 0x00, 0x04, 0x81, 0x80, 0x20, 0x00});
    test::Mpeg2Pes(s, 0xE0, test::Payload(100, 9), 4500);
    // MPEG-1 header with too much stuffing.
    s.insert(s.end(), {0, 0, 1, 0xC0, 0x00, 0x14});
    s.insert(s.end(), 20, 0xFF);
    test::Mpeg2Pes(s, 0xC0, test::Payload(50, 8));

    for (std::size_t block : {1u, 5u, 4096u}) {
        ParserCounters counters;
        const std::vector<Seen> seen = Parse(s, block, &counters);
        ASSERT_EQ(seen.size(), 2u) << block;
        EXPECT_EQ(seen[0].data, test::Payload(100, 9));
        EXPECT_EQ(seen[0].pts, 4500u);
        EXPECT_EQ(seen[1].data, test::Payload(50, 8));
        EXPECT_GE(counters.damagedUnits, 4u);
        EXPECT_GT(counters.resyncBytes, 0u);
    }
}

TEST(ProgramStreamParser, TruncatedPacketIsHeldThenDroppedByReset)
{
    Bytes s;
    test::Mpeg2Pes(s, 0xE0, test::Payload(3000, 1), 0);
    std::vector<Seen> seen;
    ProgramStreamParser parser([&](const PesPayload& p) { seen.push_back({p.streamId, 0, {}, 0, 0, 0, 0}); });
    parser.Push(s.data(), s.size() - 1);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(parser.HeldBytes(), s.size() - 1);
    parser.Reset();
    EXPECT_EQ(parser.HeldBytes(), 0u);
    parser.Push(s.data(), s.size());
    EXPECT_EQ(seen.size(), 1u);
}

TEST(ProgramStreamParser, UnwantedAndPaddingPacketsAreNotHeld)
{
    Bytes s;
    test::Padding(s, 60000);
    test::Mpeg2Pes(s, 0xC0, test::Payload(60000, 1), 0);
    test::Mpeg2Pes(s, 0xE0, test::Payload(10, 2), 0);
    std::vector<std::uint8_t> ids;
    ProgramStreamParser parser([&](const PesPayload& p) { ids.push_back(p.streamId); });
    parser.SetStreamWanted(0xC0, false);
    for (std::size_t pos = 0; pos < s.size(); pos += 1000) {
        parser.Push(s.data() + pos, std::min<std::size_t>(1000, s.size() - pos));
        EXPECT_LT(parser.HeldBytes(), 1000u);
    }
    EXPECT_EQ(ids, std::vector<std::uint8_t>{0xE0});
}

TEST(ProgramStreamParser, DamagedLengthNeverReadsPastTheBuffer)
{
    // A packet claiming 65535 bytes at the end of the data: held, never parsed.
    Bytes s = {0, 0, 1, 0xE0, 0xFF, 0xFF, 0x81, 0x80, 0x05};
    std::size_t calls = 0;
    ProgramStreamParser parser([&](const PesPayload&) { ++calls; });
    parser.Push(s.data(), s.size());
    EXPECT_EQ(calls, 0u);
    EXPECT_EQ(parser.HeldBytes(), s.size());
}

}  // namespace
}  // namespace quvo::mpeg
