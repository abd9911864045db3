// What the board offers under each compression standard and TV standard: bit-rate
// limits, reference rate and step, and the frame sizes it encodes.
#pragma once

#include <cstdint>
#include <vector>

namespace quvo::board {

struct FrameSize {
    std::uint32_t width;
    std::uint32_t height;
};

struct DeviceInfo {
    std::uint32_t minBitRate;
    std::uint32_t maxBitRate;
    std::uint32_t maxPeakBitRate;  // the payload field the host does not read
    std::uint32_t referenceBitRate;
    std::uint32_t bitRateStep;
    std::vector<FrameSize> frameSizes;  // at most 10
};

// `mpeg1`: the encoder-settings MPEG-1 flag is 1; `ntsc`: TV format 1 (else 625 lines).
DeviceInfo DeviceInfoFor(bool mpeg1, bool ntsc);

// The same frame size under the other TV standard (the board's size table:
// PAL 576/288/144 lines become NTSC 480/240/128, and so on); sizes the table
// does not know keep their height.
FrameSize AdaptToStandard(FrameSize size, bool toNtsc);

}  // namespace quvo::board
