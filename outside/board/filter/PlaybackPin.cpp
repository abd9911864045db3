#include "outside/board/filter/PlaybackPin.h"

#include "outside/board/driver/BoardConfig.h"
#include "platform/graph/Guids.h"

namespace quvo::board {

PlaybackPin::PlaybackPin(CBaseFilter* filter, std::recursive_mutex* filterLock, HRESULT* phr)
    : CRenderedInputPin("Kestor playback pin", filter, filterLock, phr, u"Playback")
{
}

HRESULT PlaybackPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt) return E_POINTER;
    if (mt->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    const GUID& s = mt->subtype;
    return s == MEDIASUBTYPE_MPEG2_PROGRAM || s == MEDIASUBTYPE_MPEG1System || s == GUID_NULL
        ? S_OK
        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PlaybackPin::GetMediaType(int position, CMediaType* mt)
{
    if (!mt) return E_POINTER;
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *mt = CMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt->SetFormatType(&FORMAT_None);
    return S_OK;
}

HRESULT PlaybackPin::Receive(IMediaSample* sample)
{
    HRESULT hr = CRenderedInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) return E_POINTER;
    const LONG n = sample->GetActualDataLength();
    for (LONG i = 0; i < n; ++i) {
        packScan_ = (packScan_ << 8) | data[i];
        if (packScan_ == 0x000001BA) packs.fetch_add(1);
    }
    bytes.fetch_add(static_cast<ULONGLONG>(n));
    samples.fetch_add(1);
    return S_OK;
}

HRESULT PlaybackPin::Inactive()
{
    // What the board's output took, for tests in other processes.
    if (samples.load() > 0) {
        WriteQword(value::kPlaybackBytes, bytes.load());
        WriteDword(value::kPlaybackSamples, samples.load());
    }
    return CRenderedInputPin::Inactive();
}

HRESULT PlaybackPin::Active()
{
    // Upstream starts streaming only after this (renderers change state first),
    // so the streaming thread's scan state can be reset here.
    packScan_ = 0xFFFFFFFF;
    return CRenderedInputPin::Active();
}

}  // namespace quvo::board
