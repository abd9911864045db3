// The audio renderer's play-out queue: what is written comes out in order across
// the ring's wrap, silence fills what is missing or held back while not playing,
// every pulled frame counts as played, and a writer waiting for room is released
// by Abort (stop, flush).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/filters/renderers/PcmRing.h"

namespace quvo::filters {
namespace {

std::vector<std::int16_t> Ramp(std::size_t frames, int channels, int start)
{
    std::vector<std::int16_t> v(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::int16_t>(start + static_cast<int>(i));
    return v;
}

TEST(PcmRing, DataComesOutInOrderAcrossTheWrap)
{
    PcmRing ring(2, 100);
    ring.SetPlaying(true);
    std::vector<std::int16_t> out(2 * 70);
    int next = 0;
    for (int round = 0; round < 5; ++round) {
        const auto data = Ramp(70, 2, next);
        ASSERT_EQ(ring.Write(data.data(), 70), 70u);
        ring.Pull(out.data(), 70);
        EXPECT_EQ(out, data) << round;
        next += 140;
    }
    EXPECT_EQ(ring.FramesPlayed(), 350u);
    EXPECT_EQ(ring.WritePosition(), 350u);
}

TEST(PcmRing, SilenceWhereNothingIsQueuedOrWhileNotPlaying)
{
    PcmRing ring(1, 64);
    const auto data = Ramp(10, 1, 100);
    ring.Write(data.data(), 10);
    std::vector<std::int16_t> out(16, 7);
    ring.Pull(out.data(), 16);  // not playing: all silence, data kept
    EXPECT_EQ(out, std::vector<std::int16_t>(16, 0));
    EXPECT_EQ(ring.QueuedFrames(), 10u);
    EXPECT_EQ(ring.FramesPlayed(), 16u);
    EXPECT_EQ(ring.WritePosition(), 26u);

    ring.SetPlaying(true);
    ring.Pull(out.data(), 16);  // the data, then silence for the rest
    EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.begin() + 10), data);
    EXPECT_EQ(std::vector<std::int16_t>(out.begin() + 10, out.end()), std::vector<std::int16_t>(6, 0));
    EXPECT_EQ(ring.FramesPlayed(), 32u);

    ring.WriteSilence(5);
    EXPECT_EQ(ring.WritePosition(), 37u);
    ring.Clear();
    EXPECT_EQ(ring.QueuedFrames(), 0u);
}

TEST(PcmRing, FullRingBlocksTheWriterUntilPulledOrAborted)
{
    PcmRing ring(2, 32);
    ring.SetPlaying(true);
    const auto data = Ramp(48, 2, 0);
    std::size_t written = 0;
    std::thread writer([&] { written = ring.Write(data.data(), 48); });
    // The writer fills 32 frames and waits; pulling 16 lets it finish.
    while (ring.QueuedFrames() < 32) std::this_thread::yield();
    std::vector<std::int16_t> out(2 * 16);
    ring.Pull(out.data(), 16);
    writer.join();
    EXPECT_EQ(written, 48u);
    EXPECT_EQ(std::vector<std::int16_t>(out.begin(), out.end()), std::vector<std::int16_t>(data.begin(), data.begin() + 32));

    // Full again: Abort releases the writer with what it managed.
    std::thread blocked([&] { written = ring.Write(data.data(), 48); });
    ring.Abort();
    blocked.join();
    EXPECT_LT(written, 48u);
    ring.Resume();
    ring.Clear();
    EXPECT_EQ(ring.Write(data.data(), 10), 10u);
}

}  // namespace
}  // namespace quvo::filters
