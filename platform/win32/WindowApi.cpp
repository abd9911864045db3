// The C form of the window table, for hosts that are not our C++: a frame
// callback stands in for the video surface.
#include <quvo/QuvoWindow.h>

#include <condition_variable>
#include <mutex>
#include <memory>
#include <new>
#include <thread>
#include <unordered_map>

#include "platform/win32/Window.h"
#include "platform/win32/X11Surface.h"

namespace {

class CallbackSurface final : public IVideoSurface {
public:
    CallbackSurface(QuvoWindowFrameProc onFrame, void* context) : onFrame_(onFrame), context_(context) {}

    void Bind(HWND window) { window_ = window; }

    // Renderer thread.
    void PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest) override
    {
        {
            std::lock_guard lock(callLock_);
            if (closed_) return;
            ++callingThreads_[std::this_thread::get_id()];
            ++inFlight_;
        }
        onFrame_(window_, bgra, width, height, stride, dest.left, dest.top, dest.right - dest.left,
                 dest.bottom - dest.top, context_);
        {
            std::lock_guard lock(callLock_);
            --inFlight_;
            auto self = callingThreads_.find(std::this_thread::get_id());
            if (--self->second == 0) callingThreads_.erase(self);
        }
        callDone_.notify_all();
    }

    // Host thread: after this no frame callback runs, but one on this very thread.
    void Close()
    {
        std::unique_lock lock(callLock_);
        closed_ = true;
        auto self = callingThreads_.find(std::this_thread::get_id());
        int own = self == callingThreads_.end() ? 0 : self->second;
        callDone_.wait(lock, [&] { return inFlight_ == own; });
    }

private:
    QuvoWindowFrameProc onFrame_;
    void* context_;
    HWND window_ = nullptr;  // set once, before the handle is handed out

    std::mutex callLock_;  // guards closed_, inFlight_, callingThreads_
    std::condition_variable callDone_;
    bool closed_ = false;
    int inFlight_ = 0;
    std::unordered_map<std::thread::id, int> callingThreads_;
};

// What a window created here holds: its host's callbacks. Lives until destroy.
struct HostWindow {
    QuvoWindowMessageProc onMessage = nullptr;
    void* context = nullptr;
    std::shared_ptr<CallbackSurface> surface;
    std::shared_ptr<quvo::win32::X11Surface> x11;  // or the host's X11 window, drawn into
};

std::mutex hostWindowsLock;  // guards HostWindows()
std::unordered_map<HWND, std::unique_ptr<HostWindow>>& HostWindows()
{
    static auto* windows = new std::unordered_map<HWND, std::unique_ptr<HostWindow>>();
    return *windows;
}

// Posting thread.
void DeliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* context)
{
    auto* host = static_cast<HostWindow*>(context);
    if (host->onMessage) host->onMessage(window, message, wParam, lParam, host->context);
}

}  // namespace

extern "C" {

QUVO_WINDOW_API QUVO_WINDOW QuvoWindowCreate(QuvoWindowMessageProc onMessage, QuvoWindowFrameProc onFrame,
                                             void* context)
{
    try {
        auto host = std::make_unique<HostWindow>();
        host->onMessage = onMessage;
        host->context = context;
        if (onFrame) host->surface = std::make_shared<CallbackSurface>(onFrame, context);
        std::lock_guard lock(hostWindowsLock);
        HWND window = RegisterWindow(&DeliverMessage, host.get(), host->surface);
        if (host->surface) host->surface->Bind(window);
        HostWindows().emplace(window, std::move(host));
        return window;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

QUVO_WINDOW_API QUVO_WINDOW QuvoWindowCreateForX11(uint64_t xid, QuvoWindowMessageProc onMessage, void* context)
{
    try {
        if (xid == 0 || xid > UINT32_MAX) return nullptr;  // X11 ids are 32 bits
        auto host = std::make_unique<HostWindow>();
        host->onMessage = onMessage;
        host->context = context;
        host->x11 = quvo::win32::X11Surface::Open(static_cast<uint32_t>(xid));
        if (!host->x11) return nullptr;
        std::lock_guard lock(hostWindowsLock);
        HWND window = RegisterWindow(&DeliverMessage, host.get(), host->x11, host->x11->Width(), host->x11->Height());
        HostWindows().emplace(window, std::move(host));
        return window;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

QUVO_WINDOW_API int32_t QuvoWindowSetClientSize(QUVO_WINDOW window, int32_t width, int32_t height)
{
    if (width < 0 || height < 0) return 0;
    return SetWindowClientSize(static_cast<HWND>(window), width, height) ? 1 : 0;
}

QUVO_WINDOW_API int32_t QuvoWindowDestroy(QUVO_WINDOW window)
{
    HWND handle = static_cast<HWND>(window);
    std::unique_ptr<HostWindow> host;
    {
        std::lock_guard lock(hostWindowsLock);
        auto it = HostWindows().find(handle);
        if (it == HostWindows().end()) return 0;  // not ours, or gone already
        host = std::move(it->second);
        HostWindows().erase(it);
    }
    UnregisterWindow(handle);  // waits for message callbacks in flight
    // The presenter holds the surface while it calls, so closing it here is safe
    // even from inside a frame callback; DeliverMessage reads nothing of host after
    // its call returns, so freeing host is safe from inside a message callback too.
    if (host->surface) host->surface->Close();
    if (host->x11) host->x11->Close();  // waits for a picture being drawn
    return 1;
}

}  // extern "C"
