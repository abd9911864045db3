// The start-code search and the start-point scan over single buffers: where start
// codes are found (also next to chance zeros and ones), which pack header starts a
// fragment, and which tail bytes are held back.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "filewriter/StartCodeScan.h"
#include "filewriter/tests/ProgramStream.h"

namespace quvo::filewriter {
namespace {

using mpeg::FindStartCode;

using Bytes = std::vector<BYTE>;
using Outcome = StartPointScan::Outcome;

void Put(Bytes& b, std::initializer_list<BYTE> bytes) { b.insert(b.end(), bytes); }
void Code(Bytes& b, BYTE code) { Put(b, {0x00, 0x00, 0x01, code}); }
void Filler(Bytes& b, std::size_t n, BYTE value = 0xFF) { b.insert(b.end(), n, value); }

// Every start code by brute force, to check the fast search against.
std::vector<std::size_t> AllStartCodes(const Bytes& b)
{
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i + 3 < b.size(); ++i)
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1) out.push_back(i);
    return out;
}

std::vector<std::size_t> FastStartCodes(const Bytes& b)
{
    std::vector<std::size_t> out;
    for (std::size_t p = FindStartCode(b.data(), b.size(), 0); p < b.size(); p = FindStartCode(b.data(), b.size(), p + 1))
        out.push_back(p);
    return out;
}

TEST(StartCodeSearch, AgreesWithBruteForceOnDenseZerosAndOnes)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, 3);
    for (int round = 0; round < 200; ++round) {
        Bytes b(1 + rng() % 300);
        // Mostly 00 and 01, so that prefixes overlap and near misses abound.
        for (BYTE& x : b) x = static_cast<BYTE>(pick(rng) == 3 ? 0xBA : pick(rng) % 2);
        EXPECT_EQ(FastStartCodes(b), AllStartCodes(b)) << "round " << round;
    }
}

TEST(StartCodeSearch, NeedsTheCodeByteInsideTheData)
{
    Bytes b;
    Filler(b, 5);
    Put(b, {0x00, 0x00, 0x01});
    EXPECT_EQ(FindStartCode(b.data(), b.size(), 0), b.size());
    b.push_back(0xBA);
    EXPECT_EQ(FindStartCode(b.data(), b.size(), 0), 5u);
    EXPECT_EQ(FindStartCode(b.data(), b.size(), 6), b.size());
    EXPECT_EQ(FindStartCode(b.data(), 3, 0), 3u);
}

TEST(StartPointScan, LastPackHeaderBeforeTheFirstSequenceHeader)
{
    // Pack headers at 0 and 2048, a sequence header at 2062.
    Bytes b;
    Code(b, 0xBA);
    Filler(b, 2044);
    Code(b, 0xBA);
    Filler(b, 10);
    Code(b, 0xB3);
    Filler(b, 100);
    StartPointScan s = FindStartPoint(b.data(), b.size());
    EXPECT_EQ(s.outcome, Outcome::Found);
    EXPECT_EQ(s.offset, 2048u);
    EXPECT_TRUE(s.packFound);
    EXPECT_TRUE(s.sequenceFound);
}

TEST(StartPointScan, SystemHeaderAlsoMarksAStartPoint)
{
    Bytes b;
    Filler(b, 3);
    Code(b, 0xBA);
    Filler(b, 10);
    Code(b, 0xBB);
    StartPointScan s = FindStartPoint(b.data(), b.size());
    EXPECT_EQ(s.outcome, Outcome::Found);
    EXPECT_EQ(s.offset, 3u);
}

TEST(StartPointScan, SequenceHeaderWithoutPackHeaderBeforeItIsPassedOver)
{
    Bytes b;
    Code(b, 0xE0);
    Code(b, 0xB3);
    Filler(b, 20);
    Code(b, 0xBA);
    Filler(b, 10);
    Code(b, 0xBB);
    StartPointScan s = FindStartPoint(b.data(), b.size());
    EXPECT_EQ(s.outcome, Outcome::Found);
    EXPECT_EQ(s.offset, 28u);
}

TEST(StartPointScan, PackHeaderWithoutHeaderAfterItIsPending)
{
    Bytes b;
    Filler(b, 40);
    Code(b, 0xBA);
    Filler(b, 8);
    Code(b, 0xE0);
    Filler(b, 8);
    StartPointScan s = FindStartPoint(b.data(), b.size());
    EXPECT_EQ(s.outcome, Outcome::PackPending);
    EXPECT_EQ(s.offset, 40u);
    EXPECT_TRUE(s.packFound);
    EXPECT_FALSE(s.sequenceFound);

    // Going on from a pending pack at 0: only the new part needs examining.
    Bytes joined(b.begin() + 40, b.end());
    std::size_t from = joined.size() - 3;
    Code(joined, 0xB3);
    StartPointScan more = FindStartPoint(joined.data(), joined.size(), from, true);
    EXPECT_EQ(more.outcome, Outcome::Found);
    EXPECT_EQ(more.offset, 0u);
}

TEST(StartPointScan, HeldBackTailIsAPrefixOfAStartCode)
{
    struct Case {
        Bytes tail;
        std::size_t held;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x01}, 3}, {{0x05, 0x00, 0x00}, 2}, {{0x07, 0x07, 0x00}, 1},
        {{0x00, 0x01, 0x00}, 1}, {{0x00, 0x00, 0x02}, 0}, {{0x00, 0x01, 0x05}, 0},
    };
    for (const Case& c : cases) {
        Bytes b;
        Filler(b, 10);
        b.insert(b.end(), c.tail.begin(), c.tail.end());
        StartPointScan s = FindStartPoint(b.data(), b.size());
        EXPECT_EQ(s.outcome, Outcome::None);
        EXPECT_EQ(s.heldBack, c.held);
    }
    // Blocks shorter than a start code: the same rule on what there is.
    Bytes two = {0x00, 0x00};
    EXPECT_EQ(FindStartPoint(two.data(), two.size()).heldBack, 2u);
    Bytes one = {0x09};
    EXPECT_EQ(FindStartPoint(one.data(), one.size()).heldBack, 0u);
    EXPECT_EQ(FindStartPoint(nullptr, 0).heldBack, 0u);
}

TEST(StartPointScan, FindsEveryStartPointOfAGeneratedStream)
{
    test::ProgramStreamBuilder ps(11);
    ps.Random(37);  // begins mid-stream
    ps.Stream(60, 5);
    const Bytes& b = ps.Bytes();
    ASSERT_FALSE(ps.StartPoints().empty());
    std::vector<std::size_t> found;
    std::size_t base = 0;
    while (base < b.size()) {
        StartPointScan s = FindStartPoint(b.data() + base, b.size() - base);
        if (s.outcome != Outcome::Found) break;
        found.push_back(base + s.offset);
        base += s.offset + 4;  // look for the next one past this pack header
    }
    EXPECT_EQ(found, ps.StartPoints());
}

}  // namespace
}  // namespace quvo::filewriter
