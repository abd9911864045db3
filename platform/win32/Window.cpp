#include "platform/win32/Window.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/win32/Errors.h"

namespace {

struct WindowEntry {
    WindowMessageCallback callback;
    void* context;
    std::shared_ptr<IVideoSurface> surface;  // guarded by WindowTable::tableLock
    int clientWidth;                         // guarded by WindowTable::tableLock
    int clientHeight;                        // guarded by WindowTable::tableLock

    // Callbacks running now, so that unregistering can wait for them.
    std::mutex callLock;  // guards inFlight, closed, callingThreads
    std::condition_variable callDone;
    int inFlight = 0;
    bool closed = false;
    std::unordered_map<std::thread::id, int> callingThreads;
};

class WindowTable {
public:
    // Never destroyed: a library's unload code may still post or unregister while
    // the process exits, after ordinary static objects are gone.
    static WindowTable& Instance()
    {
        static auto* table = new WindowTable();
        return *table;
    }

    HWND Add(std::shared_ptr<WindowEntry> entry)
    {
        std::lock_guard lock(tableLock_);
        // Handles are never reused, so a stale handle stays dead.
        nextHandle_ += 4;
        HWND handle = reinterpret_cast<HWND>(nextHandle_);
        windows_.emplace(handle, std::move(entry));
        return handle;
    }

    std::shared_ptr<WindowEntry> Find(HWND window)
    {
        std::lock_guard lock(tableLock_);
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : it->second;
    }

    std::shared_ptr<WindowEntry> Remove(HWND window)
    {
        std::lock_guard lock(tableLock_);
        auto it = windows_.find(window);
        if (it == windows_.end()) return nullptr;
        auto entry = std::move(it->second);
        windows_.erase(it);
        return entry;
    }

    template <class F>
    auto WithEntry(HWND window, F&& f) -> bool
    {
        std::lock_guard lock(tableLock_);
        auto it = windows_.find(window);
        if (it == windows_.end()) return false;
        f(*it->second);
        return true;
    }

private:
    std::mutex tableLock_;  // guards windows_, nextHandle_ and each entry's surface and size
    std::unordered_map<HWND, std::shared_ptr<WindowEntry>> windows_;
    std::uintptr_t nextHandle_ = 0x10000;
};

}  // namespace

HWND RegisterWindow(WindowMessageCallback callback, void* context, std::shared_ptr<IVideoSurface> surface,
                    int clientWidth, int clientHeight)
{
    auto entry = std::make_shared<WindowEntry>();
    entry->callback = callback;
    entry->context = context;
    entry->surface = std::move(surface);
    entry->clientWidth = clientWidth;
    entry->clientHeight = clientHeight;
    return WindowTable::Instance().Add(std::move(entry));
}

bool UnregisterWindow(HWND window)
{
    auto entry = WindowTable::Instance().Remove(window);
    if (!entry) return false;
    std::unique_lock lock(entry->callLock);
    entry->closed = true;
    auto self = entry->callingThreads.find(std::this_thread::get_id());
    int own = self == entry->callingThreads.end() ? 0 : self->second;
    entry->callDone.wait(lock, [&] { return entry->inFlight == own; });
    return true;
}

BOOL IsWindow(HWND window) { return window && WindowTable::Instance().Find(window) ? TRUE : FALSE; }

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto entry = window ? WindowTable::Instance().Find(window) : nullptr;
    if (!entry) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard lock(entry->callLock);
        if (entry->closed) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        ++entry->inFlight;
        ++entry->callingThreads[std::this_thread::get_id()];
    }
    if (entry->callback) entry->callback(window, message, wParam, lParam, entry->context);
    {
        std::lock_guard lock(entry->callLock);
        --entry->inFlight;
        auto self = entry->callingThreads.find(std::this_thread::get_id());
        if (--self->second == 0) entry->callingThreads.erase(self);
    }
    entry->callDone.notify_all();
    return TRUE;
}

bool SetWindowClientSize(HWND window, int width, int height)
{
    return WindowTable::Instance().WithEntry(window, [&](WindowEntry& e) {
        e.clientWidth = width;
        e.clientHeight = height;
    });
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool found = WindowTable::Instance().WithEntry(window, [&](WindowEntry& e) {
        *rect = RECT{0, 0, e.clientWidth, e.clientHeight};
    });
    if (!found) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return found ? TRUE : FALSE;
}

std::shared_ptr<IVideoSurface> GetWindowVideoSurface(HWND window)
{
    std::shared_ptr<IVideoSurface> surface;
    WindowTable::Instance().WithEntry(window, [&](WindowEntry& e) { surface = e.surface; });
    return surface;
}
