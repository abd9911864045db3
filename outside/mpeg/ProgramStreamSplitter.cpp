#include "outside/mpeg/ProgramStreamSplitter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "outside/mpeg/MpegClassIds.h"
#include "platform/com/NoThrow.h"
#include "platform/com/Runtime.h"
#include "platform/win32/Text.h"

namespace quvo::mpegdec {
namespace {

constexpr int kVideoOutput = 0;
constexpr int kAudioOutput = 1;

CMediaType VideoType(const StreamProbe& p)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    mt.SetFormatType(&FORMAT_MPEG2Video);
    constexpr std::size_t kFixed = offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
    const std::size_t length = std::max<std::size_t>(sizeof(MPEG2VIDEOINFO), kFixed + p.sequenceHeader.size());
    BYTE* block = mt.AllocFormatBuffer(static_cast<ULONG>(length));
    if (!block) return mt;
    MPEG2VIDEOINFO info{};
    info.hdr.rcSource = {0, 0, p.width, p.height};
    info.hdr.AvgTimePerFrame = p.frameDuration;
    info.hdr.dwPictAspectRatioX = 4;
    info.hdr.dwPictAspectRatioY = 3;
    info.hdr.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.hdr.bmiHeader.biWidth = p.width;
    info.hdr.bmiHeader.biHeight = p.height;
    info.cbSequenceHeader = static_cast<DWORD>(p.sequenceHeader.size());
    std::memcpy(block, &info, kFixed);
    if (!p.sequenceHeader.empty()) std::memcpy(block + kFixed, p.sequenceHeader.data(), p.sequenceHeader.size());
    return mt;
}

CMediaType AudioType(const StreamProbe& p)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    const GUID& subtype = p.audio == ProbedAudio::Ac3 ? MEDIASUBTYPE_DOLBY_AC3
        : p.audio == ProbedAudio::Mpeg ? MEDIASUBTYPE_MPEG1AudioPayload : MEDIASUBTYPE_DVD_LPCM_AUDIO;
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx{};
    wfx.nChannels = static_cast<WORD>(p.channels);
    wfx.nSamplesPerSec = static_cast<DWORD>(p.rate);
    wfx.wBitsPerSample = static_cast<WORD>(p.audio == ProbedAudio::Lpcm ? p.bits : 16);
    wfx.nBlockAlign = static_cast<WORD>(p.channels * 2);
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wfx), sizeof wfx);
    return mt;
}

// The file the upstream filter reads, when it says.
std::string UpstreamFileName(IPin* pin)
{
    PIN_INFO info{};
    if (FAILED(pin->QueryPinInfo(&info)) || !info.pFilter) return {};
    ComPtr<IBaseFilter> filter;
    filter.Attach(info.pFilter);
    ComPtr<IFileSourceFilter> source;
    if (FAILED(filter->QueryInterface(IID_IFileSourceFilter, source.ReleaseAndGetVoidAddressOf()))) return {};
    LPWSTR name = nullptr;
    if (FAILED(source->GetCurFile(&name, nullptr)) || !name) return {};
    const std::string path = quvo::text::Utf16ToUtf8(name);
    CoTaskMemFree(name);
    return path;
}

}  // namespace

SplitterInputPin::SplitterInputPin(ProgramStreamSplitter* splitter, std::recursive_mutex* lock, HRESULT* phr)
    : CBaseInputPin("Splitter input", splitter, lock, phr, u"Input"), splitter_(splitter)
{
}

HRESULT SplitterInputPin::CheckMediaType(const CMediaType* mt)
{
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT SplitterInputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (FAILED(hr)) return hr;
    splitter_->UseProbe(ProbeProgramStreamFile(UpstreamFileName(receivePin)));
    return S_OK;
}

HRESULT SplitterInputPin::Active()
{
    splitter_->ResetStreaming();
    return CBaseInputPin::Active();
}

HRESULT SplitterInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    return hr == S_OK ? quvo::NoThrow([&] { return splitter_->ReceiveData(sample); }) : hr;
}

HRESULT SplitterInputPin::EndOfStream()
{
    if (IsFlushing() || IsStopped()) return S_FALSE;
    return quvo::NoThrow([&] { return splitter_->EndOfStreamAll(); });
}

HRESULT SplitterInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    splitter_->FlushAll(true);
    return S_OK;
}

HRESULT SplitterInputPin::EndFlush()
{
    splitter_->FlushAll(false);
    return CBaseInputPin::EndFlush();
}

SplitterOutputPin::SplitterOutputPin(ProgramStreamSplitter* splitter, std::recursive_mutex* lock, HRESULT* phr,
                                     LPCWSTR name)
    : CBaseOutputPin("Splitter output", splitter, lock, phr, name), splitter_(splitter)
{
}

HRESULT SplitterOutputPin::CheckMediaType(const CMediaType* mt)
{
    return *mt == type_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT SplitterOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(type_);
}

HRESULT SplitterOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES request = *props;
    request.cBuffers = std::max<LONG>(request.cBuffers, 4);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, 0x10000);
    if (request.cbAlign <= 0) request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&request, &actual);
}

HRESULT SplitterOutputPin::Active()
{
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    discontinuity_ = true;
    carried_ = false;
    endHeld_ = false;
    queue_.Start([this](filters::QueuedPayload& p) { DeliverPayload(p); });
    return S_OK;
}

