#include "outside/maker/BraidMuxer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "outside/maker/FeedPaths.h"
#include "outside/maker/MakerPins.h"
#include "outside/maker/MakerClassIds.h"
#include "platform/com/NoThrow.h"

namespace quvo::maker {
namespace {

// Whole packs per sample, so the board never sees a pack cut in two.
constexpr LONG kOutputBytes = 32 * static_cast<LONG>(board::ProgramStreamMuxer::kPackSize);

}  // namespace

BraidInputPin::BraidInputPin(BraidMuxer* muxer, bool video, LPCWSTR name)
    : CBaseInputPin("Braid input", muxer, muxer->FilterLock(), nullptr, name), muxer_(muxer), video_(video)
{
}

HRESULT BraidInputPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt) return E_POINTER;
    if (video_) return IsMpegVideoType(*mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    return *mt == BoardAudioType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BraidInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return quvo::NoThrow([&] { return video_ ? muxer_->ReceiveVideo(sample) : muxer_->ReceiveAudio(sample); });
}

HRESULT BraidInputPin::EndOfStream()
{
    if (IsFlushing() || IsStopped()) return S_FALSE;
    return quvo::NoThrow([this] { return muxer_->EndOfStream(video_); });
}

HRESULT BraidInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    muxer_->BeginFlush();
    return S_OK;
}

HRESULT BraidInputPin::EndFlush()
{
    muxer_->EndFlush();
    return CBaseInputPin::EndFlush();
}

BraidOutputPin::BraidOutputPin(BraidMuxer* muxer)
    : CBaseOutputPin("Braid output", muxer, muxer->FilterLock(), nullptr, u"Output"), muxer_(muxer)
{
}

HRESULT BraidOutputPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt) return E_POINTER;
    return mt->majortype == MEDIATYPE_Stream && mt->subtype == MEDIASUBTYPE_MPEG2_PROGRAM ? S_OK
                                                                                         : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BraidOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    SetStreamType(mt, MEDIASUBTYPE_MPEG2_PROGRAM);
    return S_OK;
}

HRESULT BraidOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return RequestBuffers(allocator, props, 4, kOutputBytes);
}

HRESULT BraidOutputPin::Active()
{
    const HRESULT hr = CBaseOutputPin::Active();
    if (SUCCEEDED(hr)) muxer_->StartRun();
    return hr;
}

HRESULT BraidOutputPin::Inactive()
{
    const HRESULT hr = CBaseOutputPin::Inactive();  // releases a Receive waiting for a buffer
    muxer_->EndRun();
    return hr;
}

BraidMuxer::BraidMuxer(IUnknown* outer, HRESULT*)
    : CBaseFilter("Maker braid muxer", outer, CLSID_MakerBraidMuxer),
      videoIn_(this, true, u"Video"),
      audioIn_(this, false, u"Audio"),
      output_(this)
{
}

BraidMuxer::~BraidMuxer()
{
    if (IsActive()) CBaseFilter::Stop();
}

CBasePin* BraidMuxer::GetPin(int n)
{
    switch (n) {
    case 0: return &videoIn_;
    case 1: return &audioIn_;
    case 2: return &output_;
    default: return nullptr;
    }
}

HRESULT BraidMuxer::ReceiveVideo(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    REFERENCE_TIME pts = 0, stop = 0, dts = 0, dtsEnd = 0;
    const bool hasTime = SUCCEEDED(sample->GetTime(&pts, &stop));
    if (!hasTime || FAILED(sample->GetMediaTime(&dts, &dtsEnd))) dts = pts;
    const LONG length = std::max<LONG>(0, sample->GetActualDataLength());
    std::lock_guard lock(receiveLock_);
    braid_.AddVideo(data, static_cast<std::size_t>(length), hasTime, pts, dts, sample->IsSyncPoint() == S_OK,
                    pending_);
    return DeliverBytes();
}

HRESULT BraidMuxer::ReceiveAudio(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    REFERENCE_TIME pts = 0, stop = 0;
    const bool hasTime = SUCCEEDED(sample->GetTime(&pts, &stop));
    const std::size_t frames = static_cast<std::size_t>(std::max<LONG>(0, sample->GetActualDataLength()))
        / (kBoardAudioChannels * sizeof(std::int16_t));
    std::lock_guard lock(receiveLock_);
    braid_.AddAudio(reinterpret_cast<const std::int16_t*>(data), frames, hasTime, pts, pending_);
    return DeliverBytes();
}

HRESULT BraidMuxer::EndOfStream(bool video)
{
    HRESULT hr;
    bool sendEnd = false;
    {
        std::lock_guard lock(receiveLock_);
        if (video) braid_.EndVideo(pending_);
        else braid_.EndAudio(pending_);
        hr = DeliverBytes();
        // Once both inputs ended nothing more can be braided, so the end may go
        // out after the lock is left (the board reports it to the graph).
        sendEnd = braid_.Finished() && !endSent_;
        endSent_ = endSent_ || sendEnd;
    }
    if (sendEnd) output_.DeliverEndOfStream();
    return hr;
}

HRESULT BraidMuxer::DeliverBytes()
{
    std::size_t at = 0;
    HRESULT hr = S_OK;
    while (at < pending_.size()) {
        ComPtr<IMediaSample> sample;
        hr = output_.GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
        if (FAILED(hr)) break;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        const std::size_t n = std::min(pending_.size() - at, static_cast<std::size_t>(sample->GetSize()));
        if (!buffer || n == 0) {
            hr = E_UNEXPECTED;
            break;
        }
        std::memcpy(buffer, pending_.data() + at, n);
        sample->SetActualDataLength(static_cast<LONG>(n));
        sample->SetTime(nullptr, nullptr);
        hr = output_.Deliver(sample.Get());
        if (hr != S_OK) break;
        at += n;
    }
    // What could not be delivered is dropped: the board stopped, or flushes.
    pending_.clear();
    return hr;
}

void BraidMuxer::BeginFlush()
{
    if (flushing_.fetch_add(1) == 0 && output_.IsConnected()) output_.DeliverBeginFlush();
}

void BraidMuxer::EndFlush()
{
    StartRun();  // what follows a flush is braided afresh
    if (flushing_.fetch_sub(1) == 1 && output_.IsConnected()) output_.DeliverEndFlush();
}

void BraidMuxer::StartRun()
{
    std::lock_guard lock(receiveLock_);
    braid_.Reset(videoIn_.IsConnected(), audioIn_.IsConnected());
    pending_.clear();
    endSent_ = false;
}

void BraidMuxer::EndRun()
{
    std::lock_guard lock(receiveLock_);
    braid_.Reset();
    pending_.clear();
    pending_.shrink_to_fit();
}

}  // namespace quvo::maker
