// CBasePin: the IPin part shared by input and output pins: connection and media
// type agreement, pin information, the media-type enumerator, and the hooks the
// owning filter calls on state changes (Active, Inactive, Run).
//
// A pin lives inside its filter: its references count on the filter (AddRef and
// Release go to the filter), and the filter deletes it. Connection calls take the
// filter lock handed to the constructor; they are only allowed while the filter is
// stopped, so the streaming thread may read the connection without a lock.
//
// Two pins connect without a graph manager: output->Connect(input, type or null).
#pragma once

#include <mutex>
#include <string>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/base/MediaType.h"

class CBaseFilter;

class CBasePin : public CUnknown, public IPin {
public:
    CBasePin(const char* objectName, CBaseFilter* filter, std::recursive_mutex* filterLock,
             HRESULT* phr, LPCWSTR pinName, PIN_DIRECTION dir);
    ~CBasePin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    // A pin's references are the filter's.
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // IPin
    HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* dir) override;
    HRESULT QueryId(LPWSTR* id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // Whether this pin can work with `mt` (S_OK) or not (a failure code).
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    // The connection's type has been chosen (called on both sides).
    virtual HRESULT SetMediaType(const CMediaType* mt);
    // The preferred types, numbered from 0: S_OK, or VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int position, CMediaType* mt);
    // Whether `pin` is a pin this one may connect to (direction, interfaces).
    virtual HRESULT CheckConnect(IPin* pin);
    // The connection is made; a failure undoes it.
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // The connection is being undone: release what CheckConnect/CompleteConnect took.
    virtual HRESULT BreakConnect();

    // State hooks, called by the filter under the filter lock for connected pins.
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);

    bool IsConnected() const { return connected_.Get() != nullptr; }
    // The connected pin (no new reference), or null.
    IPin* GetConnected() const { return connected_.Get(); }
    const CMediaType& CurrentMediaType() const { return mt_; }
    PIN_DIRECTION Direction() const { return dir_; }
    const std::u16string& Name() const { return name_; }
    CBaseFilter* Filter() const { return filter_; }
    bool IsStopped() const;

    REFERENCE_TIME CurrentStartTime() const { return segmentStart_; }
    REFERENCE_TIME CurrentStopTime() const { return segmentStop_; }
    double CurrentRate() const { return segmentRate_; }

protected:
    // Types come from the receiving pin first, then from this pin.
    virtual HRESULT AgreeMediaType(IPin* receivePin, const CMediaType* partial);
    // Tries one type against both pins; on failure leaves both unconnected.
    virtual HRESULT AttemptConnection(IPin* receivePin, const CMediaType* mt);
    HRESULT TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types);
    HRESULT DisconnectInternal();

    CBaseFilter* const filter_;
    std::recursive_mutex* const filterLock_;
    // Connection state: written under the filter lock while the filter is stopped.
    ComPtr<IPin> connected_;
    CMediaType mt_;
    const std::u16string name_;
    const PIN_DIRECTION dir_;
    // Try our own types before the receiving pin's.
    bool tryMyTypesFirst_ = false;

    // The segment from the last NewSegment (streaming thread).
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0x7FFFFFFFFFFFFFFF;
    double segmentRate_ = 1.0;
};
