#include "outside/board/core/TestPattern.h"

#include "outside/board/core/ProcAmp.h"

#include <algorithm>
#include <cstring>

namespace quvo::board {
namespace {

struct Ycc {
    std::uint8_t y, cb, cr;
};

// 75 % colour bars (ITU-R BT.601 levels): white, yellow, cyan, green, magenta,
// red, blue, black.
constexpr Ycc kBars[8] = {
    {180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
    {84, 184, 198},  {65, 100, 212}, {35, 212, 114}, {16, 128, 128},
};

std::uint8_t Clamp8(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

// Ideal luma: bars in the upper two thirds; below, a multiburst on the left (bursts
// of rising frequency, where sharpness shows) and a ramp on the right (where
// brightness and contrast show).
void DrawIdeal(PlaneView v)
{
    const int barsBottom = (v.height * 2 / 3) & ~1;
    for (int y = 0; y < v.height; ++y) {
        std::uint8_t* row = v.Row(0, y);
        for (int x = 0; x < v.width; ++x) {
            if (y < barsBottom) {
                row[x] = kBars[x * 8 / v.width].y;
            } else if (x < v.width / 2) {
                const int burst = x * 6 / (v.width / 2);   // 0..5
                const int period = 12 >> (burst / 2);      // 12, 12, 6, 6, 3, 3 pixels
                row[x] = ((x / std::max(1, period / 2)) & 1) ? 200 : 40;
            } else {
                row[x] = static_cast<std::uint8_t>(16 + (x - v.width / 2) * 219 / std::max(1, v.width / 2 - 1));
            }
        }
    }
    for (int y = 0; y < v.height / 2; ++y) {
        std::uint8_t* cb = v.Row(1, y);
        std::uint8_t* cr = v.Row(2, y);
        for (int x = 0; x < v.width / 2; ++x) {
            const bool bars = y * 2 < barsBottom;
            const Ycc c = bars ? kBars[x * 2 * 8 / v.width] : Ycc{0, 128, 128};
            cb[x] = c.cb;
            cr[x] = c.cr;
        }
    }
}

// Chroma of a composite signal: narrower band and a small delay against luma.
void CompositeChroma(PlaneView v)
{
    const int cw = v.width / 2;
    std::vector<int> line(static_cast<std::size_t>(cw));
    for (int p = 1; p < 3; ++p) {
        for (int y = 0; y < v.height / 2; ++y) {
            std::uint8_t* row = v.Row(p, y);
            for (int x = 0; x < cw; ++x) line[static_cast<std::size_t>(x)] = row[x];
            for (int x = 0; x < cw; ++x) {
                // Delayed by one chroma sample, then smoothed [1 2 1].
                auto at = [&](int i) { return line[static_cast<std::size_t>(std::clamp(i, 0, cw - 1))]; };
                row[x] = static_cast<std::uint8_t>((at(x - 2) + 2 * at(x - 1) + at(x)) / 4);
            }
        }
    }
}

void AddNoise(PlaneView v, std::uint32_t seed)
{
    std::uint32_t s = seed * 2654435761u + 12345u;
    for (int y = 0; y < v.height; ++y) {
        std::uint8_t* row = v.Row(0, y);
        for (int x = 0; x < v.width; ++x) {
            s = s * 1664525u + 1013904223u;
            const int n = static_cast<int>((s >> 24) % 9) - 4;  // -4..4
            row[x] = Clamp8(row[x] + n);
        }
    }
}

}  // namespace

void TestPattern::Configure(int width, int height, const PictureSettings& settings)
{
    if (width == width_ && height == height_ && settings == settings_ && !stills_.empty()) return;
    width_ = width;
    height_ = height;
    settings_ = settings;
    Build();
}

void TestPattern::Build()
{
    const ProcAmp procAmp(settings_);
    for (int i = 0; i < 256; ++i) lumaLut_[static_cast<std::size_t>(i)] = procAmp.Luma(i);

    Picture ideal(width_, height_);
    PlaneView iv = ideal.View();
    DrawIdeal(iv);
    procAmp.Apply(iv);

    stills_.clear();
    if (settings_.input == VideoInput::Composite) {
        CompositeChroma(iv);
        for (std::uint32_t i = 0; i < 4; ++i) {
            stills_.push_back(ideal);
            AddNoise(stills_.back().View(), i + 1);
        }
    } else {
        stills_.push_back(std::move(ideal));
    }
}

Picture& TestPattern::Still(std::int64_t frameNumber)
{
    return stills_[static_cast<std::size_t>(frameNumber % static_cast<std::int64_t>(stills_.size()))];
}

void FillNoSignal(const PlaneView& dst)
{
    for (int y = 0; y < dst.height; ++y) std::memset(dst.Row(0, y), 35, static_cast<std::size_t>(dst.width));
    for (int y = 0; y < dst.height / 2; ++y) {
        std::memset(dst.Row(1, y), 212, static_cast<std::size_t>(dst.width / 2));
        std::memset(dst.Row(2, y), 114, static_cast<std::size_t>(dst.width / 2));
    }
}

}  // namespace quvo::board
