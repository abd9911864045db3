// IMediaSeeking and IMediaPosition of the graph manager, kept minimal: each call
// goes to the first filter of the graph that offers the interface (a renderer
// or a source that knows its duration); E_NOTIMPL when none does.
#pragma once

#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

namespace quvo::graph {

class FilterGraph;

class GraphSeeking final : public IMediaSeeking {
public:
    GraphSeeking(IUnknown* owner, FilterGraph& graph) : owner_(owner), graph_(graph) {}
    GraphSeeking(const GraphSeeking&) = delete;
    GraphSeeking& operator=(const GraphSeeking&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

    HRESULT GetCapabilities(DWORD* caps) override;
    HRESULT CheckCapabilities(DWORD* caps) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

private:
    ComPtr<IMediaSeeking> Target();

    IUnknown* owner_;
    FilterGraph& graph_;
};

class GraphPosition final : public IMediaPosition {
public:
    GraphPosition(IUnknown* owner, FilterGraph& graph) : owner_(owner), graph_(graph) {}
    GraphPosition(const GraphPosition&) = delete;
    GraphPosition& operator=(const GraphPosition&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }

    HRESULT get_Duration(REFTIME* length) override;
    HRESULT put_CurrentPosition(REFTIME time) override;
    HRESULT get_CurrentPosition(REFTIME* time) override;
    HRESULT get_StopTime(REFTIME* time) override;
    HRESULT put_StopTime(REFTIME time) override;
    HRESULT get_PrerollTime(REFTIME* time) override;
    HRESULT put_PrerollTime(REFTIME time) override;
    HRESULT put_Rate(double rate) override;
    HRESULT get_Rate(double* rate) override;
    HRESULT CanSeekForward(LONG* canSeek) override;
    HRESULT CanSeekBackward(LONG* canSeek) override;

private:
    ComPtr<IMediaPosition> Target();

    IUnknown* owner_;
    FilterGraph& graph_;
};

}  // namespace quvo::graph
