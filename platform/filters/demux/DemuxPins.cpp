#include "platform/filters/demux/DemuxPins.h"

#include <algorithm>
#include <cstring>

#include "platform/com/NoThrow.h"
#include "platform/filters/demux/Mpeg2Demultiplexer.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

DemuxInputPin::DemuxInputPin(Mpeg2Demultiplexer* demux, std::recursive_mutex* filterLock, HRESULT* phr)
    : CBaseInputPin("Demux input", demux, filterLock, phr, u"MPEG-2 Stream"), demux_(demux)
{
}

HRESULT DemuxInputPin::CheckMediaType(const CMediaType* mt)
{
    if (mt->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    if (mt->subtype != MEDIASUBTYPE_MPEG2_PROGRAM) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT DemuxInputPin::Active()
{
    demux_->ResetStreaming();
    return CBaseInputPin::Active();
}

HRESULT DemuxInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return quvo::NoThrow([&] { return demux_->ReceiveData(sample); });
}

HRESULT DemuxInputPin::EndOfStream()
{
    if (IsFlushing() || IsStopped()) return S_FALSE;
    return quvo::NoThrow([&] { return demux_->EndOfStreamAll(); });
}

HRESULT DemuxInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    return quvo::NoThrow([this] { return demux_->BeginFlushAll(); });
}

HRESULT DemuxInputPin::EndFlush()
{
    quvo::NoThrow([this] { return demux_->EndFlushAll(); });
    return CBaseInputPin::EndFlush();
}

DemuxOutputPin::DemuxOutputPin(Mpeg2Demultiplexer* demux, std::recursive_mutex* filterLock, HRESULT* phr,
                               LPCWSTR name, const CMediaType& type, int id)
    : CBaseOutputPin("Demux output", demux, filterLock, phr, name), demux_(demux), id_(id), offered_(type)
{
}

HRESULT DemuxOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMPEG2StreamIdMap) return GetInterface(static_cast<IMPEG2StreamIdMap*>(this), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DemuxOutputPin::MapStreamId(ULONG streamId, DWORD content, ULONG substreamFilterValue, int dataOffset)
{
    // Only elementary-stream payloads are delivered; the other contents (pack
    // headers, whole PES packets) are not needed by this system.
    if (content != MPEG2_PROGRAM_ELEMENTARY_STREAM) return E_NOTIMPL;
    return demux_->Map(id_, streamId, substreamFilterValue, dataOffset);
}

HRESULT DemuxOutputPin::UnmapStreamId(ULONG count, ULONG* streamIds)
{
    if (!streamIds && count > 0) return E_POINTER;
    HRESULT result = S_OK;
    for (ULONG i = 0; i < count; ++i)
        if (FAILED(demux_->Unmap(id_, streamIds[i]))) result = E_INVALIDARG;
    return result;
}

HRESULT DemuxOutputPin::CheckMediaType(const CMediaType* mt)
{
    std::lock_guard lock(*filterLock_);
    return *mt == offered_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DemuxOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    std::lock_guard lock(*filterLock_);
    return mt->Set(offered_);
}

HRESULT DemuxOutputPin::SetOfferedType(const CMediaType& type)
{
    std::lock_guard lock(*filterLock_);
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    return offered_.Set(type);
}

HRESULT DemuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    // One PES payload fits one sample; a few in flight are plenty, as each output
    // keeps its own queue in front of the allocator.
    ALLOCATOR_PROPERTIES request = *props;
    request.cBuffers = std::max<LONG>(request.cBuffers, 4);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, 0x10000);
    if (request.cbAlign <= 0) request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer > 0 && actual.cBuffers > 0 ? S_OK : E_FAIL;
}

HRESULT DemuxOutputPin::Active()
{
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    discontinuity_ = true;
    queue_.Start([this](QueuedPayload& payload) { DeliverPayload(payload); });
    return S_OK;
}

HRESULT DemuxOutputPin::Inactive()
{
    // Decommitting first frees a worker waiting for a buffer; then it can be joined.
    const HRESULT hr = CBaseOutputPin::Inactive();
    queue_.Stop();
    return hr;
}

void DemuxOutputPin::Queue(QueuedPayload payload)
{
    if (!IsConnected()) return;
    if (!payload.endOfStream) {
        payload.discontinuity = discontinuity_.exchange(false);
    }
    queue_.Push(std::move(payload));
}

void DemuxOutputPin::Flush()
{
    queue_.Clear();
}

void DemuxOutputPin::DeliverPayload(QueuedPayload& payload)
{
    if (payload.endOfStream) {
        DeliverEndOfStream();
        return;
    }
    std::size_t pos = 0;
    bool first = true;
    while (pos < payload.data.size()) {
        ComPtr<IMediaSample> sample;
        if (FAILED(GetDeliveryBuffer(&sample, nullptr, nullptr, 0)) || !sample) return;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(sample->GetSize()),
                                                    payload.data.size() - pos);
        if (!buffer || n == 0) return;
        std::memcpy(buffer, payload.data.data() + pos, n);
        sample->SetActualDataLength(static_cast<LONG>(n));
        if (first && payload.hasTime) {
            REFERENCE_TIME start = payload.start;
            REFERENCE_TIME stop = payload.start + 1;
            sample->SetTime(&start, &stop);
        }
        sample->SetSyncPoint(first && payload.hasTime ? TRUE : FALSE);
        sample->SetDiscontinuity(first && payload.discontinuity ? TRUE : FALSE);
        // A refusal downstream (flushing, stopping) loses only this payload.
        if (Deliver(sample.Get()) != S_OK) return;
        pos += n;
        first = false;
    }
}

}  // namespace quvo::filters
