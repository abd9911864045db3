#include "outside/board/core/OutputTimeline.h"

#include <algorithm>

namespace quvo::board {

std::int64_t OutputTimeline::Place(Kind kind, std::int64_t start, std::int64_t duration, std::int64_t now)
{
    if (!started_) {
        started_ = true;
        anchorClock_ = std::max<std::int64_t>(now, 0);
        anchorStream_ = start;
        end_ = anchorClock_;
    }
    Track& track = tracks_[kind];
    // Where this stream stands: where its last unit ended, or, for its first unit,
    // what the output is showing now.
    const std::int64_t expected = track.placed ? track.next : anchorStream_ + std::max<std::int64_t>(now - anchorClock_, 0);
    std::int64_t corrected = start + track.offset;
    const std::int64_t jump = corrected - expected;
    if (jump > kMaxJump || jump < -kMaxJump) {
        track.offset -= jump;
        corrected = expected;
    }
    track.placed = true;
    track.next = corrected + duration;
    const std::int64_t due = anchorClock_ + (corrected - anchorStream_);
    end_ = std::max(end_, due + duration);
    return due;
}

}  // namespace quvo::board
