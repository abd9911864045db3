#include "outside/board/core/Overlay.h"

#include <algorithm>
#include <cstring>

namespace quvo::board {
namespace {

// Segments a..g of each digit, bit 0 = a (top), clockwise, g = middle.
constexpr std::uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// Fills a rectangle (clipped, snapped to even coordinates so chroma lines up).
void FillRect(const PlaneView& v, int x, int y, int w, int h, std::uint8_t luma)
{
    int x0 = std::clamp(x & ~1, 0, v.width);
    int y0 = std::clamp(y & ~1, 0, v.height);
    int x1 = std::clamp((x + w + 1) & ~1, 0, v.width);
    int y1 = std::clamp((y + h + 1) & ~1, 0, v.height);
    if (x1 <= x0 || y1 <= y0) return;
    for (int r = y0; r < y1; ++r) std::memset(v.Row(0, r) + x0, luma, static_cast<std::size_t>(x1 - x0));
    for (int r = y0 / 2; r < y1 / 2; ++r) {
        std::memset(v.Row(1, r) + x0 / 2, 128, static_cast<std::size_t>((x1 - x0) / 2));
        std::memset(v.Row(2, r) + x0 / 2, 128, static_cast<std::size_t>((x1 - x0) / 2));
    }
}

void DrawDigit(const PlaneView& v, int x, int y, int w, int h, int t, int digit, std::uint8_t luma)
{
    const std::uint8_t s = kSegments[digit];
    const int mid = y + (h - t) / 2;
    if (s & 0x01) FillRect(v, x, y, w, t, luma);                  // a
    if (s & 0x02) FillRect(v, x + w - t, y, t, h / 2, luma);      // b
    if (s & 0x04) FillRect(v, x + w - t, mid, t, h - (mid - y), luma);  // c
    if (s & 0x08) FillRect(v, x, y + h - t, w, t, luma);          // d
    if (s & 0x10) FillRect(v, x, mid, t, h - (mid - y), luma);    // e
    if (s & 0x20) FillRect(v, x, y, t, h / 2, luma);              // f
    if (s & 0x40) FillRect(v, x, mid, w, t, luma);                // g
}

}  // namespace

TimeCode TimeCodeOf(std::int64_t frameNumber, FrameRate rate)
{
    const int fps = (rate.num + rate.den - 1) / rate.den;  // 25 or 30 (non-drop)
    TimeCode tc{};
    tc.frames = static_cast<int>(frameNumber % fps);
    std::int64_t secs = frameNumber / fps;
    tc.seconds = static_cast<int>(secs % 60);
    tc.minutes = static_cast<int>(secs / 60 % 60);
    tc.hours = static_cast<int>(secs / 3600 % 24);
    return tc;
}

void DrawOverlays(const PlaneView& v, std::int64_t frameNumber, const TimeCode& tc,
                  std::uint8_t boxLuma, std::uint8_t textLuma, std::uint8_t backLuma)
{
    // The box bounces across the bars at about one picture width in two seconds.
    const int boxW = std::max(4, v.width / 10);
    const int boxH = std::max(4, v.height / 6);
    const int travel = std::max(2, v.width - boxW);
    const int speed = std::max(2, v.width / 50);
    const std::int64_t pos = (frameNumber * speed) % (2 * travel);
    const int x = static_cast<int>(pos < travel ? pos : 2 * travel - pos);
    FillRect(v, x, v.height / 3 - boxH / 2, boxW, boxH, boxLuma);

    // Time code panel in the lower third, left of centre.
    const int dw = std::max(4, v.width / 36);
    const int dh = dw * 2;
    const int t = std::max(2, dw / 4);
    const int gap = std::max(2, dw / 3);
    const int digits[8] = {tc.hours / 10, tc.hours % 10, tc.minutes / 10, tc.minutes % 10,
                           tc.seconds / 10, tc.seconds % 10, tc.frames / 10, tc.frames % 10};
    const int panelW = 8 * (dw + gap) + 3 * (t + gap) + gap;
    const int panelH = dh + 2 * gap;
    const int px = std::max(0, v.width / 2 - panelW / 2);
    const int py = std::max(0, v.height * 2 / 3 + (v.height / 3 - panelH) / 2);
    FillRect(v, px, py, panelW, panelH, backLuma);
    int cx = px + gap;
    for (int i = 0; i < 8; ++i) {
        DrawDigit(v, cx, py + gap, dw, dh, t, digits[i], textLuma);
        cx += dw + gap;
        if (i % 2 == 1 && i < 7) {
            FillRect(v, cx, py + gap + dh / 4, t, t, textLuma);
            FillRect(v, cx, py + gap + dh * 3 / 4 - t, t, t, textLuma);
            cx += t + gap;
        }
    }
}

}  // namespace quvo::board
