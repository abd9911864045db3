// CTransformFilter: one input pin, one output pin, and a Transform(in, out) that
// fills an output sample from each input sample. A derived filter supplies the
// type checks, the output types, the buffer size and the transform itself.
//
// The output pin offers types only once the input is connected. End of stream,
// flushes and new segments pass downstream.
//
// Locks (CBaseFilter's):
//  - filterLock: state changes and connections.
//  - streamingLock: held by Receive and EndOfStream; Stop takes it once the pins
//    are inactive, so StopStreaming never meets a sample half processed. Flushes
//    take only the filter lock: a Receive blocked downstream is released by the
//    flush travelling downstream.
#pragma once

#include <memory>
#include <mutex>

#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr, LPCWSTR name);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CTransformFilter* const transform_;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr, LPCWSTR name);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

private:
    CTransformFilter* const transform_;
};

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    // What a derived filter supplies.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out) = 0;
    virtual HRESULT CheckInputType(const CMediaType* mt) = 0;
    virtual HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* mt) = 0;

    // Optional hooks. StartStreaming: leaving Stopped with the input connected;
    // StopStreaming: entering Stopped, under the streaming lock.
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    virtual HRESULT SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }
    virtual HRESULT CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT BreakConnect(PIN_DIRECTION) { return S_OK; }

    // Streaming (input pin, upstream streaming thread, under the streaming lock).
    // Transform answering S_FALSE skips the sample (nothing is delivered).
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    // Application thread, under the filter lock.
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    CTransformInputPin* InputPin() const { return input_.get(); }
    CTransformOutputPin* OutputPin() const { return output_.get(); }

protected:
    // An output sample from the output allocator with the input sample's times and flags.
    virtual HRESULT InitializeOutputSample(IMediaSample* in, IMediaSample** out);

    HRESULT InitStream() final;
    HRESULT CleanupStream() final;

    std::unique_ptr<CTransformInputPin> input_;
    std::unique_ptr<CTransformOutputPin> output_;
    bool eosDelivered_ = false;  // streaming lock, or the filter lock while stopped
};
