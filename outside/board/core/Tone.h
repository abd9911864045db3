// The audio half of the test signal: a 1 kHz tone (left) and 500 Hz tone (right),
// 48 kHz, 16-bit stereo, at a level set by the board's volume and mute.
#pragma once

#include <cstdint>
#include <vector>

#include "outside/board/core/Settings.h"

namespace quvo::board {

class ToneGenerator {
public:
    // Appends `frames` interleaved stereo samples; the tone runs on without a
    // break from call to call.
    void Generate(std::size_t frames, const AudioSettings& audio, std::vector<std::int16_t>& out);

private:
    std::uint64_t position_ = 0;  // samples since start
};

// Linear gain of a volume in dB (-50..0); mute gives 0.
double GainOf(const AudioSettings& audio);

}  // namespace quvo::board
