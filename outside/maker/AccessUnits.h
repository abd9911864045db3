// Cutting an MPEG-1/2 video elementary stream into access units (each coded
// picture with the sequence and group headers before it) and giving each one its
// decoding time. Plain C++; times are REFERENCE_TIME (100 ns).
//
// A stream's time stamps come with the blocks that carried them: a block's time
// belongs to the first picture that starts in it (as a PES time stamp belongs to
// the first picture starting in its packet). A picture that starts without a time
// of its own gets one from its temporal reference (its place in display order
// within the group) and a timed picture of the same group; when the group has
// none yet, it travels untimed, as a continuation of the unit before.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quvo::maker {

enum class PictureType : std::uint8_t { Unknown = 0, I = 1, P = 2, B = 3 };

struct AccessUnit {
    std::vector<std::uint8_t> bytes;
    bool hasTime = false;     // false: a continuation of the unit before
    std::int64_t pts = 0;
    std::int64_t dts = 0;
    bool key = false;         // starts with a sequence or group header
    PictureType type = PictureType::Unknown;
    int temporalReference = -1;
};

class AccessUnitCutter {
public:
    // No picture of MPEG-1/2 comes near this (a whole video buffer is under
    // 2 MB); bytes beyond it in one unit are damaged data and are dropped.
    static constexpr std::size_t kMaxUnitBytes = 4u << 20;

    using Sink = std::function<void(AccessUnit&)>;

    // `frameDuration` (100 ns) gives the decoding delay of the first reference
    // picture; `sink` gets each finished unit.
    AccessUnitCutter(std::int64_t frameDuration, Sink sink);

    // The next bytes of the stream; `time` (when `hasTime`) is their block's.
    void Push(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time);
    // Hands out the unit in progress (end of stream).
    void Finish();
    // Forgets everything (a flush, a new run).
    void Reset();

private:
    void StartCode(std::uint8_t id);
    void Cut();
    void Stamp(AccessUnit& unit);

    std::int64_t frameDuration_;
    Sink sink_;
    AccessUnit unit_;
    bool started_ = false;        // a sequence, group or picture start was seen
    bool hasPicture_ = false;     // unit_ holds a picture start code
    std::size_t typeAt_ = 0;      // index in unit_.bytes of the picture-type byte, 0: none pending
    std::uint32_t scan_ = 0xFFFFFFFF;
    bool timePending_ = false;
    std::int64_t pendingTime_ = 0;
    // The group's anchor for pictures without a time: a timed picture's temporal
    // reference and time, or the group's start after the latest picture shown.
    bool haveAnchor_ = false;
    int anchorReference_ = 0;
    std::int64_t anchorPts_ = 0;
    bool haveShown_ = false;
    std::int64_t lastShown_ = 0;
    // Decoding times: a reference picture is decoded when the reference before it
    // is shown, a B picture when it is shown itself.
    bool haveReference_ = false;
    std::int64_t lastReferencePts_ = 0;
    bool haveDts_ = false;
    std::int64_t lastDts_ = 0;
};

}  // namespace quvo::maker
