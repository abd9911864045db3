#include "sdk/FrameSizes.h"

#include <quvo/QuvoSDK.h>

namespace quvo::sdk {
namespace {

struct FrameSizeRow {
    std::uint32_t code, width, palHeight, ntscHeight;
};

// Some NTSC heights are not the PAL ones scaled: 384 and 704 wide keep 288 lines,
// and 176 wide has 128.
constexpr FrameSizeRow kRows[] = {
    {QUVO_RESOLUTION_128x96, 128, 96, 96},    {QUVO_RESOLUTION_160x120, 160, 120, 120},
    {QUVO_RESOLUTION_176x144, 176, 144, 128}, {QUVO_RESOLUTION_320x288, 320, 288, 240},
    {QUVO_RESOLUTION_352x288, 352, 288, 240}, {QUVO_RESOLUTION_352x576, 352, 576, 480},
    {QUVO_RESOLUTION_384x576, 384, 576, 480}, {QUVO_RESOLUTION_384x288, 384, 288, 288},
    {QUVO_RESOLUTION_480x576, 480, 576, 480}, {QUVO_RESOLUTION_480x288, 480, 288, 240},
    {QUVO_RESOLUTION_544x576, 544, 576, 480}, {QUVO_RESOLUTION_704x288, 704, 288, 288},
    {QUVO_RESOLUTION_704x576, 704, 576, 480}, {QUVO_RESOLUTION_720x576, 720, 576, 480},
};

}  // namespace

std::uint32_t FrameSizeCode(FrameSize size, std::uint32_t tvStandard)
{
    if (tvStandard != QUVO_TV_NTSC_M && tvStandard != QUVO_TV_PAL_B) return 0;
    for (const FrameSizeRow& r : kRows) {
        const std::uint32_t height = tvStandard == QUVO_TV_NTSC_M ? r.ntscHeight : r.palHeight;
        if (r.width == size.width && height == size.height) return r.code;
    }
    return 0;
}

bool FrameSizeOfCode(std::uint32_t code, std::uint32_t tvStandard, FrameSize* size)
{
    if (tvStandard != QUVO_TV_NTSC_M && tvStandard != QUVO_TV_PAL_B) return false;
    for (const FrameSizeRow& r : kRows) {
        if (r.code != code) continue;
        *size = {r.width, tvStandard == QUVO_TV_NTSC_M ? r.ntscHeight : r.palHeight};
        return true;
    }
    return false;
}

}  // namespace quvo::sdk
