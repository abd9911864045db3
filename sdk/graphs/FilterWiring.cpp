// Wiring shared by the capture and playback graphs: a fresh capture filter, direct
// pin-to-pin connections, and the audio renderer as the graph's clock.
#include <memory>

#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "platform/com/Runtime.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {
namespace {

// Pin information with its filter reference released on the way out.
struct PinInfo {
    PIN_INFO info{};
    ~PinInfo()
    {
        if (info.pFilter) info.pFilter->Release();
    }
    HRESULT Query(IPin* pin) { return pin->QueryPinInfo(&info); }
};

bool HasPeer(IPin* pin)
{
    ComPtr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(&peer)) && peer;
}

// Tries every free input pin of `downstream` for `out`, in enumeration order.
bool ConnectToFirstFreeInput(IGraphBuilder* graph, IPin* out, IBaseFilter* downstream)
{
    ComPtr<IEnumPins> pins;
    if (FAILED(downstream->EnumPins(&pins)) || !pins) return false;
    ComPtr<IPin> in;
    while (pins->Next(1, &in, nullptr) == S_OK) {
        PinInfo info;
        if (FAILED(info.Query(in.Get())) || info.info.dir != PINDIR_INPUT || HasPeer(in.Get())) continue;
        // No media type and no intermediate filter: the two pins agree or they do not.
        if (SUCCEEDED(graph->ConnectDirect(out, in.Get(), nullptr))) return true;
    }
    return false;
}

}  // namespace

bool BindCaptureFilter(EncoderDevice& device)
{
    if (device.captureFilter) {
        if (device.graphBuilder) device.graphBuilder->RemoveFilter(device.captureFilter.Get());
        device.captureFilter.Reset();
    }
    HRESULT hr = E_FAIL;
    if (device.deviceMoniker)
        hr = device.deviceMoniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                                device.captureFilter.ReleaseAndGetVoidAddressOf());
    if (!device.captureFilter) {
        TheLog().Log(kLogError, 3, "Cannot get new Capture Filter : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    hr = device.graphBuilder ? device.graphBuilder->AddFilter(device.captureFilter.Get(), nullptr) : E_POINTER;
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 3, "Add new Capture Filter to Graph Failed: 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

HRESULT CreateGraphFilter(IGraphBuilder* graph, const CLSID& clsid, const char16_t* name, ComPtr<IBaseFilter>& slot)
{
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, slot.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    if (!slot) return E_NOINTERFACE;
    graph->AddFilter(slot.Get(), name);
    return hr;
}

HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream)
{
    ComPtr<IEnumPins> pins;
    HRESULT hr = upstream ? upstream->EnumPins(&pins) : E_POINTER;
    if (FAILED(hr) || !pins) {
        TheLog().Log(kLogError, 4, "Cannot Enumerate Upstream Filter's Pins");
        return FAILED(hr) ? hr : E_FAIL;
    }
    ComPtr<IPin> out;
    while (pins->Next(1, &out, nullptr) == S_OK) {
        PinInfo info;
        hr = info.Query(out.Get());
        if (FAILED(hr)) {
            TheLog().Log(kLogError, 4, "Cannot Obtain Upstream Filter's PIN_INFO");
            return hr;
        }
        if (info.info.dir != PINDIR_OUTPUT || HasPeer(out.Get())) continue;
        if (graph && downstream && ConnectToFirstFreeInput(graph, out.Get(), downstream))
            return S_OK;
    }
    return E_FAIL;
}

void SetAudioClock(IGraphBuilder* graph, IBaseFilter* audioRenderer)
{
    if (!graph || !audioRenderer) return;
    ComPtr<IMediaFilter> graphFilter;
    ComPtr<IReferenceClock> clock;
    const HRESULT graphHr = graph->QueryInterface(IID_IMediaFilter, graphFilter.ReleaseAndGetVoidAddressOf());
    const HRESULT clockHr = audioRenderer->QueryInterface(IID_IReferenceClock, clock.ReleaseAndGetVoidAddressOf());
    if (SUCCEEDED(graphHr) && SUCCEEDED(clockHr)) {
        TheLog().Log(kLogPlain, 5, "Setting Clock source to Audio Renderer....");
        graphFilter->SetSyncSource(clock.Get());
    }
}

}  // namespace quvo::sdk
