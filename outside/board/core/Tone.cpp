#include "outside/board/core/Tone.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quvo::board {
namespace {

// One period of each tone at full scale: 48 samples of 1 kHz, 96 of 500 Hz.
struct Tables {
    std::array<double, 48> left;
    std::array<double, 96> right;
    Tables()
    {
        for (std::size_t i = 0; i < left.size(); ++i) left[i] = std::sin(2 * M_PI * static_cast<double>(i) / 48.0);
        for (std::size_t i = 0; i < right.size(); ++i) right[i] = std::sin(2 * M_PI * static_cast<double>(i) / 96.0);
    }
};
const Tables& TonesTables()
{
    static const Tables tables;
    return tables;
}

// Nominal line-up level: -12 dBFS at volume 0.
constexpr double kLevel = 32767.0 * 0.25;

}  // namespace

double GainOf(const AudioSettings& audio)
{
    if (audio.mute) return 0.0;
    const int db = std::clamp(audio.volume, -50, 0);
    return std::pow(10.0, db / 20.0);
}

void ToneGenerator::Generate(std::size_t frames, const AudioSettings& audio, std::vector<std::int16_t>& out)
{
    const Tables& t = TonesTables();
    const double amplitude = kLevel * GainOf(audio);
    out.reserve(out.size() + frames * 2);
    for (std::size_t i = 0; i < frames; ++i, ++position_) {
        out.push_back(static_cast<std::int16_t>(std::lround(amplitude * t.left[position_ % 48])));
        out.push_back(static_cast<std::int16_t>(std::lround(amplitude * t.right[position_ % 96])));
    }
}

}  // namespace quvo::board
