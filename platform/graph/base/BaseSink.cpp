#include "platform/graph/base/BaseSink.h"

#include "platform/com/NoThrow.h"

using quvo::NoThrow;

CSinkInputPin::CSinkInputPin(const char* objectName, CBaseSink* sink, HRESULT* phr, LPCWSTR pinName)
    : CRenderedInputPin(objectName, sink, sink->FilterLock(), phr, pinName), sink_(sink)
{
}

HRESULT CSinkInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    std::lock_guard streaming(sink_->StreamingLock());
    HRESULT hr = sink_->CheckReceive();
    if (hr != S_OK) return hr;
    return NoThrow([&] { return sink_->OnReceive(sample); });
}

HRESULT CSinkInputPin::EndOfStream()
{
    std::lock_guard streaming(sink_->StreamingLock());
    HRESULT hr = CheckStreaming();
    if (hr == S_OK) hr = NoThrow([&] { return sink_->DrainForEndOfStream(); });
    if (hr == S_OK) hr = CRenderedInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    return NoThrow([&] { return sink_->OnEndOfStream(); });
}

HRESULT CSinkInputPin::BeginFlush()
{
    std::lock_guard lock(*filterLock_);
    CRenderedInputPin::BeginFlush();
    return sink_->BeginFlush();
}

HRESULT CSinkInputPin::EndFlush()
{
    std::lock_guard lock(*filterLock_);
    sink_->EndFlush();
    return CRenderedInputPin::EndFlush();
}

CBaseSink::CBaseSink(const char* name, IUnknown* outer, REFCLSID clsid) : CBaseFilter(name, outer, clsid) {}

void CBaseSink::ReleaseStreaming()
{
    wakeUp_.Set();
    AbortReceive();
}

HRESULT CBaseSink::BeginFlush()
{
    ReleaseStreaming();
    OnBeginFlush();
    // The sample in hand has left once the streaming lock is free.
    std::lock_guard streaming(StreamingLock());
    return S_OK;
}

HRESULT CBaseSink::EndFlush()
{
    std::lock_guard streaming(StreamingLock());
    return NoThrow([&] {
        OnEndFlush();
        return S_OK;
    });
}
