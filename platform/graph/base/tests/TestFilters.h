// Small filters and interface doubles for the base-class tests: a push source that
// numbers its samples, a sink that records them, a pass-through filter whose pins
// count their state hooks, a manual clock and a recorder of graph events.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/Guids.h"
#include "platform/graph/base/Streams.h"

namespace quvo::test {

// The one media type the test source offers.
CMediaType StreamType();
CMediaType VideoType();

// ---- push source: sample i carries the 32-bit number i and the time i/25 s ----

class CountingSource;

class CountingStream : public CSourceStream {
public:
    CountingStream(HRESULT* phr, CountingSource* filter);

    HRESULT GetMediaType(CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;

    // Samples to deliver before end of stream (-1: no end), set while stopped.
    int limit = -1;
    // A failure to answer from DecideBufferSize (connection tests).
    HRESULT decideResult = S_OK;
    // A failure FillBuffer answers once `limit` samples are out, instead of S_FALSE.
    HRESULT endResult = S_FALSE;
    // Touched only by the streaming thread while it runs, read after Stop.
    int next = 0;
    int threadsCreated = 0;
    int threadsDestroyed = 0;
};

class CountingSource : public CSource {
public:
    CountingSource();
    CountingStream* Stream() { return stream_; }

private:
    CountingStream* stream_;
};

// ---- sink: a rendered input pin that records sample numbers ----

class CountingSink;

class CountingSinkPin : public CSinkInputPin {
public:
    CountingSinkPin(CountingSink* sink, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

private:
    CountingSink* const sink_;
};

class CountingSink : public CBaseSink {
public:
    explicit CountingSink(const GUID& accepted = StreamType().majortype);

    CSinkInputPin* SinkPin() override { return &pin_; }
    CountingSinkPin* Pin() { return &pin_; }

    // Waits until `count` samples (or an end of stream) arrived; false after 30 s,
    // which only guards the test run against a hang.
    bool WaitForSamples(std::size_t count);
    bool WaitForEndOfStream();
    bool WaitForRefusal();
    std::vector<std::uint32_t> Received();
    int EndOfStreams();
    void Clear();

    GUID accepted;
    // Receive answers E_FAIL once this many samples were taken (-1: never).
    int failAfter = -1;
    int actives = 0;    // filter lock
    int inactives = 0;  // filter lock

private:
    friend class CountingSinkPin;
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;

    // Guarded by the streaming lock.
    std::condition_variable received_;
    std::vector<std::uint32_t> numbers_;
    int endOfStreams_ = 0;
    int refusals_ = 0;
    CountingSinkPin pin_;
};

// ---- pass-through filter whose pins count Active/Inactive ----

class HookFilter;

class HookInputPin : public CBaseInputPin {
public:
    HookInputPin(HookFilter* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT Active() override;
    HRESULT Inactive() override;
    int actives = 0, inactives = 0, runs = 0;
    HRESULT Run(REFERENCE_TIME) override;
};

class HookOutputPin : public CBaseOutputPin {
public:
    HookOutputPin(HookFilter* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    int actives = 0, inactives = 0;
    HRESULT failActive = S_OK;
};

class HookFilter : public CBaseFilter {
public:
    HookFilter();
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;
    HookInputPin* In() { return in_.get(); }
    HookOutputPin* Out() { return out_.get(); }

private:
    std::unique_ptr<HookInputPin> in_;
    std::unique_ptr<HookOutputPin> out_;
};

// ---- a filter with one output pin that the test thread drives by hand ----

class ManualSource;

class ManualPin : public CBaseOutputPin {
public:
    ManualPin(ManualSource* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    // Gets a buffer, numbers it, stamps it (when start >= 0) and delivers it.
    HRESULT Push(std::uint32_t number, REFERENCE_TIME start, REFERENCE_TIME stop);
};

// IMediaSeeking answered by ManualSource (at filter level) once enabled.
class SeekingDouble final : public IMediaSeeking {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetCapabilities(DWORD* caps) override;
    HRESULT CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
    HRESULT QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT GetTimeFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT GetDuration(LONGLONG* d) override;
    HRESULT GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT GetCurrentPosition(LONGLONG* c) override;
    HRESULT ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override { return E_NOTIMPL; }
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG*, DWORD) override;
    HRESULT GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetRate(double) override { return E_NOTIMPL; }
    HRESULT GetRate(double*) override { return E_NOTIMPL; }
    HRESULT GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

    bool enabled = false;
    LONGLONG duration = 0;
    LONGLONG current = 0;
};

class ManualSource : public CBaseFilter {
public:
    ManualSource();
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    SeekingDouble seeking;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? pin_.get() : nullptr; }
    ManualPin* Pin() { return pin_.get(); }

private:
    std::unique_ptr<ManualPin> pin_;
};

// ---- interface doubles ----

// A reference clock whose time the test sets; advice fires when the time is reached.
class ManualClock final : public IReferenceClock {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return 2; }   // lives on the test's stack
    ULONG Release() override { return 1; }
    HRESULT GetTime(REFERENCE_TIME* time) override;
    HRESULT AdviseTime(REFERENCE_TIME base, REFERENCE_TIME offset, HEVENT event,
                       DWORD_PTR* cookie) override;
    HRESULT AdvisePeriodic(REFERENCE_TIME, REFERENCE_TIME, HSEMAPHORE, DWORD_PTR*) override
    {
        return E_NOTIMPL;
    }
    HRESULT Unadvise(DWORD_PTR cookie) override;

    void SetTime(REFERENCE_TIME time);
    // Waits (30 s guard) until exactly `count` advices are pending.
    bool WaitForPending(std::size_t count);
    std::size_t Pending();

private:
    struct Advice {
        DWORD_PTR cookie;
        REFERENCE_TIME due;
        HEVENT event;
    };
    void FireLocked();
    std::mutex lock_;
    std::condition_variable changed_;
    REFERENCE_TIME now_ = 0;
    DWORD_PTR nextCookie_ = 1;
    std::vector<Advice> advice_;
};

// A filter graph that only records the events filters send it.
class EventRecorder final : public IFilterGraph, public IMediaEventSink {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    HRESULT EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    HRESULT FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
    HRESULT ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT SetDefaultSyncSource() override { return E_NOTIMPL; }
    HRESULT Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;

    int Count(LONG code);
    LONG_PTR LastParam2(LONG code);

private:
    struct Entry {
        LONG code;
        LONG_PTR param1, param2;
    };
    std::mutex lock_;
    std::vector<Entry> events_;
};

}  // namespace quvo::test
