// CBaseFilter: the IBaseFilter every filter of the platform and of the modules is
// built on. It owns the state machine (Stop -> Pause -> Run): a pin's Active hook is
// called on the way out of Stopped, Inactive on the way back, Run on each Run; the
// new state is recorded only when the hooks succeeded.
//
// A derived filter supplies its pins (GetPin/GetPinCount) and a filter lock, a
// recursive mutex it owns and shares with its pins ("filterLock": state changes,
// connections, graph membership). Streaming (Receive, EndOfStream) never takes the
// filter lock: it reads the state through the atomic accessors below and uses the
// derived filter's own streaming lock.
//
// Threads: the application thread (or the graph manager acting for it) calls the
// IMediaFilter/IBaseFilter methods; streaming threads call NotifyEvent, IsActive,
// IsStopped and StreamTime.
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
    CBaseFilter(const char* name, IUnknown* outer, std::recursive_mutex* filterLock, REFCLSID clsid);
    CBaseFilter(const char* name, IUnknown* outer, std::recursive_mutex* filterLock, REFCLSID clsid,
                HRESULT* phr);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPersist
    HRESULT GetClassID(CLSID* clsid) override;

    // IMediaFilter. Run from Stopped pauses first (through the virtual Pause).
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
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

    bool IsActive() const { return state_.load() != State_Stopped; }
    bool IsStopped() const { return state_.load() == State_Stopped; }
    FILTER_STATE State() const { return state_.load(); }
    // The reference time Run was given (the clock time at stream time 0).
    REFERENCE_TIME StreamStart() const { return streamStart_.load(); }
    // Current stream time from the clock: VFW_E_NO_CLOCK without one.
    HRESULT StreamTime(REFERENCE_TIME* time);
    // The clock set by SetSyncSource (null if none), with a reference.
    ComPtr<IReferenceClock> Clock();

    std::recursive_mutex* pStateLock() const { return filterLock_; }
    IFilterGraph* GetFilterGraph() const;
    std::u16string FilterName() const;

protected:
    std::recursive_mutex* const filterLock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    std::atomic<REFERENCE_TIME> streamStart_{0};

private:
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
