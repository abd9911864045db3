// IVideoWindow, IMediaSeeking and IMediaPosition of the graph manager: every call goes
// to the first filter of the graph that offers the interface, looked up at each call
// since filters come and go (the video renderer; a renderer or a source that knows its
// duration). With none, the video window answers E_NOINTERFACE, as the framework's graph
// does while no renderer is present, and the position interfaces E_NOTIMPL.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/graph/MethodLists.h"

namespace quvo::graph {

class FilterGraph;

// FilterGraph::FirstFilterWith, for the forwarders declared before the graph is.
ComPtr<IUnknown> FirstFilterWith(FilterGraph& graph, REFIID riid);

// A member of the graph manager that answers `I` for it: its identity is the manager's.
template <class I, HRESULT Missing>
class GraphForward : public I {
public:
    GraphForward(IUnknown* owner, FilterGraph& graph) : owner_(owner), graph_(graph) {}
    GraphForward(const GraphForward&) = delete;
    GraphForward& operator=(const GraphForward&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

protected:
    using Interface = I;
    static constexpr HRESULT kMissing = Missing;

    ComPtr<I> Target()
    {
        ComPtr<I> target;
        if (ComPtr<IUnknown> filter = FirstFilterWith(graph_, I::kIID))
            filter->QueryInterface(I::kIID, target.ReleaseAndGetVoidAddressOf());
        return target;
    }

private:
    IUnknown* owner_;
    FilterGraph& graph_;
};

#define QUVO_GRAPH_FORWARD(name, params, args)             \
    HRESULT name params override                           \
    {                                                      \
        ComPtr<Interface> receiver = Target();             \
        return receiver ? receiver->name args : kMissing;  \
    }

class GraphVideoWindow final : public GraphForward<IVideoWindow, E_NOINTERFACE> {
public:
    using GraphForward::GraphForward;
    QUVO_VIDEO_WINDOW_METHODS(QUVO_GRAPH_FORWARD)
};

class GraphSeeking final : public GraphForward<IMediaSeeking, E_NOTIMPL> {
public:
    using GraphForward::GraphForward;
    QUVO_MEDIA_SEEKING_METHODS(QUVO_GRAPH_FORWARD)
};

class GraphPosition final : public GraphForward<IMediaPosition, E_NOTIMPL> {
public:
    using GraphForward::GraphForward;
    QUVO_MEDIA_POSITION_METHODS(QUVO_GRAPH_FORWARD)
};

#undef QUVO_GRAPH_FORWARD

}  // namespace quvo::graph
