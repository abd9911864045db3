// Sample times from PES time stamps (start near zero, 33-bit wrap followed) and the
// stream map's routing (substream filter, data offset, conflicts).
#include <gtest/gtest.h>

#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"

namespace quvo::mpeg {
namespace {

TEST(TimeStampClock, FirstStampIsZeroAndTicksBecomeHundredsOfNanoseconds)
{
    TimeStampClock clock;
    EXPECT_EQ(clock.ToReferenceTime(900000), 0);
    EXPECT_EQ(clock.ToReferenceTime(900000 + 3600), 400000);   // 40 ms
    EXPECT_EQ(clock.ToReferenceTime(900000 - 9), -1000);         // earlier stream: slightly negative
    EXPECT_EQ(clock.ToReferenceTime(900000 + 90000), 10000000);  // one second
    clock.Reset();
    EXPECT_EQ(clock.ToReferenceTime(5), 0);
}

TEST(TimeStampClock, WrapOfTheThirtyThreeBitCounterKeepsTimesIncreasing)
{
    TimeStampClock clock;
    const std::uint64_t nearEnd = TimeStampClock::kWrap - 45000;  // half a second before the wrap
    EXPECT_EQ(clock.ToReferenceTime(nearEnd), 0);
    EXPECT_EQ(clock.ToReferenceTime(0), 5000000);
    EXPECT_EQ(clock.ToReferenceTime(45000), 10000000);
    // A late packet from before the wrap maps back before it.
    EXPECT_EQ(clock.ToReferenceTime(TimeStampClock::kWrap - 9000), 4000000);
    EXPECT_EQ(clock.ToReferenceTime(90000), 15000000);
}

PesPayload Payload(std::uint8_t id, std::uint8_t sub, const std::uint8_t* data, std::size_t size)
{
    PesPayload p;
    p.streamId = id;
    p.substreamId = sub;
    p.data = data;
    p.size = size;
    return p;
}

TEST(StreamRouter, SubstreamFilterAndDataOffset)
{
    StreamRouter router;
    ASSERT_TRUE(router.Map({0xE0, 0, 0, 0}));  // filter value 0 on video means "none"
    ASSERT_TRUE(router.Map({0xBD, 0xA0, 7, 1}));
    const std::uint8_t data[16] = {0xA0, 1, 2, 3, 4, 5, 6, 0x11, 0x22};

    RoutedPayload r;
    ASSERT_TRUE(router.Route(Payload(0xBD, 0xA0, data, 9), &r));
    EXPECT_EQ(r.output, 1);
    EXPECT_EQ(r.size, 2u);
    EXPECT_EQ(r.data[0], 0x11);

    EXPECT_FALSE(router.Route(Payload(0xBD, 0x80, data, 9), &r));  // AC-3 substream: not mapped
    EXPECT_FALSE(router.Route(Payload(0xBD, 0xA0, data, 7), &r));  // nothing after the offset
    EXPECT_FALSE(router.Route(Payload(0xC0, 0, data, 9), &r));

    ASSERT_TRUE(router.Route(Payload(0xE0, 0, data, 9), &r));
    EXPECT_EQ(r.output, 0);
    EXPECT_EQ(r.size, 9u);
    EXPECT_TRUE(router.Wants(0xBD));
    EXPECT_FALSE(router.Wants(0xC0));
}

TEST(StreamRouter, ConflictsUnmapAndRemap)
{
    StreamRouter router;
    ASSERT_TRUE(router.Map({0xBD, 0xA0, 7, 1}));
    EXPECT_FALSE(router.Map({0xBD, 0xA0, 4, 2}));                 // same substream, other output
    EXPECT_FALSE(router.Map({0xBD, kNoSubstreamFilter, 0, 2}));   // every substream
    EXPECT_TRUE(router.Map({0xBD, 0xA1, 7, 2}));
    EXPECT_TRUE(router.Map({0xBD, 0xA0, 4, 1}));                  // same output: replaces
    ASSERT_EQ(router.MappingsOf(1).size(), 1u);
    EXPECT_EQ(router.MappingsOf(1)[0].dataOffset, 4u);

    EXPECT_TRUE(router.Unmap(1, 0xBD));
    EXPECT_FALSE(router.Unmap(1, 0xBD));
    EXPECT_TRUE(router.Map({0xBD, 0xA0, 7, 3}));
    router.UnmapOutput(2);
    EXPECT_TRUE(router.MappingsOf(2).empty());
    EXPECT_EQ(router.MappingsOf(3).size(), 1u);
}

}  // namespace
}  // namespace quvo::mpeg
