// CBaseInputPin: an input pin that receives samples through IMemInputPin.
//
// Allocator: the upstream pin asks GetAllocator (a CMemAllocator is made on first
// request) and then tells the one it chose through NotifyAllocator.
// Receive in this class only checks that streaming is allowed; a derived pin calls
// it first and then does its work under its filter's streaming lock.
//
// Threads: Receive, ReceiveMultiple and EndOfStream come on the upstream streaming
// thread; BeginFlush/EndFlush and the state hooks on the application thread. The
// flushing and run-time-error flags are atomics read by both.
#pragma once

#include <atomic>

#include "platform/graph/base/BasePin.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(const char* objectName, CBaseFilter* filter, std::recursive_mutex* filterLock,
                  HRESULT* phr, LPCWSTR pinName);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMemInputPin
    HRESULT GetAllocator(IMemAllocator** allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    // S_OK when the sample may be processed, else CheckStreaming's answer.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
    HRESULT ReceiveCanBlock() override;

    // IPin flushing: samples are refused (S_FALSE) between the two.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    // S_OK while samples may flow; VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE when the
    // filter is stopped, S_FALSE while flushing, VFW_E_RUNTIME_ERROR after an error.
    virtual HRESULT CheckStreaming();

    bool IsFlushing() const { return flushing_.load(); }
    bool IsReadOnly() const { return readOnly_; }
    // A streaming failure: samples are refused until the next flush or stop.
    void SetRuntimeError() { runtimeError_.store(true); }
    IMemAllocator* Allocator() const { return allocator_.Get(); }

protected:
    // Set by NotifyAllocator under the filter lock while stopped.
    ComPtr<IMemAllocator> allocator_;
    bool readOnly_ = false;
    std::atomic<bool> flushing_{false};
    std::atomic<bool> runtimeError_{false};
};