HRESULT SplitterOutputPin::Inactive()
{
    const HRESULT hr = CBaseOutputPin::Inactive();
    queue_.Stop();
    return hr;
}

void SplitterOutputPin::Queue(filters::QueuedPayload payload)
{
    if (!IsConnected()) return;
    if (!payload.endOfStream) {
        payload.discontinuity = discontinuity_.exchange(false);
        carried_ = true;
    }
    queue_.Push(std::move(payload));
}

void SplitterOutputPin::Flush()
{
    endHeld_ = false;
    queue_.Clear();
}

void SplitterOutputPin::ReleaseEnd()
{
    if (!endHeld_.exchange(false)) return;
    filters::QueuedPayload end;
    end.endOfStream = true;
    Queue(std::move(end));
}

void SplitterOutputPin::DeliverPayload(filters::QueuedPayload& payload)
{
    if (payload.endOfStream) {
        DeliverEndOfStream();
        splitter_->OutputEnded();
        return;
    }
    std::size_t pos = 0;
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
        const bool first = pos == 0;
        if (first && payload.hasTime) {
            REFERENCE_TIME start = payload.start;
            REFERENCE_TIME stop = payload.start + 1;
            sample->SetTime(&start, &stop);
        }
        sample->SetDiscontinuity(first && payload.discontinuity ? TRUE : FALSE);
        if (Deliver(sample.Get()) != S_OK) return;
        pos += n;
    }
}

ProgramStreamSplitter::ProgramStreamSplitter(IUnknown* outer, HRESULT*)
    : CBaseFilter("MPEG Splitter", outer, CLSID_QuvoMpegSplitter),
      input_(this, FilterLock(), nullptr),
      video_(this, FilterLock(), nullptr, u"Video"),
      audio_(this, FilterLock(), nullptr, u"Audio"),
      parser_([this](const mpeg::PesPayload& p) { OnPayload(p); })
{
    StreamProbe defaults;
    defaults.audio = ProbedAudio::Lpcm;
    UseProbe(defaults);
}

CBasePin* ProgramStreamSplitter::GetPin(int n)
{
    switch (n) {
    case 0: return &input_;
    case 1: return &video_;
    case 2: return &audio_;
    default: return nullptr;
    }
}

void ProgramStreamSplitter::UseProbe(const StreamProbe& probe)
{
    std::lock_guard lock(*FilterLock());
    if (!video_.IsConnected()) video_.SetType(VideoType(probe));
    if (!audio_.IsConnected()) audio_.SetType(AudioType(probe));
    router_ = mpeg::StreamRouter();
    router_.Map({probe.videoId, mpeg::kNoSubstreamFilter, 0, kVideoOutput});
    router_.Map({probe.audioId, probe.substream, static_cast<std::size_t>(probe.dataOffset), kAudioOutput});
}

void ProgramStreamSplitter::ResetStreaming()
{
    std::lock_guard lock(StreamingLock());
    parser_.Reset();
    clock_.Reset();
}

HRESULT ProgramStreamSplitter::ReceiveData(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    std::lock_guard lock(StreamingLock());
    if (sample->IsDiscontinuity() == S_OK) parser_.Reset();
    if (length > 0) parser_.Push(data, static_cast<std::size_t>(length));
    return S_OK;
}

void ProgramStreamSplitter::OnPayload(const mpeg::PesPayload& payload)
{
    mpeg::RoutedPayload routed;
    if (!router_.Route(payload, &routed)) return;
    filters::QueuedPayload queued;
    queued.data.assign(routed.data, routed.data + routed.size);
    queued.hasTime = payload.hasPts;
    if (payload.hasPts) queued.start = clock_.ToReferenceTime(payload.pts);
    (routed.output == kVideoOutput ? video_ : audio_).Queue(std::move(queued));
}

HRESULT ProgramStreamSplitter::EndOfStreamAll()
{
    std::lock_guard lock(StreamingLock());
    parser_.Reset();
    const bool anyCarried = video_.Carried() || audio_.Carried();
    auto held = [&](const SplitterOutputPin* pin) { return anyCarried && !pin->Carried() && pin->IsConnected(); };
    // Holds first: the other output may deliver its end before this loop is done.
    for (SplitterOutputPin* pin : {&video_, &audio_})
        if (held(pin)) pin->HoldEnd();
    for (SplitterOutputPin* pin : {&video_, &audio_}) {
        if (held(pin)) continue;
        filters::QueuedPayload end;
        end.endOfStream = true;
        pin->Queue(std::move(end));
    }
    return S_OK;
}

void ProgramStreamSplitter::OutputEnded()
{
    video_.ReleaseEnd();
    audio_.ReleaseEnd();
}

void ProgramStreamSplitter::FlushAll(bool begin)
{
    if (!begin) {
        std::lock_guard lock(StreamingLock());
        parser_.Reset();
    }
    for (SplitterOutputPin* pin : {&video_, &audio_}) {
        pin->Flush();
        if (!pin->IsConnected()) continue;
        if (begin) pin->DeliverBeginFlush();
        else pin->DeliverEndFlush();
    }
}

}  // namespace quvo::mpegdec
