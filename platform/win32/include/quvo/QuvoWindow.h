/* Window handles for hosts of QuvoSDK.
 *
 * QuvoSetPreviewWindow and QuvoSetEventNotificationWindow take a window handle of
 * the platform's window table. A host creates one here: with a message callback
 * (graph events arrive as posted messages), and optionally a frame callback that
 * receives each preview picture, or over a window of the host's X11 program that
 * the video renderer then draws the preview into.
 *
 * Callbacks run on the thread that posts or presents (a streaming thread, say):
 * copy what you need and hand it to your own event loop; never block for long and
 * never call back into QuvoSDK from inside a callback. Once QuvoWindowDestroy has
 * returned, no callback for that window runs any more (except the one that called
 * it, when it is called from inside a callback of the same window).
 *
 * Usable from C and C++. */
#ifndef QUVO_WINDOW_H
#define QUVO_WINDOW_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(QUVO_PLATFORM_BUILD)
#define QUVO_WINDOW_API __attribute__((visibility("default")))
#else
#define QUVO_WINDOW_API
#endif

/* The handle type QuvoSDK's functions take (QUVO_HWND there). */
typedef void* QUVO_WINDOW;

/* message: the number given to QuvoSetEventNotificationWindow (1224 for the desktop
 * program); wParam and lParam as the poster gave them. */
typedef void (*QuvoWindowMessageProc)(QUVO_WINDOW window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                      void* context);

/* One preview picture: height rows of width pixels, 4 bytes each (blue, green, red,
 * unused), stride bytes apart. The pixels are valid only during the call. The
 * destination rectangle (left, top, width, height) is the one the SDK was given
 * for the picture inside the window's client area. */
typedef void (*QuvoWindowFrameProc)(QUVO_WINDOW window, const uint8_t* bgra, int32_t width, int32_t height,
                                    int32_t stride, int32_t destLeft, int32_t destTop, int32_t destWidth,
                                    int32_t destHeight, void* context);

/* Creates a window handle. onMessage may be null (messages are then dropped);
 * onFrame may be null (the video renderer then opens a window of its own, or
 * renders headless without a display). context is handed to both callbacks.
 * Returns null when out of memory. */
QUVO_WINDOW_API QUVO_WINDOW QuvoWindowCreate(QuvoWindowMessageProc onMessage, QuvoWindowFrameProc onFrame,
                                             void* context);

/* Creates a window handle whose preview pictures are drawn into the host's X11
 * window xid (Xlib's Window, a GDK or Qt window id) on the display that DISPLAY
 * names, through a connection of the library's own: scaled to the destination
 * rectangle given to QuvoSetPreviewWindow and clipped to the window's current size.
 * The client size starts as the window's size. The window stays the host's: it is
 * never destroyed or changed here, and nothing is drawn into it once
 * QuvoWindowDestroy has returned. onMessage as for QuvoWindowCreate.
 * Returns null when no X display can be opened (headless, DISPLAY unset), xid is
 * not a window there, its pixels are not 4 bytes (depth 24 or 32), or out of memory. */
QUVO_WINDOW_API QUVO_WINDOW QuvoWindowCreateForX11(uint64_t xid, QuvoWindowMessageProc onMessage, void* context);

/* The host reports the size of the window's client area (initially 0 x 0).
 * Returns 1, or 0 when the handle is not a live window or a size is negative. */
QUVO_WINDOW_API int32_t QuvoWindowSetClientSize(QUVO_WINDOW window, int32_t width, int32_t height);

/* Destroys the handle; see the callback rule above. Returns 1, or 0 when the
 * handle is not a live window. */
QUVO_WINDOW_API int32_t QuvoWindowDestroy(QUVO_WINDOW window);

#ifdef __cplusplus
}
#endif

#endif /* QUVO_WINDOW_H */
