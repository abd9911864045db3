#include "platform/graph/manager/FilterGraph.h"

#include <new>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::graph {

FilterGraph::FilterGraph(IUnknown* outer, HRESULT*)
    : CUnknown("Filter Graph", outer),
      events_(GetOwner()),
      videoWindow_(GetOwner(), *this),
      seeking_(GetOwner(), *this),
      position_(GetOwner(), *this)
{
}

FilterGraph::~FilterGraph()
{
    // The graph goes with its last reference: stop the filters and let go of them,
    // disconnected, so that no connection keeps a pair of filters alive.
    std::lock_guard lock(graphLock_);
    if (state_ != State_Stopped) StopLocked();
    while (!filters_.empty()) ForgetFilter(filters_.end() - 1);
    clock_.Reset();
}

HRESULT FilterGraph::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IGraphBuilder || riid == IID_IFilterGraph)
        return GetInterface(static_cast<IGraphBuilder*>(this), ppv);
    if (riid == IID_IMediaControl) return GetInterface(static_cast<IMediaControl*>(this), ppv);
    if (riid == IID_IMediaFilter || riid == IID_IPersist)
        return GetInterface(static_cast<IMediaFilter*>(this), ppv);
    if (riid == IID_IMediaEventEx || riid == IID_IMediaEvent)
        return GetInterface(static_cast<IMediaEventEx*>(&events_), ppv);
    if (riid == IID_IMediaEventSink) return GetInterface(static_cast<IMediaEventSink*>(&events_), ppv);
    if (riid == IID_IVideoWindow) return GetInterface(&videoWindow_, ppv);
    if (riid == IID_IMediaSeeking) return GetInterface(&seeking_, ppv);
    if (riid == IID_IMediaPosition) return GetInterface(&position_, ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ComPtr<IUnknown> FilterGraph::FirstFilterWith(REFIID riid)
{
    std::lock_guard lock(graphLock_);
    for (const Entry& entry : filters_) {
        ComPtr<IUnknown> found;
        if (SUCCEEDED(entry.filter->QueryInterface(riid, found.ReleaseAndGetVoidAddressOf())) && found)
            return found;
    }
    return nullptr;
}

ComPtr<IUnknown> FirstFilterWith(FilterGraph& graph, REFIID riid) { return graph.FirstFilterWith(riid); }

HRESULT FilterGraph::GetClassID(CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    *clsid = CLSID_FilterGraph;
    return S_OK;
}

}  // namespace quvo::graph
