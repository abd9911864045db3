// The filter graph manager (CLSID_FilterGraph): holds the filters of one graph,
// connects their pins, moves them through Stop -> Pause -> Run renderers first,
// chooses and hands out the clock, and queues the filters' events for the host.
//
// The work is split by concern: FilterList.cpp (adding, removing, naming,
// enumerating), Connections.cpp (pin connections), RunControl.cpp (state changes
// and the clock), GraphEvents (the event queue), GraphForward (the
// interfaces the graph passes on to one of its filters).
//
// Locks, in the order they may be taken:
//   graphLock_   guards the filter list, the clock, the state and the stream start
//                time. Held while the graph calls filters for state changes and
//                connections; never taken by a streaming thread (filters reach the
//                graph from streaming threads only through IMediaEventSink).
//   the event queue's own lock (GraphEvents): see GraphEvents.h. It may be taken
//                under graphLock_, never the other way round, because Stop holds
//                graphLock_ while it waits for streaming threads that post events.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/manager/GraphEvents.h"
#include "platform/graph/manager/GraphForward.h"

namespace quvo::graph {

class FilterGraph final : public CUnknown,
                          public IGraphBuilder,
                          public IMediaControl,
                          public IMediaFilter {
public:
    // The class table creates it (CreateComObject).
    FilterGraph(IUnknown* outer, HRESULT* hr);
    // Built-in class entry for CLSID_FilterGraph.

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFilterGraph (FilterList.cpp, Connections.cpp)
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) override;
    HRESULT Reconnect(IPin* pin) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder (Connections.cpp): no intelligent connection here.
    HRESULT Connect(IPin* out, IPin* in) override;
    HRESULT Render(IPin* out) override;
    HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) override;
    HRESULT AddSourceFilter(LPCWSTR file, LPCWSTR filterName, IBaseFilter** filter) override;
    HRESULT SetLogFile(DWORD_PTR file) override;
    HRESULT Abort() override;
    HRESULT ShouldOperationContinue() override;

    // IMediaControl and IMediaFilter (RunControl.cpp). Stop and Pause serve both.
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(LONG timeoutMs, OAFilterState* state) override;
    HRESULT StopWhenReady() override;
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // The first filter, in the order they were added, that exposes `riid`; null
    // when none does. Used by the forwarding interfaces; takes graphLock_ briefly.
    ComPtr<IUnknown> FirstFilterWith(REFIID riid);

private:
    struct Entry {
        ComPtr<IBaseFilter> filter;
        std::u16string name;
    };

    ~FilterGraph() override;

    // FilterList.cpp; callers hold graphLock_.
    std::vector<Entry>::iterator FindEntry(IBaseFilter* filter);
    bool NameInUse(const std::u16string& name) const;
    std::u16string UniqueName(LPCWSTR wanted) const;
    void DisconnectAllPins(IBaseFilter* filter);
    void ForgetFilter(std::vector<Entry>::iterator it);
    // Connections.cpp; callers hold graphLock_.
    HRESULT ConnectDirectLocked(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt);

    // RunControl.cpp; callers hold graphLock_.
    std::vector<ComPtr<IBaseFilter>> RendererFirstOrder() const;
    HRESULT ChooseDefaultClock();
    HRESULT GiveClockToFilters();
    REFERENCE_TIME ClockNow() const;
    HRESULT PauseLocked();
    HRESULT RunLocked(REFERENCE_TIME start);
    HRESULT StopLocked();
    HRESULT StateOfFilters(DWORD timeoutMs, FILTER_STATE* state);
    int CountRenderers() const;

    mutable std::recursive_mutex graphLock_;
    // Guarded by graphLock_.
    std::vector<Entry> filters_;
    ComPtr<IReferenceClock> clock_;
    bool clockSetByCaller_ = false;  // SetSyncSource was called (null included)
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME streamStart_ = 0;  // clock time of stream time 0 while running
    REFERENCE_TIME pausedAt_ = 0;     // clock time when a run was paused
    bool hasStarted_ = false;         // streamStart_ is valid (paused from running)

    // Interfaces the graph exposes through parts of its own; each delegates its
    // IUnknown to this object's owner.
    GraphEvents events_;
    GraphVideoWindow videoWindow_;
    GraphSeeking seeking_;
    GraphPosition position_;
};

}  // namespace quvo::graph
