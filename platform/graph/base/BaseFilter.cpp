#include "platform/graph/base/BaseFilter.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/BasePin.h"
#include "platform/graph/base/EnumPins.h"
#include "platform/graph/base/WideText.h"

CBaseFilter::CBaseFilter(const char* name, IUnknown* outer, REFCLSID clsid) : CUnknown(name, outer), clsid_(clsid)
{
}

CBaseFilter::~CBaseFilter() = default;

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseFilter::GetClassID(CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT CBaseFilter::ActivatePins()
{
    const int n = GetPinCount();
    for (int i = 0; i < n; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin) break;
        if (!pin->IsConnected()) continue;
        HRESULT hr = quvo::NoThrow([pin] { return pin->Active(); });
        if (FAILED(hr)) {
            for (int j = 0; j < i; ++j) {
                CBasePin* done = GetPin(j);
                if (done && done->IsConnected()) quvo::NoThrow([done] { return done->Inactive(); });
            }
            return hr;
        }
    }
    return S_OK;
}

HRESULT CBaseFilter::DeactivatePins()
{
    HRESULT result = S_OK;
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin) break;
        // Every pin is deactivated even when one fails, so no thread is left running.
        if (pin->IsConnected()) {
            HRESULT hr = quvo::NoThrow([pin] { return pin->Inactive(); });
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    return result;
}

HRESULT CBaseFilter::Stop()
{
    std::lock_guard lock(filterLock_);
    if (state_.load() == State_Stopped) return S_OK;
    stopping_.store(true);
    // Inactive pins refuse new samples and release threads waiting for buffers; then
    // the filter wakes what waits inside it, and the streaming lock says it has left.
    HRESULT result = DeactivatePins();
    quvo::NoThrow([this] {
        ReleaseStreaming();
        return S_OK;
    });
    {
        std::lock_guard streaming(streamingLock_);
        HRESULT hr = quvo::NoThrow([&] { return CleanupStream(); });
        if (SUCCEEDED(result)) result = hr;
    }
    if (SUCCEEDED(result)) state_.store(State_Stopped);
    stopping_.store(false);
    return result;
}

HRESULT CBaseFilter::Pause()
{
    std::lock_guard lock(filterLock_);
    const FILTER_STATE old = state_.load();
    if (old == State_Paused) return S_OK;
    if (old == State_Running) {
        // Published before the hook, as Run does: a sample waiting for its time that
        // the hook wakes must already see the pause.
        state_.store(State_Paused);
        HRESULT hr = quvo::NoThrow([&] { return StopStream(); });
        if (FAILED(hr)) {
            state_.store(State_Running);
            return hr;
        }
    } else {
        HRESULT hr = quvo::NoThrow([&] { return InitStream(); });
        if (FAILED(hr)) return hr;
        hr = ActivatePins();
        if (FAILED(hr)) {
            std::lock_guard streaming(streamingLock_);
            quvo::NoThrow([&] { return CleanupStream(); });
            return hr;
        }
    }
    state_.store(State_Paused);
    return S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(filterLock_);
    streamStart_.store(start);
    if (state_.load() == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (state_.load() == State_Running) return S_OK;
    // Running is published before the hooks so that a streaming thread checking the
    // state and a hook checking the streaming side cannot both miss.
    state_.store(State_Running);
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin) break;
        if (!pin->IsConnected()) continue;
        HRESULT hr = quvo::NoThrow([&] { return pin->Run(start); });
        if (FAILED(hr)) {
            state_.store(State_Paused);
            return hr;
        }
    }
    HRESULT hr = quvo::NoThrow([&] { return StartStream(start); });
    if (FAILED(hr)) state_.store(State_Paused);
    return hr;
}

HRESULT CBaseFilter::GetState(DWORD, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    *state = state_.load();
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* clock)
{
    std::lock_guard lock(filterLock_);
    std::lock_guard clockLock(clockLock_);
    clock_ = ComPtr<IReferenceClock>(clock);
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    std::lock_guard clockLock(clockLock_);
    return clock_.CopyTo(clock);
}

ComPtr<IReferenceClock> CBaseFilter::Clock()
{
    std::lock_guard clockLock(clockLock_);
    return clock_;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME* time)
{
    if (!time) return E_POINTER;
    ComPtr<IReferenceClock> clock = Clock();
    if (!clock) return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr)) return hr;
    *time = now - streamStart_.load();
    return S_OK;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** pins)
{
    if (!pins) return E_POINTER;
    *pins = nullptr;
    CEnumPins* e = nullptr;
    const HRESULT hr = quvo::NoThrow([&] {  // the enumerator copies the pin list
        e = new CEnumPins(this, nullptr);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    e->AddRef();
    *pins = e;
    return S_OK;
}

HRESULT CBaseFilter::FindPin(LPCWSTR id, IPin** pin)
{
    if (!id || !pin) return E_POINTER;
    *pin = nullptr;
    std::lock_guard lock(filterLock_);
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
        CBasePin* p = GetPin(i);
        if (!p) break;
        if (p->Name() == id) {
            p->AddRef();
            *pin = p;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info) return E_POINTER;
    std::lock_guard lock(graphLock_);
    quvo::base::CopyName(info->achName, filterName_);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    std::lock_guard lock(filterLock_);
    std::lock_guard graphLock(graphLock_);
    return quvo::NoThrow([&] {
        filterName_ = name ? std::u16string(name) : std::u16string();
        graph_ = graph;
        return S_OK;
    });
}

HRESULT CBaseFilter::QueryVendorInfo(LPWSTR* vendorInfo)
{
    if (!vendorInfo) return E_POINTER;
    *vendorInfo = nullptr;
    return E_NOTIMPL;
}

IFilterGraph* CBaseFilter::GetFilterGraph() const
{
    std::lock_guard lock(graphLock_);
    return graph_;
}

std::u16string CBaseFilter::FilterName() const
{
    std::lock_guard lock(graphLock_);
    return filterName_;
}

HRESULT CBaseFilter::NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    ComPtr<IFilterGraph> graph;
    {
        std::lock_guard lock(graphLock_);
        graph = ComPtr<IFilterGraph>(graph_);
    }
    if (!graph) return S_FALSE;
    ComPtr<IMediaEventSink> sink;
    if (FAILED(graph->QueryInterface(IID_IMediaEventSink, sink.ReleaseAndGetVoidAddressOf()))) return S_FALSE;
    if (code == EC_COMPLETE && param2 == 0)
        param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}
