// Window handles. The platform has no windows of its own: a host program (the desktop
// program, a test) registers each window that the system may be handed, with a
// message callback and optionally a video surface, and gets an HWND for it. Any
// thread may post to a window or present video to it.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/com/Types.h"

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

// Called for each posted message, on the posting thread (a streaming thread, say);
// the host re-posts to its own event loop. It must not block for long.
using WindowMessageCallback = void (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* context);

// Where a video renderer hands its frames when the window is its owner. Called from
// the renderer's thread; the implementation copies what it needs before returning.
struct IVideoSurface {
    // `bgra`: height rows of width pixels, 4 bytes each (blue, green, red, unused),
    // `stride` bytes apart; `dest`: where in the window's client area to show it.
    virtual void PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest) = 0;

    virtual ~IVideoSurface() = default;
};

// Registers a window; `callback` may be null (messages are then dropped). The
// surface, if any, stays alive while the table or a presenter holds it.
HWND RegisterWindow(WindowMessageCallback callback, void* context,
                    std::shared_ptr<IVideoSurface> surface = nullptr, int clientWidth = 0, int clientHeight = 0);

// Removes the window. When it returns, no callback for it runs any more (except
// the one that called it, if it is called from inside the window's own callback).
// False for a handle that is not registered.
bool UnregisterWindow(HWND window);

BOOL IsWindow(HWND window);

// Delivers the message to the window's callback. FALSE with
// ERROR_INVALID_WINDOW_HANDLE when the handle is not a live window.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The host reports the size of the window's client area when it changes.
bool SetWindowClientSize(HWND window, int width, int height);
// (0, 0, width, height) of the client area; FALSE for a handle that is not a window.
BOOL GetClientRect(HWND window, RECT* rect);

// The window's video surface, held for the caller: the host may unregister the
// window meanwhile, and the surface outlives that until the caller lets go.
std::shared_ptr<IVideoSurface> GetWindowVideoSurface(HWND window);
