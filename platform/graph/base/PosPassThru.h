// CPosPassThru: IMediaSeeking and IMediaPosition for a filter that has no position of
// its own (a renderer, a sink): every call goes upstream, to the pin connected to
// the given input pin, or to that pin's filter when the pin has none. Without an
// upstream answer a call returns E_NOTIMPL (VFW_E_NOT_CONNECTED when unconnected).
// IMediaPosition is served from upstream IMediaPosition, else converted from
// upstream IMediaSeeking in media time (seconds <-> 100 ns).
//
// A CUnknown, so a filter creates it on demand as an inner object with its own
// unknown as the outer one. It holds no reference on the pin (the pin's filter
// owns it). Threads: any; it keeps no state besides the pin.
#pragma once

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

class CPosPassThru : public CUnknown, public IMediaSeeking, public IMediaPosition {
public:
    CPosPassThru(const char* name, IUnknown* outer, HRESULT* phr, IPin* pin);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMediaSeeking
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
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                         DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

    // IMediaPosition
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

protected:
    // The upstream object answering `riid`: VFW_E_NOT_CONNECTED, E_NOTIMPL or S_OK.
    HRESULT GetPeer(REFIID riid, void** ppv);
    HRESULT GetPeerSeeking(IMediaSeeking** seeking);
    HRESULT GetPeerPosition(IMediaPosition** position);

private:
    IPin* const pin_;
};
