// Turns 33-bit 90 kHz PES time stamps into sample times (100 ns units) that start
// near zero: the first time stamp seen becomes time zero, and the 33-bit counter's
// wrap (every 26.5 hours) is followed so times keep increasing across it.
#pragma once

#include <cstdint>

namespace quvo::mpeg {

class TimeStampClock {
public:
    // Time of `pts90k` relative to the first value seen since construction or Reset.
    // Values are unwrapped against the last one seen, so streams that interleave a
    // little out of order (video DTS/PTS, audio) map consistently.
    std::int64_t ToReferenceTime(std::uint64_t pts90k);
    void Reset();

    static constexpr std::uint64_t kWrap = std::uint64_t{1} << 33;

private:
    bool started_ = false;
    std::int64_t base_ = 0;   // unwrapped value that maps to time zero
    std::int64_t last_ = 0;   // last unwrapped value
};

// 90 kHz ticks -> 100 ns units.
constexpr std::int64_t TicksToReferenceTime(std::int64_t ticks) { return ticks * 1000 / 9; }

}  // namespace quvo::mpeg
