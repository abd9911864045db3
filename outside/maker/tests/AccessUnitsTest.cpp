// An elementary stream cut into access units: each picture with the headers before
// it, the block's time on the first picture starting in it, a picture without a
// time placed by its temporal reference (or, with nothing in its group to place it
// by, riding untimed with the unit before); decoding times follow the reference
// pictures (B pictures are decoded when shown) and never go back.
#include <gtest/gtest.h>

#include <vector>

#include "outside/maker/AccessUnits.h"

namespace quvo::maker {
namespace {

constexpr std::int64_t kFrame = 400000;

std::vector<std::uint8_t> Picture(int type, bool withHeaders, int temporalReference = 0)
{
    std::vector<std::uint8_t> b;
    if (withHeaders) {
        b.insert(b.end(), {0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x23, 0xFF, 0xFF, 0xE0, 0x18});
        b.insert(b.end(), {0, 0, 1, 0xB8, 0x00, 0x08, 0x00, 0x00});
    }
    b.insert(b.end(), {0, 0, 1, 0x00, static_cast<std::uint8_t>(temporalReference >> 2),
                       static_cast<std::uint8_t>((temporalReference & 3) << 6 | type << 3), 0xFF, 0xF8});
    b.insert(b.end(), {0, 0, 1, 0x01, 0x12, 0x34, 0x56, 0x78, 0x9A});  // a slice
    return b;
}

TEST(AccessUnits, PicturesBecomeUnitsWithDecodingTimes)
{
    std::vector<AccessUnit> units;
    AccessUnitCutter cutter(kFrame, [&](AccessUnit& u) { units.push_back(u); });

    // Decode order I P B B P B B, shown as 0 3 1 2 6 4 5 (frames); one more P,
    // shown at 9, arrives without a time in the block of the B before it.
    struct In { int type; bool headers; int shown; };
    const In pictures[] = {{1, true, 0}, {2, false, 3}, {3, false, 1}, {3, false, 2},
                           {2, false, 6}, {3, false, 4}, {3, false, 5}};
    std::vector<std::uint8_t> all;
    const std::uint8_t junk[] = {0x55, 0x00, 0x01};  // the tail of a picture cut off
    cutter.Push(junk, sizeof junk, false, 0);
    for (const In& p : pictures) {
        const auto bytes = Picture(p.type, p.headers, p.shown);
        all.insert(all.end(), bytes.begin(), bytes.end());
        cutter.Push(bytes.data(), bytes.size(), true, p.shown * kFrame);
    }
    const auto untimed = Picture(2, false, 9);
    cutter.Push(untimed.data(), untimed.size(), false, 0);
    all.insert(all.end(), untimed.begin(), untimed.end());
    cutter.Finish();

    ASSERT_EQ(units.size(), 8u);
    std::vector<std::uint8_t> joined;
    for (const AccessUnit& u : units) joined.insert(joined.end(), u.bytes.begin(), u.bytes.end());
    EXPECT_EQ(joined, all);
    EXPECT_TRUE(units[0].key);
    EXPECT_FALSE(units[1].key);
    EXPECT_EQ(units[0].type, PictureType::I);
    EXPECT_EQ(units[2].type, PictureType::B);
    const std::int64_t pts[] = {0, 3, 1, 2, 6, 4, 5, 9};
    const std::int64_t dts[] = {-1, 0, 1, 2, 3, 4, 5, 6};
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_TRUE(units[i].hasTime) << i;
        EXPECT_EQ(units[i].pts, pts[i] * kFrame) << i;
        EXPECT_EQ(units[i].dts, dts[i] * kFrame) << i;
    }
}

TEST(AccessUnits, DecodingTimesNeverGoBack)
{
    std::vector<AccessUnit> units;
    AccessUnitCutter cutter(kFrame, [&](AccessUnit& u) { units.push_back(u); });
    // A reference picture that came without a time (and so rode with the unit
    // before) leaves the next reference with the time of the one before that; the
    // decoding times still move forward.
    // The group's first picture has no time and nothing to place it by: it
    // travels as a continuation.
    const auto first = Picture(1, true, 2);
    cutter.Push(first.data(), first.size(), false, 0);
    for (auto [type, shown] : {std::pair{1, 0}, {3, 1}, {3, 2}, {2, 6}, {3, 4}, {3, 5}}) {
        const auto bytes = Picture(type, type == 1, shown);
        cutter.Push(bytes.data(), bytes.size(), true, shown * kFrame);
    }
    cutter.Finish();
    ASSERT_EQ(units.size(), 7u);
    EXPECT_FALSE(units[0].hasTime);
    for (std::size_t i = 2; i < units.size(); ++i) {
        EXPECT_GT(units[i].dts, units[i - 1].dts) << i;
        EXPECT_LE(units[i].dts, units[i].pts) << i;
    }
}

}  // namespace
}  // namespace quvo::maker
