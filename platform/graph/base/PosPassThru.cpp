#include "platform/graph/base/PosPassThru.h"

#include <cmath>

namespace {
REFTIME ToSeconds(LONGLONG t) { return static_cast<REFTIME>(t) / static_cast<REFTIME>(UNITS); }
LONGLONG FromSeconds(REFTIME s) { return std::llround(s * static_cast<REFTIME>(UNITS)); }
}  // namespace

CPosPassThru::CPosPassThru(const char* name, IUnknown* outer, HRESULT* phr, IPin* pin)
    : CUnknown(name, outer), pin_(pin)
{
    if (phr) *phr = pin ? S_OK : E_POINTER;
}

HRESULT CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaPosition) return GetInterface(static_cast<IMediaPosition*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CPosPassThru::GetPeer(REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (!pin_) return E_NOTIMPL;
    ComPtr<IPin> upstream;
    if (FAILED(pin_->ConnectedTo(&upstream)) || !upstream) return VFW_E_NOT_CONNECTED;
    if (SUCCEEDED(upstream->QueryInterface(riid, ppv)) && *ppv) return S_OK;
    PIN_INFO info{};
    if (FAILED(upstream->QueryPinInfo(&info)) || !info.pFilter) return E_NOTIMPL;
    ComPtr<IBaseFilter> filter;
    filter.Attach(info.pFilter);
    if (SUCCEEDED(filter->QueryInterface(riid, ppv)) && *ppv) return S_OK;
    *ppv = nullptr;
    return E_NOTIMPL;
}

HRESULT CPosPassThru::GetPeerSeeking(IMediaSeeking** seeking)
{
    return GetPeer(IID_IMediaSeeking, reinterpret_cast<void**>(seeking));
}

HRESULT CPosPassThru::GetPeerPosition(IMediaPosition** position)
{
    return GetPeer(IID_IMediaPosition, reinterpret_cast<void**>(position));
}

// Each IMediaSeeking method: find the upstream object, forward the call as it is.
#define QUVO_FORWARD_SEEKING(name, params, args)        \
    HRESULT CPosPassThru::name params                   \
    {                                                   \
        ComPtr<IMediaSeeking> peer;                     \
        HRESULT hr = GetPeerSeeking(&peer);             \
        return FAILED(hr) ? hr : peer->name args;       \
    }
QUVO_MEDIA_SEEKING_METHODS(QUVO_FORWARD_SEEKING)
#undef QUVO_FORWARD_SEEKING

// IMediaPosition: upstream IMediaPosition when there is one, else the seeking
// call `viaSeeking` with times converted.
#define QUVO_FORWARD_POSITION(call, viaSeeking)            \
    ComPtr<IMediaPosition> position;                       \
    HRESULT hr = GetPeerPosition(&position);               \
    if (SUCCEEDED(hr)) return position->call;              \
    if (hr == VFW_E_NOT_CONNECTED) return hr;              \
    ComPtr<IMediaSeeking> seeking;                         \
    hr = GetPeerSeeking(&seeking);                         \
    if (FAILED(hr)) return hr;                             \
    viaSeeking

HRESULT CPosPassThru::get_Duration(REFTIME* length)
{
    if (!length) return E_POINTER;
    QUVO_FORWARD_POSITION(get_Duration(length), {
        LONGLONG t = 0;
        hr = seeking->GetDuration(&t);
        if (SUCCEEDED(hr)) *length = ToSeconds(t);
        return hr;
    });
}

HRESULT CPosPassThru::put_CurrentPosition(REFTIME time)
{
    QUVO_FORWARD_POSITION(put_CurrentPosition(time), {
        LONGLONG t = FromSeconds(time);
        return seeking->SetPositions(&t, AM_SEEKING_AbsolutePositioning, nullptr,
                                     AM_SEEKING_NoPositioning);
    });
}

HRESULT CPosPassThru::get_CurrentPosition(REFTIME* time)
{
    if (!time) return E_POINTER;
    QUVO_FORWARD_POSITION(get_CurrentPosition(time), {
        LONGLONG t = 0;
        hr = seeking->GetCurrentPosition(&t);
        if (SUCCEEDED(hr)) *time = ToSeconds(t);
        return hr;
    });
}

HRESULT CPosPassThru::get_StopTime(REFTIME* time)
{
    if (!time) return E_POINTER;
    QUVO_FORWARD_POSITION(get_StopTime(time), {
        LONGLONG t = 0;
        hr = seeking->GetStopPosition(&t);
        if (SUCCEEDED(hr)) *time = ToSeconds(t);
        return hr;
    });
}

HRESULT CPosPassThru::put_StopTime(REFTIME time)
{
    QUVO_FORWARD_POSITION(put_StopTime(time), {
        LONGLONG t = FromSeconds(time);
        return seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &t,
                                     AM_SEEKING_AbsolutePositioning);
    });
}

HRESULT CPosPassThru::get_PrerollTime(REFTIME* time)
{
    if (!time) return E_POINTER;
    QUVO_FORWARD_POSITION(get_PrerollTime(time), {
        LONGLONG t = 0;
        hr = seeking->GetPreroll(&t);
        if (SUCCEEDED(hr)) *time = ToSeconds(t);
        return hr;
    });
}

HRESULT CPosPassThru::put_PrerollTime(REFTIME time)
{
    // IMediaSeeking has no way to set a preroll.
    QUVO_FORWARD_POSITION(put_PrerollTime(time), { return E_NOTIMPL; });
}

HRESULT CPosPassThru::put_Rate(double rate)
{
    QUVO_FORWARD_POSITION(put_Rate(rate), { return seeking->SetRate(rate); });
}

HRESULT CPosPassThru::get_Rate(double* rate)
{
    if (!rate) return E_POINTER;
    QUVO_FORWARD_POSITION(get_Rate(rate), { return seeking->GetRate(rate); });
}

HRESULT CPosPassThru::CanSeekForward(LONG* canSeek)
{
    if (!canSeek) return E_POINTER;
    QUVO_FORWARD_POSITION(CanSeekForward(canSeek), {
        DWORD caps = 0;
        hr = seeking->GetCapabilities(&caps);
        if (SUCCEEDED(hr)) *canSeek = (caps & AM_SEEKING_CanSeekForwards) ? OATRUE : OAFALSE;
        return hr;
    });
}

HRESULT CPosPassThru::CanSeekBackward(LONG* canSeek)
{
    if (!canSeek) return E_POINTER;
    QUVO_FORWARD_POSITION(CanSeekBackward(canSeek), {
        DWORD caps = 0;
        hr = seeking->GetCapabilities(&caps);
        if (SUCCEEDED(hr)) *canSeek = (caps & AM_SEEKING_CanSeekBackwards) ? OATRUE : OAFALSE;
        return hr;
    });
}

#undef QUVO_FORWARD_POSITION
