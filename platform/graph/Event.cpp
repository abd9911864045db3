#include "platform/graph/Event.h"

#include <chrono>

namespace quvo {

Event::Event(Mode mode, bool initiallySet) : mode_(mode), set_(initiallySet) {}

void Event::Set()
{
    // Notified under the lock: a waiter that wakes may destroy the event at once,
    // so Set must be done with it before the waiter can leave Wait.
    std::lock_guard lock(signalLock_);
    set_ = true;
    if (mode_ == Mode::ManualReset)
        changed_.notify_all();
    else
        changed_.notify_one();
}

void Event::Reset()
{
    std::lock_guard lock(signalLock_);
    set_ = false;
}

bool Event::Wait(DWORD timeoutMs)
{
    std::unique_lock lock(signalLock_);
    auto isSet = [this] { return set_; };
    if (timeoutMs == INFINITE)
        changed_.wait(lock, isSet);
    else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet))
        return false;
    if (mode_ == Mode::AutoReset) set_ = false;
    return true;
}

bool Event::IsSet() const
{
    std::lock_guard lock(signalLock_);
    return set_;
}

}  // namespace quvo
