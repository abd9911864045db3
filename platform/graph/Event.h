// Event: the waitable object a reference clock signals (HEVENT / HSEMAPHORE here).
// Auto-reset events release one waiter per Set and clear themselves; manual-reset
// events stay set until Reset. Any thread may call any method.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/graph/Types.h"

namespace quvo {

class Event {
public:
    enum class Mode { AutoReset, ManualReset };

    explicit Event(Mode mode = Mode::AutoReset, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when the event was set within `timeoutMs` (INFINITE waits for ever);
    // an auto-reset event is cleared by the wait that sees it.
    bool Wait(DWORD timeoutMs = INFINITE);
    bool IsSet() const;

private:
    const Mode mode_;
    // signalLock guards `set_`; waiters sleep on `changed_`.
    mutable std::mutex signalLock_;
    std::condition_variable changed_;
    bool set_;
};

}  // namespace quvo
