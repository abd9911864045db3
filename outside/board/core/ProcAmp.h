// The decoder's proc-amp as a picture operation: brightness and contrast on luma,
// hue and saturation on the colour-difference planes, sharpness as horizontal
// peaking or softening of luma.
#pragma once

#include <array>
#include <cstdint>

#include "outside/board/core/Picture.h"
#include "outside/board/core/Settings.h"

namespace quvo::board {

class ProcAmp {
public:
    explicit ProcAmp(const PictureSettings& settings);

    std::uint8_t Luma(int y) const { return lut_[static_cast<std::uint8_t>(y)]; }
    // Sharpness, then brightness and contrast, then hue and saturation.
    void Apply(const PlaneView& v) const;

private:
    std::array<std::uint8_t, 256> lut_{};
    double peaking_ = 0;  // > 0 peaks, < 0 softens
    int cosq_ = 1024;     // chroma rotation and gain, 10-bit fixed point
    int sinq_ = 0;
};

}  // namespace quvo::board
