// The board's output time line: units keep their stream-time distances from the
// first one, which leaves when the output starts; a stamp that jumps far away
// continues its stream where it stood, so a damaged or cut recording cannot hold
// the output.
#include <gtest/gtest.h>

#include "outside/board/core/OutputTimeline.h"

namespace quvo::board {
namespace {

constexpr std::int64_t kFrame = 400000;  // 40 ms
constexpr std::int64_t kSecond = 10000000;

TEST(OutputTimeline, KeepsStreamDistancesAndStepsOverJumps)
{
    OutputTimeline t;
    // Data arriving before the clock's zero still leaves at zero.
    EXPECT_EQ(t.Place(OutputTimeline::kPicture, 5 * kSecond, kFrame, -2000000), 0);
    EXPECT_EQ(t.Place(OutputTimeline::kPicture, 5 * kSecond + kFrame, kFrame, 0), kFrame);
    // Sound a little ahead of the pictures keeps its place.
    EXPECT_EQ(t.Place(OutputTimeline::kSound, 5 * kSecond + kSecond / 2, kSecond / 10, 0), kSecond / 2);
    EXPECT_EQ(t.End(), kSecond / 2 + kSecond / 10);

    // Ten hours ahead (a damaged stamp): the pictures go on where they were, and
    // the stream's stamps after it keep that new footing.
    EXPECT_EQ(t.Place(OutputTimeline::kPicture, 36005 * kSecond, kFrame, 0), 2 * kFrame);
    EXPECT_EQ(t.Place(OutputTimeline::kPicture, 36005 * kSecond + kFrame, kFrame, 0), 3 * kFrame);
    // Sound is not moved by the pictures' jump.
    EXPECT_EQ(t.Place(OutputTimeline::kSound, 5 * kSecond + kSecond * 6 / 10, kSecond / 10, 0), kSecond * 6 / 10);
    // Back to the start (a cut): again continued, not replayed at once.
    EXPECT_EQ(t.Place(OutputTimeline::kSound, 0, kSecond / 10, 0), kSecond * 7 / 10);

    t.Reset();
    EXPECT_FALSE(t.Started());
    // A stream whose first unit comes late starts where the output is.
    EXPECT_EQ(t.Place(OutputTimeline::kPicture, 0, kFrame, 3 * kSecond), 3 * kSecond);
    EXPECT_EQ(t.Place(OutputTimeline::kSound, 20 * kSecond, kFrame, 4 * kSecond), 4 * kSecond);
}

}  // namespace
}  // namespace quvo::board
