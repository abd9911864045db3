// Planar 4:2:0 pictures: an owning buffer for cached pictures and a view for
// writing into someone else's planes (an encoder frame).
#pragma once

#include <cstdint>
#include <vector>

namespace quvo::board {

struct PlaneView {
    std::uint8_t* data[3] = {nullptr, nullptr, nullptr};  // Y, Cb, Cr
    int stride[3] = {0, 0, 0};
    int width = 0;   // luma size; chroma planes are half of it both ways
    int height = 0;

    std::uint8_t* Row(int plane, int y) const { return data[plane] + y * stride[plane]; }
};

class Picture {
public:
    Picture() = default;
    Picture(int width, int height) { Resize(width, height); }

    void Resize(int width, int height);
    void Fill(std::uint8_t y, std::uint8_t cb, std::uint8_t cr);
    PlaneView View();
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> planes_[3];
};

// Copies the picture row by row into `dst` (same size).
void CopyPicture(Picture& src, const PlaneView& dst);

}  // namespace quvo::board
