#include "outside/board/core/ProcAmp.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quvo::board {
namespace {

std::uint8_t Clamp8(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

void Sharpen(const PlaneView& v, double k)
{
    if (k == 0.0) return;
    std::vector<int> line(static_cast<std::size_t>(v.width));
    const int kq = static_cast<int>(std::lround(k * 256));
    for (int y = 0; y < v.height; ++y) {
        std::uint8_t* row = v.Row(0, y);
        for (int x = 0; x < v.width; ++x) line[static_cast<std::size_t>(x)] = row[x];
        for (int x = 1; x + 1 < v.width; ++x) {
            const int c = line[static_cast<std::size_t>(x)];
            const int edge = 2 * c - line[static_cast<std::size_t>(x - 1)] - line[static_cast<std::size_t>(x + 1)];
            row[x] = Clamp8(c + (edge * kq) / 256);
        }
    }
}

}  // namespace

ProcAmp::ProcAmp(const PictureSettings& s)
{
    for (int i = 0; i < 256; ++i)
        lut_[static_cast<std::size_t>(i)] = Clamp8((i - 16) * s.contrast / 128 + 16 + (s.brightness - 128));
    const int neutral = kProcAmpRanges[4].defaultValue;
    const int top = kProcAmpRanges[4].maximum;
    peaking_ = s.sharpness < neutral ? -0.25 * (neutral - s.sharpness) / neutral
                                     : 1.2 * (s.sharpness - neutral) / (top - neutral);
    // Hue turns the colour-difference vector (128 steps per half turn), saturation scales it.
    const double angle = s.hue * M_PI / 128.0;
    const double gain = s.saturation / 128.0;
    cosq_ = static_cast<int>(std::lround(std::cos(angle) * gain * 1024));
    sinq_ = static_cast<int>(std::lround(std::sin(angle) * gain * 1024));
}

void ProcAmp::Apply(const PlaneView& v) const
{
    Sharpen(v, peaking_);
    for (int y = 0; y < v.height; ++y) {
        std::uint8_t* row = v.Row(0, y);
        for (int x = 0; x < v.width; ++x) row[x] = lut_[row[x]];
    }
    if (cosq_ == 1024 && sinq_ == 0) return;
    for (int y = 0; y < v.height / 2; ++y) {
        std::uint8_t* cb = v.Row(1, y);
        std::uint8_t* cr = v.Row(2, y);
        for (int x = 0; x < v.width / 2; ++x) {
            const int u = cb[x] - 128;
            const int w = cr[x] - 128;
            cb[x] = Clamp8(128 + (u * cosq_ - w * sinq_) / 1024);
            cr[x] = Clamp8(128 + (u * sinq_ + w * cosq_) / 1024);
        }
    }
}

}  // namespace quvo::board
