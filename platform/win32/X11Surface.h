// A video surface over a window that belongs to a host's X11 program. We draw into it
// through a connection of our own (xcb: errors come back as replies, so a bad or
// vanished window never reaches a process-wide error handler) and never destroy it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win32/Window.h"

struct xcb_connection_t;

namespace quvo::win32 {

class X11Surface final : public IVideoSurface {
public:
    // Null when no X display can be opened, `xid` is not a window there, or its
    // depth is not one of 24 or 32 bits (pixels of 4 bytes).
    static std::shared_ptr<X11Surface> Open(std::uint32_t xid);
    ~X11Surface() override;

    // The window's size when it was opened.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Renderer thread: scales the picture into `dest`, clipped to the window's
    // current size, and waits until the server has it.
    void PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest) override;
    // Host thread: when it returns nothing more is drawn and the connection is closed.
    void Close();

private:
    X11Surface() = default;
    void Disconnect();

    std::mutex drawLock_;  // guards connection_ and scaled_; held for a whole present
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0;
    std::uint32_t gc_ = 0;
    std::uint8_t depth_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> scaled_;
};

}  // namespace quvo::win32
