// The encoder's frame sizes by single-bit code: each code has one width and a
// height that depends on the TV standard (1 NTSC M, 16 PAL B).
#pragma once

#include <cstdint>

namespace quvo::sdk {

struct FrameSize {
    std::uint32_t width;
    std::uint32_t height;
};

// The code of the first row whose width and height under `tvStandard` match; 0
// when none does or the standard is neither NTSC M nor PAL B.
std::uint32_t FrameSizeCode(FrameSize size, std::uint32_t tvStandard);

// The frame size of `code` under `tvStandard`; false for a code that is not one of
// the table's, or another standard.
bool FrameSizeOfCode(std::uint32_t code, std::uint32_t tvStandard, FrameSize* size);

}  // namespace quvo::sdk
