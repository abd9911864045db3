// The graph's event queue: filters report through IMediaEventSink::Notify (from any
// thread, streaming threads included), the host takes events with
// IMediaEventEx::GetEvent, waits on the eventfd from GetEventHandle, or has a window
// message posted for each queued event.
//
// queueLock_ guards every field below it. It is the graph's innermost lock and is
// deliberately not the graph lock: Stop holds the graph lock while it waits for
// streaming threads to leave, and those threads may be in Notify at that moment.
// No callback (window message) runs under queueLock_, so a window callback may
// call GetEvent at once.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/graph/ControlInterfaces.h"

namespace quvo::graph {

class GraphEvents final : public IMediaEventEx, public IMediaEventSink {
public:
    // `owner`: the unknown every IUnknown call delegates to (the graph's).
    explicit GraphEvents(IUnknown* owner);
    ~GraphEvents();
    GraphEvents(const GraphEvents&) = delete;
    GraphEvents& operator=(const GraphEvents&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

    // IMediaEvent / IMediaEventEx: application thread.
    HRESULT GetEventHandle(OAEVENT* handle) override;
    HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeoutMs) override;
    HRESULT WaitForCompletion(LONG timeoutMs, LONG* code) override;
    HRESULT CancelDefaultHandling(LONG code) override;
    HRESULT RestoreDefaultHandling(LONG code) override;
    HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) override;
    HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) override;
    HRESULT SetNotifyFlags(LONG flags) override;
    HRESULT GetNotifyFlags(LONG* flags) override;

    // IMediaEventSink: any thread.
    HRESULT Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;

    // From the graph's run control (under the graph lock): a run starts with
    // `renderers` filters expected to report EC_COMPLETE; a stop ends it.
    void OnRunStarting(int renderers);
    void OnStopped();

private:
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    // Caller holds queueLock_; returns whether a window message is due.
    bool QueueLocked(const Event& event);
    void PostNotification();
    void SignalFd(bool nonEmpty);

    IUnknown* owner_;
    int eventFd_ = -1;  // readable exactly while queue_ is non-empty

    std::mutex queueLock_;
    std::condition_variable queueChanged_;  // waits for queue_ or completion_
    // Guarded by queueLock_:
    std::deque<Event> queue_;
    OAHWND notifyWindow_ = 0;
    LONG notifyMessage_ = 0;
    LONG_PTR notifyInstance_ = 0;
    LONG notifyFlags_ = 0;
    bool defaultComplete_ = true;  // EC_COMPLETE is counted before it is queued
    bool running_ = false;
    int renderers_ = 0;            // renderers of the current run
    int completed_ = 0;            // EC_COMPLETEs received from them
    bool completion_ = false;      // a completing event was queued during this run
    LONG completionCode_ = 0;
};

}  // namespace quvo::graph
