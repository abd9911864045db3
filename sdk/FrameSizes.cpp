#include "sdk/FrameSizes.h"

namespace quvo::sdk {
namespace {

constexpr std::uint32_t kNtsc = 1;
constexpr std::uint32_t kPal = 16;

struct FrameSizeRow {
    std::uint32_t code, width, palHeight, ntscHeight;
};

// Some NTSC heights are not the PAL ones scaled: 384 and 704 wide keep 288 lines,
// and 176 wide has 128.
constexpr FrameSizeRow kRows[] = {
    {1, 128, 96, 96},      {2, 160, 120, 120},    {4, 176, 144, 128},    {8, 320, 288, 240},
    {16, 352, 288, 240},   {32, 352, 576, 480},   {64, 384, 576, 480},   {128, 384, 288, 288},
    {256, 480, 576, 480},  {512, 480, 288, 240},  {1024, 544, 576, 480}, {2048, 704, 288, 288},
    {4096, 704, 576, 480}, {8192, 720, 576, 480},
};

}  // namespace

std::uint32_t FrameSizeCode(FrameSize size, std::uint32_t tvStandard)
{
    if (tvStandard != kNtsc && tvStandard != kPal) return 0;
    for (const FrameSizeRow& r : kRows) {
        const std::uint32_t height = tvStandard == kNtsc ? r.ntscHeight : r.palHeight;
        if (r.width == size.width && height == size.height) return r.code;
    }
    return 0;
}

bool FrameSizeOfCode(std::uint32_t code, std::uint32_t tvStandard, FrameSize* size)
{
    if (tvStandard != kNtsc && tvStandard != kPal) return false;
    for (const FrameSizeRow& r : kRows) {
        if (r.code != code) continue;
        *size = {r.width, tvStandard == kNtsc ? r.ntscHeight : r.palHeight};
        return true;
    }
    return false;
}

}  // namespace quvo::sdk
