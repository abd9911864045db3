// CBaseSink: a filter that ends a stream (a renderer, the file writer, a test
// sink), with one CSinkInputPin. The base carries the streaming side: the pin
// takes the streaming lock around every sample and end of stream, and Stop and
// BeginFlush wake a sample that waits inside the sink, then wait for it to leave.
// A derived sink supplies its pin's types and OnReceive, and the state hooks it
// needs (CBaseFilter).
//
// The wake-up: Stop and BeginFlush set WakeUpEvent() and call AbortReceive()
// (without the streaming lock); a sink that waits inside OnReceive waits on that
// event, or on something AbortReceive releases, and leaves once Aborting() holds.
//
// Threads: OnReceive, DrainForEndOfStream, OnEndOfStream and OnEndFlush run under
// the streaming lock (all but OnEndFlush on the upstream streaming thread);
// AbortReceive and OnBeginFlush (after the wake-up) on the application thread,
// under the filter lock only.
#pragma once

#include "platform/graph/Event.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/RenderedInputPin.h"

class CBaseSink;

class CSinkInputPin : public CRenderedInputPin {
public:
    CSinkInputPin(const char* objectName, CBaseSink* sink, HRESULT* phr, LPCWSTR pinName);

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    CBaseSink* const sink_;
};

class CBaseSink : public CBaseFilter {
public:
    CBaseSink(const char* name, IUnknown* outer, REFCLSID clsid);

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? SinkPin() : nullptr; }
    virtual CSinkInputPin* SinkPin() = 0;

protected:
    friend class CSinkInputPin;

    // Whether a sample may be taken now: the pin's CheckStreaming unless the sink
    // decides for itself.
    virtual HRESULT CheckReceive() { return SinkPin()->CheckStreaming(); }
    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    // Before the pin takes an end of stream: a sink that queues what it received
    // waits here until that has been presented; S_FALSE (Stop or flush) drops it.
    virtual HRESULT DrainForEndOfStream() { return S_OK; }
    // After the pin has taken the end of stream (EC_COMPLETE handling).
    virtual HRESULT OnEndOfStream() { return S_OK; }
    // Release a sample waiting inside OnReceive: Stop or BeginFlush is under way.
    virtual void AbortReceive() {}
    virtual void OnBeginFlush() {}
    virtual void OnEndFlush() {}

    // Stop has begun or a flush is on: a waiting sample must leave.
    bool Aborting() { return IsStopped() || SinkPin()->IsFlushing(); }
    quvo::Event& WakeUpEvent() { return wakeUp_; }

    void ReleaseStreaming() final;

private:
    HRESULT BeginFlush();
    HRESULT EndFlush();

    quvo::Event wakeUp_;
};
