#include "outside/board/driver/DeviceInfo.h"

#include <iterator>

namespace quvo::board {
namespace {

// The board's frame-size table: width, PAL height, NTSC height.
struct SizeRow {
    std::uint32_t width, pal, ntsc;
};
constexpr SizeRow kSizes[] = {
    {128, 96, 96},   {160, 120, 120}, {176, 144, 128}, {320, 288, 240}, {352, 288, 240},
    {352, 576, 480}, {384, 576, 480}, {384, 288, 288}, {480, 576, 480}, {480, 288, 240},
    {544, 576, 480}, {704, 288, 288}, {704, 576, 480}, {720, 576, 480},
};
// Rows (indices into kSizes) offered with each standard: MPEG-1 keeps to the
// small and half-height sizes, MPEG-2 to the broadcast ones.
constexpr int kMpeg1Rows[] = {0, 1, 2, 3, 4, 7, 5, 11};
constexpr int kMpeg2Rows[] = {4, 5, 6, 9, 8, 10, 11, 12, 13};

}  // namespace

DeviceInfo DeviceInfoFor(bool mpeg1, bool ntsc)
{
    DeviceInfo info;
    if (mpeg1) {
        info = {400000, 4000000, 4000000, 1150000, 25000, {}};
        for (int r : kMpeg1Rows) info.frameSizes.push_back({kSizes[r].width, ntsc ? kSizes[r].ntsc : kSizes[r].pal});
    } else {
        info = {1000000, 15000000, 15000000, 4200000, 25000, {}};
        for (int r : kMpeg2Rows) info.frameSizes.push_back({kSizes[r].width, ntsc ? kSizes[r].ntsc : kSizes[r].pal});
    }
    return info;
}

FrameSize AdaptToStandard(FrameSize size, bool toNtsc)
{
    for (const SizeRow& r : kSizes) {
        const std::uint32_t from = toNtsc ? r.pal : r.ntsc;
        if (r.width == size.width && from == size.height) return {r.width, toNtsc ? r.ntsc : r.pal};
    }
    return size;
}

}  // namespace quvo::board
