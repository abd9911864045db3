#include "outside/board/core/Picture.h"

#include <algorithm>
#include <cstring>

namespace quvo::board {

void Picture::Resize(int width, int height)
{
    width_ = width;
    height_ = height;
    planes_[0].assign(static_cast<std::size_t>(width) * height, 16);
    planes_[1].assign(static_cast<std::size_t>(width / 2) * (height / 2), 128);
    planes_[2].assign(static_cast<std::size_t>(width / 2) * (height / 2), 128);
}

void Picture::Fill(std::uint8_t y, std::uint8_t cb, std::uint8_t cr)
{
    std::fill(planes_[0].begin(), planes_[0].end(), y);
    std::fill(planes_[1].begin(), planes_[1].end(), cb);
    std::fill(planes_[2].begin(), planes_[2].end(), cr);
}

PlaneView Picture::View()
{
    PlaneView v;
    for (int p = 0; p < 3; ++p) v.data[p] = planes_[p].data();
    v.stride[0] = width_;
    v.stride[1] = v.stride[2] = width_ / 2;
    v.width = width_;
    v.height = height_;
    return v;
}

void CopyPicture(Picture& src, const PlaneView& dst)
{
    PlaneView s = src.View();
    for (int p = 0; p < 3; ++p) {
        const int w = p == 0 ? s.width : s.width / 2;
        const int h = p == 0 ? s.height : s.height / 2;
        for (int y = 0; y < h; ++y) std::memcpy(dst.Row(p, y), s.Row(p, y), static_cast<std::size_t>(w));
    }
}

}  // namespace quvo::board
