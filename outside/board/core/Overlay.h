// The moving parts of the test signal: a box that travels across the bars and a
// running time code drawn with seven-segment digits.
#pragma once

#include <cstdint>

#include "outside/board/core/Picture.h"
#include "outside/board/core/Settings.h"

namespace quvo::board {

// Time code "HH:MM:SS:FF" of `frameNumber` frames at `rate` (non-drop).
struct TimeCode {
    int hours, minutes, seconds, frames;
};
TimeCode TimeCodeOf(std::int64_t frameNumber, FrameRate rate);

// Draws the box for `frameNumber` in luma `boxLuma` and the time code in `textLuma`
// on a `backLuma` panel; chroma of both is neutral.
void DrawOverlays(const PlaneView& dst, std::int64_t frameNumber, const TimeCode& tc,
                  std::uint8_t boxLuma, std::uint8_t textLuma, std::uint8_t backLuma);

}  // namespace quvo::board
