// The board's analogue input when no media file is named: colour bars over a
// multiburst and a grey ramp, seen through the decoder's proc-amp and the chosen
// input. The still part is built once per setting change and cached, so a frame
// costs one copy plus the moving overlays (Overlay.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "outside/board/core/Picture.h"
#include "outside/board/core/Settings.h"

namespace quvo::board {

class TestPattern {
public:
    // Rebuilds the cached pictures when the size or the settings differ from the
    // last call; cheap otherwise.
    void Configure(int width, int height, const PictureSettings& settings);

    // The still picture for frame `frameNumber` (composite input adds noise that
    // changes from frame to frame).
    Picture& Still(std::int64_t frameNumber);

    // Luma level an overlay of ideal level `y` shows after brightness and contrast.
    std::uint8_t ProcessLuma(int y) const { return lumaLut_[static_cast<std::uint8_t>(y)]; }

private:
    void Build();

    int width_ = 0;
    int height_ = 0;
    PictureSettings settings_;
    std::array<std::uint8_t, 256> lumaLut_{};
    std::vector<Picture> stills_;
};

// The blue picture the board sends while its input has no signal.
void FillNoSignal(const PlaneView& dst);

}  // namespace quvo::board
