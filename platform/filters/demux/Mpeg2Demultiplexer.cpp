#include "platform/filters/demux/Mpeg2Demultiplexer.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/MpegStartCodes.h"

namespace quvo::filters {

namespace {
using mpeg::kPrivateStream1;
}  // namespace

using quvo::NoThrow;

Mpeg2Demultiplexer::Mpeg2Demultiplexer(IUnknown* outer, HRESULT*)
    : CBaseFilter("MPEG-2 Demultiplexer", outer, CLSID_MPEG2Demultiplexer),
      input_(this, FilterLock(), nullptr),
      parser_([this](const mpeg::PesPayload& p) { OnPayload(p); })
{
}

Mpeg2Demultiplexer::~Mpeg2Demultiplexer() = default;

HRESULT Mpeg2Demultiplexer::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMpeg2Demultiplexer) return GetInterface(static_cast<IMpeg2Demultiplexer*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int Mpeg2Demultiplexer::GetPinCount()
{
    std::lock_guard lock(mapLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* Mpeg2Demultiplexer::GetPin(int n)
{
    if (n == 0) return &input_;
    std::lock_guard lock(mapLock_);
    if (n < 0 || n > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[static_cast<std::size_t>(n - 1)].get();
}

DemuxOutputPin* Mpeg2Demultiplexer::FindOutputLocked(std::u16string_view name) const
{
    for (const auto& pin : outputs_)
        if (pin->Name() == name) return pin.get();
    return nullptr;
}

std::vector<DemuxOutputPin*> Mpeg2Demultiplexer::Outputs() const
{
    std::lock_guard lock(mapLock_);
    std::vector<DemuxOutputPin*> list;
    for (const auto& pin : outputs_) list.push_back(pin.get());
    return list;
}

HRESULT Mpeg2Demultiplexer::CreateOutputPin(AM_MEDIA_TYPE* mt, LPWSTR pinName, IPin** pin)
{
    if (!mt || !pinName || !pin) return E_POINTER;
    *pin = nullptr;
    std::lock_guard filterLock(*FilterLock());
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!*pinName) return E_INVALIDARG;
    CMediaType type;
    if (FAILED(type.Set(*mt))) return E_OUTOFMEMORY;

    std::lock_guard lock(mapLock_);
    if (FindOutputLocked(pinName)) return VFW_E_DUPLICATE_NAME;
    return NoThrow([&] {  // the pin, its name and its place in the list
        HRESULT hr = S_OK;
        auto created = std::make_unique<DemuxOutputPin>(this, FilterLock(), &hr, pinName, type, nextOutputId_);
        if (FAILED(hr)) return hr;
        outputs_.push_back(std::move(created));
        ++nextOutputId_;
        IncrementPinVersion();
        return outputs_.back()->QueryInterface(IID_IPin, reinterpret_cast<void**>(pin));
    });
}

HRESULT Mpeg2Demultiplexer::SetOutputPinMediaType(LPWSTR pinName, AM_MEDIA_TYPE* mt)
{
    if (!pinName || !mt) return E_POINTER;
    std::lock_guard filterLock(*FilterLock());
    DemuxOutputPin* pin = nullptr;
    {
        std::lock_guard lock(mapLock_);
        pin = FindOutputLocked(pinName);
    }
    if (!pin) return VFW_E_NOT_FOUND;
    CMediaType type;
    if (FAILED(type.Set(*mt))) return E_OUTOFMEMORY;
    return pin->SetOfferedType(type);
}

HRESULT Mpeg2Demultiplexer::DeleteOutputPin(LPWSTR pinName)
{
    if (!pinName) return E_POINTER;
    std::lock_guard filterLock(*FilterLock());
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    std::lock_guard lock(mapLock_);
    for (auto it = outputs_.begin(); it != outputs_.end(); ++it) {
        if ((*it)->Name() != std::u16string_view(pinName)) continue;
        if ((*it)->IsConnected()) return VFW_E_ALREADY_CONNECTED;
        if (FAILED(NoThrow([&] { retired_.reserve(retired_.size() + 1); return S_OK; }))) return E_OUTOFMEMORY;
        router_.UnmapOutput((*it)->Id());
        retired_.push_back(std::move(*it));
        outputs_.erase(it);
        IncrementPinVersion();
        return S_OK;
    }
    return VFW_E_NOT_FOUND;
}

HRESULT Mpeg2Demultiplexer::Map(int output, ULONG streamId, ULONG substreamFilter, int dataOffset)
{
    if (streamId < kPrivateStream1 || streamId > mpeg::kLastVideoStream || dataOffset < 0) return E_INVALIDARG;
    if (streamId == kPrivateStream1 && substreamFilter != SUBSTREAM_FILTER_VAL_NONE && substreamFilter > 0xFF)
        return E_INVALIDARG;
    // A substream value of 0 on private stream 1 would match no real substream; as
    // the filter value it means none.
    const std::uint32_t filter = streamId == kPrivateStream1 && substreamFilter == 0
        ? mpeg::kNoSubstreamFilter : substreamFilter;
    std::lock_guard lock(mapLock_);
    const mpeg::StreamMapping mapping{static_cast<std::uint8_t>(streamId), filter,
                                      static_cast<std::size_t>(dataOffset), output};
    return NoThrow([&] { return router_.Map(mapping) ? S_OK : E_INVALIDARG; });
}

HRESULT Mpeg2Demultiplexer::Unmap(int output, ULONG streamId)
{
    if (streamId > 0xFF) return E_INVALIDARG;
    std::lock_guard lock(mapLock_);
    return router_.Unmap(output, static_cast<std::uint8_t>(streamId)) ? S_OK : E_INVALIDARG;
}

void Mpeg2Demultiplexer::ResetStreaming()
{
    std::lock_guard lock(StreamingLock());
    parser_.Reset();
    clock_.Reset();
}

HRESULT Mpeg2Demultiplexer::ReceiveData(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    std::lock_guard lock(StreamingLock());
    // A gap in the stream: what is held belongs to data that will not come.
    if (sample->IsDiscontinuity() == S_OK) parser_.Reset();
    if (length > 0) parser_.Push(data, static_cast<std::size_t>(length));
    return S_OK;
}

// Streaming thread, under streamingLock (called from inside the parser).
void Mpeg2Demultiplexer::OnPayload(const mpeg::PesPayload& payload)
{
    mpeg::RoutedPayload routed;
    DemuxOutputPin* pin = nullptr;
    {
        std::lock_guard lock(mapLock_);
        if (!router_.Route(payload, &routed)) return;
        for (const auto& output : outputs_)
            if (output->Id() == routed.output) pin = output.get();
    }
    if (!pin) return;
    QueuedPayload queued;
    queued.data.assign(routed.data, routed.data + routed.size);
    queued.hasTime = payload.hasPts;
    if (payload.hasPts) queued.start = clock_.ToReferenceTime(payload.pts);
    pin->Queue(std::move(queued));
}

HRESULT Mpeg2Demultiplexer::EndOfStreamAll()
{
    std::lock_guard lock(StreamingLock());
    parser_.Reset();
    for (DemuxOutputPin* pin : Outputs()) {
        QueuedPayload end;
        end.endOfStream = true;
        pin->Queue(std::move(end));
    }
    return S_OK;
}

HRESULT Mpeg2Demultiplexer::BeginFlushAll()
{
    // Not under streamingLock: a Receive blocked on a full queue must be able to end.
    for (DemuxOutputPin* pin : Outputs()) {
        pin->Flush();
        if (pin->IsConnected()) pin->DeliverBeginFlush();
    }
    return S_OK;
}

HRESULT Mpeg2Demultiplexer::EndFlushAll()
{
    {
        std::lock_guard lock(StreamingLock());
        parser_.Reset();
    }
    for (DemuxOutputPin* pin : Outputs()) {
        pin->Flush();
        pin->AfterFlush();
        if (pin->IsConnected()) pin->DeliverEndFlush();
    }
    return S_OK;
}

}  // namespace quvo::filters
