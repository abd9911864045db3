// CBaseOutputPin: an output pin that delivers samples to a downstream IMemInputPin.
//
// At connection it agrees an allocator with the input pin (the input pin's own
// first, else a CMemAllocator of ours), sized by the derived DecideBufferSize.
// Active commits the allocator; Inactive decommits it, which makes a GetBuffer
// blocked on the streaming thread return VFW_E_NOT_COMMITTED.
//
// Threads: GetDeliveryBuffer and the Deliver* calls are made on the streaming thread
// (DeliverBeginFlush/EndFlush on the application thread). The connection they read
// only changes while the filter is stopped.
#pragma once

#include "platform/graph/base/BasePin.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const char* objectName, CBaseFilter* filter, std::recursive_mutex* filterLock,
                   HRESULT* phr, LPCWSTR pinName);
    ~CBaseOutputPin() override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Output pins take no flush from downstream.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // Chooses the allocator for `pin` and tells the pin about it.
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    // Our own allocator when the input pin offers none.
    virtual HRESULT InitAllocator(IMemAllocator** allocator);
    // Sets the buffer count and size on `allocator` (props holds the downstream's
    // requirements, or zeros).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;

    // A free sample from the allocator (blocks while none is free).
    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                      REFERENCE_TIME* end, DWORD flags);
    // Hands `sample` to the downstream pin's Receive and returns its answer.
    virtual HRESULT Deliver(IMediaSample* sample);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator* Allocator() const { return allocator_.Get(); }
    IMemInputPin* InputPin() const { return inputPin_.Get(); }

protected:
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMemInputPin> inputPin_;
};
