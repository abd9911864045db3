// When each decoded unit leaves the board's output, on the output clock (100 ns).
// The first unit placed leaves when the output starts showing (never before the
// clock's zero); every other unit keeps its distance in stream time from that one,
// so the output runs in real time. Pictures and sound each keep their own pace:
// a time stamp that jumps more than two seconds away from where its stream was
// (a cut in the recording, a damaged stamp) continues that stream where it
// stood instead, so no damaged stamp holds the output for hours. Plain C++.
#pragma once

#include <cstdint>

namespace quvo::board {

class OutputTimeline {
public:
    enum Kind { kPicture = 0, kSound = 1 };
    static constexpr std::int64_t kMaxJump = 20000000;  // 2 s

    // The due time of a unit starting at `start` (stream time) that lasts
    // `duration`; `now` is the output clock at the call.
    std::int64_t Place(Kind kind, std::int64_t start, std::int64_t duration, std::int64_t now);
    bool Started() const { return started_; }
    // When the last unit placed so far ends (output clock).
    std::int64_t End() const { return end_; }
    void Reset() { *this = OutputTimeline(); }

private:
    struct Track {
        bool placed = false;
        std::int64_t offset = 0;  // added to the stream's stamps after jumps
        std::int64_t next = 0;    // corrected stream time where the last unit ended
    };

    bool started_ = false;
    std::int64_t anchorClock_ = 0;   // output clock of the first unit
    std::int64_t anchorStream_ = 0;  // its stream time
    std::int64_t end_ = 0;
    Track tracks_[2];
};

}  // namespace quvo::board
