#include "platform/filters/tee/TeePins.h"

#include "platform/com/NoThrow.h"
#include "platform/filters/tee/InfTee.h"

namespace quvo::filters {

TeeInputPin::TeeInputPin(InfTee* tee, std::recursive_mutex* filterLock, HRESULT* phr)
    : CBaseInputPin("Tee input", tee, filterLock, phr, u"Input"), tee_(tee)
{
}

HRESULT TeeInputPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt->IsValid()) return VFW_E_TYPE_NOT_ACCEPTED;
    return tee_->OutputsAccept(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TeeInputPin::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(tee_->StreamingLock());
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return quvo::NoThrow([&] { return tee_->DeliverSample(sample); });
}

HRESULT TeeInputPin::EndOfStream()
{
    std::lock_guard streaming(tee_->StreamingLock());
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return quvo::NoThrow([&] { return tee_->DeliverEndOfStream(); });
}

HRESULT TeeInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    std::lock_guard streaming(tee_->StreamingLock());
    CBaseInputPin::NewSegment(start, stop, rate);
    return quvo::NoThrow([&] { return tee_->DeliverNewSegment(start, stop, rate); });
}

// Flushing passes down without the streaming lock: its purpose is to release a
// streaming thread that may be blocked downstream while holding that lock.
HRESULT TeeInputPin::BeginFlush()
{
    HRESULT hr = CBaseInputPin::BeginFlush();
    if (FAILED(hr)) return hr;
    return tee_->DeliverBeginFlush();
}

HRESULT TeeInputPin::EndFlush()
{
    HRESULT hr = tee_->DeliverEndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

TeeOutputPin::TeeOutputPin(InfTee* tee, std::recursive_mutex* filterLock, HRESULT* phr, LPCWSTR name)
    : CBaseOutputPin("Tee output", tee, filterLock, phr, name), tee_(tee)
{
}

HRESULT TeeOutputPin::CheckMediaType(const CMediaType* mt)
{
    if (!tee_->InputConnected()) return VFW_E_NOT_CONNECTED;
    return *mt == tee_->InputType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TeeOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !tee_->InputConnected()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(tee_->InputType());
}

// Samples pass through from upstream's allocator, so this pin's own pool is only
// what the connection requires: one buffer of the size downstream asks for.
HRESULT TeeOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES request = *props;
    if (request.cBuffers < 1) request.cBuffers = 1;
    if (request.cbBuffer < 1) request.cbBuffer = 1;
    if (request.cbAlign < 1) request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&request, &actual);
}

HRESULT TeeOutputPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr)) tee_->OnOutputConnected();
    return hr;
}

HRESULT TeeOutputPin::BreakConnect()
{
    const bool wasConnected = IsConnected();
    HRESULT hr = CBaseOutputPin::BreakConnect();
    if (wasConnected) tee_->OnOutputDisconnected(this);
    return hr;
}

}  // namespace quvo::filters
