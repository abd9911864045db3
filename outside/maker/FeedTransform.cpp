#include "outside/maker/FeedTransform.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "outside/maker/FeedPaths.h"
#include "outside/maker/MakerPins.h"
#include "outside/maker/MakerClassIds.h"
#include "platform/com/NoThrow.h"

namespace quvo::maker {

FeedInputPin::FeedInputPin(FeedPath* path, CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR name)
    : CBaseInputPin("Feed input", filter, lock, nullptr, name), path_(path)
{
}

HRESULT FeedInputPin::CheckMediaType(const CMediaType* mt) { return mt ? path_->CheckInput(*mt) : E_POINTER; }

HRESULT FeedInputPin::SetMediaType(const CMediaType* mt)
{
    const HRESULT hr = CBaseInputPin::SetMediaType(mt);
    return FAILED(hr) ? hr : path_->UseInput(*mt);
}

HRESULT FeedInputPin::Active()
{
    path_->Reset();
    return CBaseInputPin::Active();
}

HRESULT FeedInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    return hr == S_OK ? quvo::NoThrow([&] { return path_->Receive(sample); }) : hr;
}

HRESULT FeedInputPin::EndOfStream()
{
    if (IsFlushing() || IsStopped()) return S_FALSE;
    return quvo::NoThrow([this] { return path_->EndOfStream(); });
}

HRESULT FeedInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    path_->BeginFlush();
    return S_OK;
}

HRESULT FeedInputPin::EndFlush()
{
    path_->EndFlush();
    return CBaseInputPin::EndFlush();
}

FeedOutputPin::FeedOutputPin(FeedPath* path, CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR name)
    : CBaseOutputPin("Feed output", filter, lock, nullptr, name), path_(path)
{
}

HRESULT FeedOutputPin::CheckMediaType(const CMediaType* mt)
{
    CMediaType offered;
    if (!mt || !path_->OutputType(&offered)) return VFW_E_TYPE_NOT_ACCEPTED;
    return *mt == offered ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT FeedOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    // Nothing to offer before the input knows what it gets.
    return path_->OutputType(mt) ? S_OK : VFW_S_NO_MORE_ITEMS;
}

HRESULT FeedOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return RequestBuffers(allocator, props, 4, path_->BufferBytes());
}

HRESULT FeedOutputPin::Inactive()
{
    // Decommitting first releases a Receive waiting for a buffer; then nothing of
    // the run is kept across the stop.
    const HRESULT hr = CBaseOutputPin::Inactive();
    path_->Reset();
    return hr;
}

FeedPath::FeedPath(CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR inName, LPCWSTR outName)
    : input_(this, filter, lock, inName), output_(this, filter, lock, outName)
{
}

HRESULT FeedPath::Receive(IMediaSample* sample)
{
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = 0, stop = 0;
    const bool hasTime = SUCCEEDED(sample->GetTime(&start, &stop));
    std::lock_guard lock(receiveLock_);
    if (sample->IsDiscontinuity() == S_OK) Clear();
    if (length <= 0) return S_OK;
    return Process(data, static_cast<std::size_t>(length), hasTime, start);
}

HRESULT FeedPath::EndOfStream()
{
    {
        std::lock_guard lock(receiveLock_);
        Finish();
        Clear();
    }
    return output_.IsConnected() ? output_.DeliverEndOfStream() : S_OK;
}

void FeedPath::BeginFlush()
{
    if (output_.IsConnected()) output_.DeliverBeginFlush();
}

void FeedPath::EndFlush()
{
    Reset();
    if (output_.IsConnected()) output_.DeliverEndFlush();
}

void FeedPath::Reset()
{
    std::lock_guard lock(receiveLock_);
    Clear();
}

HRESULT FeedPath::Deliver(const std::uint8_t* data, std::size_t size, const REFERENCE_TIME* start,
                          const REFERENCE_TIME* mediaTime, bool syncPoint)
{
    if (!output_.IsConnected()) return S_OK;
    bool first = true;
    while (size > 0) {
        ComPtr<IMediaSample> sample;
        HRESULT hr = output_.GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        const std::size_t n = std::min(size, static_cast<std::size_t>(sample->GetSize()));
        if (!buffer || n == 0) return E_UNEXPECTED;
        std::memcpy(buffer, data, n);
        sample->SetActualDataLength(static_cast<LONG>(n));
        REFERENCE_TIME times[2] = {start ? *start : 0, start ? *start + 1 : 0};
        REFERENCE_TIME media[2] = {mediaTime ? *mediaTime : 0, mediaTime ? *mediaTime + 1 : 0};
        sample->SetTime(first && start ? &times[0] : nullptr, first && start ? &times[1] : nullptr);
        sample->SetMediaTime(first && mediaTime ? &media[0] : nullptr, first && mediaTime ? &media[1] : nullptr);
        sample->SetSyncPoint(first && syncPoint ? TRUE : FALSE);
        sample->SetDiscontinuity(FALSE);
        hr = output_.Deliver(sample.Get());
        if (hr != S_OK) return hr;
        data += n;
        size -= n;
        first = false;
    }
    return S_OK;
}

FeedTransform::FeedTransform(IUnknown* outer, HRESULT* hr)
    : CBaseFilter("Maker feed transform", outer, CLSID_MakerFeedTransform),
      video_(MakeVideoFeed(this, FilterLock())),
      audio_(MakeAudioFeed(this, FilterLock()))
{
    if (hr && (!video_ || !audio_)) *hr = E_OUTOFMEMORY;
}

FeedTransform::~FeedTransform()
{
    if (IsActive()) CBaseFilter::Stop();
}

CBasePin* FeedTransform::GetPin(int n)
{
    switch (n) {
    case 0: return &video_->Input();
    case 1: return &audio_->Input();
    case 2: return &video_->Output();
    case 3: return &audio_->Output();
    default: return nullptr;
    }
}

}  // namespace quvo::maker
