#include "platform/win32/X11Surface.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace quvo::win32 {

namespace {

// Errors of unchecked requests (a window the host destroyed meanwhile) arrive as
// events; nobody waits for them, so they are only freed.
void DrainEvents(xcb_connection_t* connection)
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) std::free(event);
}

}  // namespace

std::shared_ptr<X11Surface> X11Surface::Open(std::uint32_t xid)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display || xid == 0) return nullptr;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::shared_ptr<X11Surface> surface(new X11Surface());
    surface->connection_ = connection;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xid), nullptr);
    if (!geometry) return nullptr;  // not a window (or a pixmap id; drawing there is not ours)
    surface->window_ = xid;
    surface->depth_ = geometry->depth;
    surface->width_ = geometry->width;
    surface->height_ = geometry->height;
    std::free(geometry);
    if (surface->depth_ != 24 && surface->depth_ != 32) return nullptr;
    // A depth of 24 or 32 might still be stored in 3 bytes; we only write 4-byte pixels.
    bool fourBytes = false;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == surface->depth_) fourBytes = it.data->bits_per_pixel == 32;
    if (!fourBytes || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return nullptr;
    surface->gc_ = xcb_generate_id(connection);
    xcb_generic_error_t* error = xcb_request_check(connection, xcb_create_gc_checked(connection, surface->gc_, xid, 0, nullptr));
    if (error) {
        std::free(error);
        surface->gc_ = 0;
        return nullptr;
    }
    return surface;
}

X11Surface::~X11Surface() { Disconnect(); }

void X11Surface::Disconnect()
{
    if (!connection_) return;
    if (gc_) xcb_free_gc(connection_, gc_);
    xcb_disconnect(connection_);  // flushes; the window itself stays the host's
    connection_ = nullptr;
}

void X11Surface::Close()
{
    std::lock_guard lock(drawLock_);
    Disconnect();
}

void X11Surface::PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest)
{
    std::lock_guard lock(drawLock_);
    if (!connection_ || width <= 0 || height <= 0) return;
    DrainEvents(connection_);
    // The host may have resized (or destroyed) its window since the last picture.
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr);
    if (!geometry) return;
    const long clientW = geometry->width;
    const long clientH = geometry->height;
    std::free(geometry);

    const long destW = static_cast<long>(dest.right) - dest.left;
    const long destH = static_cast<long>(dest.bottom) - dest.top;
    if (destW <= 0 || destH <= 0) return;
    const long x0 = std::max<long>(dest.left, 0), x1 = std::min<long>(dest.right, clientW);
    const long y0 = std::max<long>(dest.top, 0), y1 = std::min<long>(dest.bottom, clientH);
    if (x0 >= x1 || y0 >= y1) return;
    const int outW = static_cast<int>(x1 - x0);
    const int outH = static_cast<int>(y1 - y0);

    // Nearest pixel: a preview, and no scaler needed for a host's window.
    scaled_.resize(static_cast<std::size_t>(outW) * outH * 4);
    auto* out = reinterpret_cast<std::uint32_t*>(scaled_.data());
    for (int y = 0; y < outH; ++y) {
        const long sy = (y + y0 - dest.top) * height / destH;
        const auto* row = reinterpret_cast<const std::uint32_t*>(bgra + sy * static_cast<long>(stride));
        for (int x = 0; x < outW; ++x) out[static_cast<std::size_t>(y) * outW + x] = row[(x + x0 - dest.left) * width / destW];
    }

    // One request may carry only so much; 64 bytes stay for its header.
    const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(connection_)) * 4 - 64;
    const int rowsPerRequest = std::max<int>(1, static_cast<int>(maxBytes / (static_cast<std::size_t>(outW) * 4)));
    for (int y = 0; y < outH; y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, outH - y);
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<std::uint16_t>(outW),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(x0),
                      static_cast<std::int16_t>(y0 + y), 0, depth_, static_cast<std::uint32_t>(rows) * outW * 4,
                      scaled_.data() + static_cast<std::size_t>(y) * outW * 4);
    }
    // A round trip: the server has drawn all of it before the lock is let go, so
    // nothing of ours lands in the window after Close.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

}  // namespace quvo::win32
