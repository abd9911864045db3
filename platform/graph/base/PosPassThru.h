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
#include "platform/graph/MethodLists.h"

class CPosPassThru : public CUnknown, public IMediaSeeking, public IMediaPosition {
public:
    CPosPassThru(const char* name, IUnknown* outer, HRESULT* phr, IPin* pin);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    QUVO_MEDIA_SEEKING_METHODS(QUVO_OVERRIDE_METHOD)
    QUVO_MEDIA_POSITION_METHODS(QUVO_OVERRIDE_METHOD)

protected:
    // The upstream object answering `riid`: VFW_E_NOT_CONNECTED, E_NOTIMPL or S_OK.
    HRESULT GetPeer(REFIID riid, void** ppv);
    HRESULT GetPeerSeeking(IMediaSeeking** seeking);
    HRESULT GetPeerPosition(IMediaPosition** position);

private:
    IPin* const pin_;
};
