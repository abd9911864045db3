// CBaseFilter: the IBaseFilter every filter of the platform and of the modules is
// built on. It owns the state machine (Stop -> Pause -> Run): on each real
// transition it calls the filter's state hook and the pins' hooks (Active on the
// way out of Stopped, Run on the way to Running, Inactive on the way back), and
// records the new state only when they succeeded. A filter never overrides Stop,
// Pause or Run; it fills in the hooks below. docs/filters.md has the whole picture.
//
// Two locks, both owned here and named the same in every filter:
//  - filterLock: state changes, connections, graph membership; recursive, shared
//    with the pins (they get FilterLock() in their constructors). The
//    application thread takes it; streaming never does.
//  - streamingLock: what Receive and EndOfStream change. A filter's streaming
//    path holds it; Stop takes it after the pins are inactive and holds it around
//    CleanupStream, so clean-up never meets a sample half processed.
//
// Threads: the application thread (or the graph manager acting for it) calls the
// IMediaFilter/IBaseFilter methods and the state hooks; streaming threads call
// NotifyEvent, IsActive, IsStopped and StreamTime.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(const char* name, IUnknown* outer, REFCLSID clsid);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPersist
    HRESULT GetClassID(CLSID* clsid) override;

    // IMediaFilter. Run from Stopped pauses first.
    HRESULT Stop() final;
    HRESULT Pause() final;
    HRESULT Run(REFERENCE_TIME start) final;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT EnumPins(IEnumPins** pins) override;
    HRESULT FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    // Keeps a non-owning pointer: the graph holds the filter, not the other way round.
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT QueryVendorInfo(LPWSTR* vendorInfo) override;

    // The pins, numbered from 0; a null pin for any index out of range.
    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int n) = 0;
    // Raised by filters whose pin set changes, so enumerators can tell.
    virtual LONG GetPinVersion() { return pinVersion_.load(); }
    void IncrementPinVersion() { pinVersion_.fetch_add(1); }

    // Hands an event to the graph's IMediaEventSink (queried on each call). For
    // EC_COMPLETE a zero param2 becomes this filter, so the graph can count its
    // renderers. Must not be called while holding the filter lock or a streaming
    // lock that Stop waits for. Without a graph the event is dropped (S_FALSE).
    virtual HRESULT NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2);

    // Stopped, or on the way there: a streaming thread stops taking samples as soon
    // as Stop has begun.
    bool IsActive() const { return !IsStopped(); }
    bool IsStopped() const { return stopping_.load() || state_.load() == State_Stopped; }
    FILTER_STATE State() const { return state_.load(); }
    // The reference time Run was given (the clock time at stream time 0).
    REFERENCE_TIME StreamStart() const { return streamStart_.load(); }
    // Current stream time from the clock: VFW_E_NO_CLOCK without one.
    HRESULT StreamTime(REFERENCE_TIME* time);
    // The clock set by SetSyncSource (null if none), with a reference.
    ComPtr<IReferenceClock> Clock();

    std::recursive_mutex* FilterLock() { return &filterLock_; }
    std::mutex& StreamingLock() { return streamingLock_; }
    IFilterGraph* GetFilterGraph() const;
    std::u16string FilterName() const;

protected:
    // State hooks: application thread, filter lock held, called only on a real
    // transition; a failure leaves the filter in the state it was in.
    // Stopped -> Paused, before the pins' Active hooks.
    virtual HRESULT InitStream() { return S_OK; }
    // Paused -> Running, after the pins' Run hooks (the state already reads Running).
    virtual HRESULT StartStream(REFERENCE_TIME start) { return S_OK; }
    // Running -> Paused (the state already reads Paused). Not called on the way
    // from Running to Stopped.
    virtual HRESULT StopStream() { return S_OK; }
    // Leaving for Stopped, after the pins are inactive, before the streaming lock
    // is taken: wake a streaming thread that waits inside this filter.
    virtual void ReleaseStreaming() {}
    // Leaving for Stopped, under the streaming lock: streaming has left. Also
    // undoes InitStream when a pin fails to activate.
    virtual HRESULT CleanupStream() { return S_OK; }

private:
    HRESULT ActivatePins();
    HRESULT DeactivatePins();

    std::recursive_mutex filterLock_;
    std::mutex streamingLock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    // Set for the duration of Stop, so streaming threads see "stopped" at once.
    std::atomic<bool> stopping_{false};
    std::atomic<REFERENCE_TIME> streamStart_{0};

    const CLSID clsid_;
    std::atomic<LONG> pinVersion_{1};
    // Guarded by filterLock_ when written; clockLock_ makes the reference safe for
    // streaming threads that read it (renderers, sources time-stamping samples).
    mutable std::mutex clockLock_;
    ComPtr<IReferenceClock> clock_;
    // graphLock guards the graph pointer and name: written under the filter lock by
    // JoinFilterGraph, read by NotifyEvent on streaming threads.
    mutable std::mutex graphLock_;
    IFilterGraph* graph_ = nullptr;
    std::u16string filterName_;
};
