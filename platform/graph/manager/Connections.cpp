// Pin connections. The graph connects only what it is told to connect: there is no
// intelligent connection and no intermediate filter is ever inserted.
#include "platform/graph/manager/FilterGraph.h"
#include "platform/graph/manager/PinWalk.h"
#include "platform/com/NoThrow.h"

namespace quvo::graph {

using quvo::NoThrow;

HRESULT FilterGraph::ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt)
{
    if (!out || !in) return E_POINTER;
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return ConnectDirectLocked(out, in, mt); });
}

HRESULT FilterGraph::ConnectDirectLocked(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt)
{
    ComPtr<IBaseFilter> outFilter = OwnerOf(out);
    ComPtr<IBaseFilter> inFilter = OwnerOf(in);
    if (!outFilter || !inFilter || FindEntry(outFilter.Get()) == filters_.end() ||
        FindEntry(inFilter.Get()) == filters_.end())
        return VFW_E_NOT_IN_GRAPH;
    PIN_DIRECTION outDir, inDir;
    if (!DirectionOf(out, &outDir) || !DirectionOf(in, &inDir) || outDir != PINDIR_OUTPUT ||
        inDir != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (PeerOf(out) || PeerOf(in)) return VFW_E_ALREADY_CONNECTED;

    HRESULT hr = out->Connect(in, mt);
    if (FAILED(hr)) {
        // A half-made connection must not survive a failure.
        if (PeerOf(out)) out->Disconnect();
        if (PeerOf(in)) in->Disconnect();
    }
    return hr;
}

HRESULT FilterGraph::Connect(IPin* out, IPin* in) { return ConnectDirect(out, in, nullptr); }

HRESULT FilterGraph::Disconnect(IPin* pin)
{
    if (!pin) return E_POINTER;
    std::lock_guard lock(graphLock_);
    return pin->Disconnect();
}

// Breaks the pin's connection and makes it again with the type the pins agree on
// now (after a format change on one side, say).
HRESULT FilterGraph::Reconnect(IPin* pin)
{
    if (!pin) return E_POINTER;
    std::lock_guard lock(graphLock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    ComPtr<IPin> peer = PeerOf(pin);
    if (!peer) return VFW_E_NOT_CONNECTED;
    PIN_DIRECTION dir;
    if (!DirectionOf(pin, &dir)) return E_FAIL;
    IPin* out = dir == PINDIR_OUTPUT ? pin : peer.Get();
    IPin* in = dir == PINDIR_OUTPUT ? peer.Get() : pin;
    out->Disconnect();
    in->Disconnect();
    return NoThrow([&] { return ConnectDirectLocked(out, in, nullptr); });
}

HRESULT FilterGraph::Render(IPin*) { return E_NOTIMPL; }
HRESULT FilterGraph::RenderFile(LPCWSTR, LPCWSTR) { return E_NOTIMPL; }
HRESULT FilterGraph::AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter** filter)
{
    if (filter) *filter = nullptr;
    return E_NOTIMPL;
}
HRESULT FilterGraph::SetLogFile(DWORD_PTR) { return S_OK; }
HRESULT FilterGraph::Abort() { return S_OK; }
HRESULT FilterGraph::ShouldOperationContinue() { return S_OK; }

}  // namespace quvo::graph
