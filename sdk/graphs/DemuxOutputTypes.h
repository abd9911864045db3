// The media types of the demultiplexer's two output pins in the preview graph: the
// MPEG-2 video type with its 288-byte format block and 12-byte sequence header, and
// the DVD linear PCM type. Pure functions of the device's current format, so they
// can be checked byte by byte.
#pragma once

#include <array>
#include <cstdint>

#include "platform/graph/Types.h"

namespace quvo::sdk {

inline constexpr ULONG kVideoFormatBlockSize = 288;
inline constexpr ULONG kAudioFormatBlockSize = 18;

// The first 12 bytes of an MPEG-2 sequence_header: size, 4:3 aspect, frame rate code
// 3 (25/s) for 400000 units per frame and 4 (30000/1001) otherwise, bit rate in
// 400 bit/s units, marker, VBV buffer 112, no constraint, no quantiser matrices.
std::array<std::uint8_t, 12> MakeSequenceHeader(std::uint32_t width, std::uint32_t height,
                                                 REFERENCE_TIME timePerFrame, std::uint32_t bitRate);

// Average time per frame of a TV standard code: 333667 for 1 (NTSC), 400000 for 16
// and 64 (PAL); 0 for any other code.
REFERENCE_TIME TimePerFrameOf(std::uint32_t tvStandard);

// A media type whose format block lives in `block` (not task memory): the caller
// keeps `block` alive while the type is in use.
struct VideoOutFormat {
    AM_MEDIA_TYPE type{};
    alignas(8) std::array<BYTE, kVideoFormatBlockSize> block{};
};
struct AudioOutFormat {
    AM_MEDIA_TYPE type{};
    alignas(8) std::array<BYTE, kAudioFormatBlockSize> block{};
};

// E_FAIL for a TV standard other than 1, 16 and 64. The type's pbFormat points
// into `out`, so `out` must not be copied or moved afterwards.
HRESULT BuildVideoOutFormat(std::uint32_t width, std::uint32_t height, std::uint32_t bitRate,
                            std::uint32_t tvStandard, VideoOutFormat* out);
void BuildAudioOutFormat(std::uint32_t samplesPerSecond, AudioOutFormat* out);

}  // namespace quvo::sdk
