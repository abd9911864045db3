#include "platform/filters/demux/TimeStampClock.h"

namespace quvo::mpeg {

void TimeStampClock::Reset()
{
    started_ = false;
    base_ = 0;
    last_ = 0;
}

std::int64_t TimeStampClock::ToReferenceTime(std::uint64_t pts90k)
{
    const std::int64_t raw = static_cast<std::int64_t>(pts90k & (kWrap - 1));
    if (!started_) {
        started_ = true;
        base_ = raw;
        last_ = raw;
        return 0;
    }
    // Nearest unwrapped value to the last one: the difference taken modulo 2^33 and
    // read as a signed 33-bit number.
    const std::int64_t half = static_cast<std::int64_t>(kWrap / 2);
    std::int64_t delta = (raw - last_) % static_cast<std::int64_t>(kWrap);
    if (delta >= half) delta -= static_cast<std::int64_t>(kWrap);
    if (delta < -half) delta += static_cast<std::int64_t>(kWrap);
    last_ += delta;
    return TicksToReferenceTime(last_ - base_);
}

}  // namespace quvo::mpeg
