#include "platform/graph/manager/GraphEvents.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/win32/Window.h"
#include "platform/com/NoThrow.h"

namespace quvo::graph {

using quvo::NoThrow;

namespace {
constexpr LONG kNoNotify = 0x01;  // AM_MEDIAEVENT_NONOTIFY

// Events that end a run as far as WaitForCompletion is concerned.
bool IsCompletion(LONG code)
{
    return code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT;
}

// Waits on `cv` until `ready` holds or the time-out passes (negative: forever).
template <class Pred>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, LONG timeoutMs, Pred ready)
{
    if (timeoutMs < 0) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}
}  // namespace

GraphEvents::GraphEvents(IUnknown* owner) : owner_(owner)
{
    eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

GraphEvents::~GraphEvents()
{
    if (eventFd_ >= 0) close(eventFd_);
}

void GraphEvents::SignalFd(bool nonEmpty)
{
    if (eventFd_ < 0) return;
    if (nonEmpty) {
        std::uint64_t one = 1;
        while (write(eventFd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
    } else {
        std::uint64_t drained;
        while (read(eventFd_, &drained, sizeof drained) < 0 && errno == EINTR) {
        }
    }
}

bool GraphEvents::QueueLocked(const Event& event)
{
    queue_.push_back(event);
    if (queue_.size() == 1) SignalFd(true);
    if (running_ && IsCompletion(event.code) && !completion_) {
        completion_ = true;
        completionCode_ = event.code;
    }
    queueChanged_.notify_all();
    return notifyWindow_ != 0 && (notifyFlags_ & kNoNotify) == 0;
}

void GraphEvents::PostNotification()
{
    OAHWND window;
    LONG message;
    LONG_PTR instance;
    {
        std::lock_guard lock(queueLock_);
        window = notifyWindow_;
        message = notifyMessage_;
        instance = notifyInstance_;
    }
    // Posted outside the lock: the host's callback may call GetEvent at once. A
    // message may therefore still arrive just after SetNotifyWindow(0); the host
    // then finds the queue empty or its interface released, both harmless.
    if (window != 0)
        ::PostMessage(reinterpret_cast<HWND>(window), static_cast<UINT>(message), 0,
                      static_cast<LPARAM>(instance));
}

HRESULT GraphEvents::Notify(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    bool post = false;
    {
        std::lock_guard lock(queueLock_);
        // Filters call this on their streaming threads: a full memory loses the event.
        const HRESULT hr = NoThrow([&] {
            if (code == EC_COMPLETE && defaultComplete_ && renderers_ > 0) {
                // One EC_COMPLETE for the graph, when the last renderer has finished.
                if (++completed_ != renderers_) return S_FALSE;
                post = QueueLocked({EC_COMPLETE, S_OK, 0});
            } else {
                post = QueueLocked({code, param1, param2});
            }
            return S_OK;
        });
        if (hr != S_OK) return SUCCEEDED(hr) ? S_OK : hr;
    }
    if (post) PostNotification();
    return S_OK;
}

HRESULT GraphEvents::GetEventHandle(OAEVENT* handle)
{
    if (!handle) return E_POINTER;
    if (eventFd_ < 0) return E_FAIL;
    *handle = eventFd_;
    return S_OK;
}

HRESULT GraphEvents::GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeoutMs)
{
    if (!code || !param1 || !param2) return E_POINTER;
    std::unique_lock lock(queueLock_);
    if (!WaitFor(queueChanged_, lock, timeoutMs, [this] { return !queue_.empty(); })) {
        *code = 0;
        *param1 = *param2 = 0;
        return E_ABORT;
    }
    Event event = queue_.front();
    queue_.pop_front();
    if (queue_.empty()) SignalFd(false);
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT GraphEvents::WaitForCompletion(LONG timeoutMs, LONG* code)
{
    if (!code) return E_POINTER;
    *code = 0;
    std::unique_lock lock(queueLock_);
    if (!running_) return VFW_E_WRONG_STATE;
    bool woke = WaitFor(queueChanged_, lock, timeoutMs, [this] { return completion_ || !running_; });
    if (!woke) return E_ABORT;
    if (!completion_) return VFW_E_WRONG_STATE;  // stopped while waiting
    *code = completionCode_;
    return S_OK;
}

HRESULT GraphEvents::CancelDefaultHandling(LONG code)
{
    if (code != EC_COMPLETE) return E_INVALIDARG;
    std::lock_guard lock(queueLock_);
    defaultComplete_ = false;
    return S_OK;
}

HRESULT GraphEvents::RestoreDefaultHandling(LONG code)
{
    if (code != EC_COMPLETE) return E_INVALIDARG;
    std::lock_guard lock(queueLock_);
    defaultComplete_ = true;
    return S_OK;
}

HRESULT GraphEvents::FreeEventParams(LONG, LONG_PTR, LONG_PTR)
{
    return S_OK;  // no event of this graph carries allocated parameters
}

HRESULT GraphEvents::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance)
{
    if (window != 0 && !IsWindow(reinterpret_cast<HWND>(window))) return E_INVALIDARG;
    // One message per event queued from now on; events already queued are not
    // announced again (the host may drain them with GetEvent).
    std::lock_guard lock(queueLock_);
    notifyWindow_ = window;
    notifyMessage_ = message;
    notifyInstance_ = instance;
    return S_OK;
}

HRESULT GraphEvents::SetNotifyFlags(LONG flags)
{
    if (flags != 0 && flags != kNoNotify) return E_INVALIDARG;
    std::lock_guard lock(queueLock_);
    notifyFlags_ = flags;
    return S_OK;
}

HRESULT GraphEvents::GetNotifyFlags(LONG* flags)
{
    if (!flags) return E_POINTER;
    std::lock_guard lock(queueLock_);
    *flags = notifyFlags_;
    return S_OK;
}

void GraphEvents::OnRunStarting(int renderers)
{
    std::lock_guard lock(queueLock_);
    running_ = true;
    renderers_ = renderers;
    completed_ = 0;
    completion_ = false;
    completionCode_ = 0;
}

void GraphEvents::OnStopped()
{
    std::lock_guard lock(queueLock_);
    running_ = false;
    renderers_ = 0;
    completed_ = 0;
    queueChanged_.notify_all();
}

}  // namespace quvo::graph
