// The tests' own filters, built on the base classes, for every test that needs a
// source, a sink or a graph double:
//   CountingSource  one output "Output" (a program stream); from Pause on its
//                   streaming thread sends numbered samples (the number in the
//                   first four bytes, time number/25 s), or the bytes it was given
//                   in chunks, then end of stream.
//   CountingSink    one input "Input" (a CBaseSink); records the numbers and bytes
//                   it receives, reports EC_COMPLETE at end of stream.
//   HookFilter      a pass-through whose pins count their state hooks.
//   ManualSource    one output the test thread drives by hand.
//   ManualClock, EventRecorder: a clock the test sets, a graph that records events.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/Guids.h"
#include "platform/graph/base/Streams.h"

namespace quvo::test {

// The type the test source offers, and one it does not.
CMediaType StreamType();
CMediaType VideoType();

// An interface only the counting source offers, for searches through a graph.
QUVO_IID(IID_ITestMarker, 0x5a1e0c20, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x20);
struct ITestMarker : IUnknown {
    QUVO_INTERFACE_ID(IID_ITestMarker);
    virtual int Count() = 0;
};

// ---- push source ----

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

    // Set while stopped:
    // numbered samples to deliver before end of stream (-1: no end);
    int limit = -1;
    // the pause after each numbered sample;
    std::chrono::microseconds interval{0};
    // a failure to answer from DecideBufferSize (connection tests);
    HRESULT decideResult = S_OK;
    // a failure FillBuffer answers once `limit` samples are out, instead of S_FALSE;
    HRESULT endResult = S_FALSE;
    // when not empty, what the stream sends instead of numbers: `chunk` bytes a
    // sample, from the first byte again at each start, then end of stream.
    std::vector<std::uint8_t> bytes;
    std::size_t chunk = 8192;

    // The next number: written by the streaming thread, read by the test at any time.
    std::atomic<int> next{0};
    // Touched only by the streaming thread while it runs, read after Stop.
    int threadsCreated = 0;
    int threadsDestroyed = 0;

private:
    HRESULT FillNumber(IMediaSample* sample);
    HRESULT FillBytes(IMediaSample* sample);
    std::size_t sent_ = 0;  // streaming thread
};

class CountingSource : public CSource, public ITestMarker {
public:
    CountingSource();
    static ComPtr<CountingSource> Make(int limit = -1, std::chrono::microseconds interval = {});

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    int Count() override { return stream_->limit; }

    CountingStream* Stream() { return stream_; }
    IPin* Out() { return stream_; }

private:
    CountingStream* stream_;  // owned by CSource
};

// ---- sink ----

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
    // Takes any type of the `accepted` major type (GUID_NULL: refuses every type).
    explicit CountingSink(const GUID& accepted = StreamType().majortype);
    static ComPtr<CountingSink> Make(const GUID& accepted = StreamType().majortype);

    CSinkInputPin* SinkPin() override { return &pin_; }
    CountingSinkPin* Pin() { return &pin_; }
    IPin* In() { return &pin_; }

    // Waits until `count` samples (or an end of stream) arrived; false after 30 s,
    // which only guards the test run against a hang.
    bool WaitForSamples(std::size_t count);
    bool WaitForEndOfStream();
    bool WaitForRefusal();
    // What arrived: each sample's number, all bytes joined, each sample's size.
    std::vector<std::uint32_t> Received();
    std::vector<std::uint8_t> Bytes();
    std::vector<std::size_t> SampleSizes();
    int EndOfStreams();
    void Clear();

    // While set, GetState reports a paused sink as still on its way (not yet cued).
    void ReportIntermediate(bool on) { intermediate_.store(on); }
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    // Offers IReferenceClock (a system clock of its own), as an audio renderer
    // does; call before the sink joins a graph.
    HRESULT OfferClock();
    IReferenceClock* OwnClock() const { return ownClock_.Get(); }
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    GUID accepted;
    // OnReceive answers E_FAIL once this many samples were taken (-1: never).
    int failAfter = -1;
    int actives = 0;    // filter lock
    int inactives = 0;  // filter lock

private:
    friend class CountingSinkPin;
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;

    // Polls `ready` until it holds; false after the guard time. The waits poll
    // counters rather than sleep on the streaming lock: a source that never blocks
    // takes that lock again between samples, and a waiter woken on it would lose
    // it for a time slice at a time.
    template <class Ready>
    static bool PollFor(Ready ready);

    // Guarded by the streaming lock.
    std::vector<std::uint32_t> numbers_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> sizes_;
    // Written by the streaming thread (under the streaming lock, after the data
    // above), read by the waits at any time.
    std::atomic<std::size_t> taken_{0};
    std::atomic<int> endOfStreams_{0};
    std::atomic<int> refusals_{0};
    std::atomic<bool> intermediate_{false};
    ComPtr<IReferenceClock> ownClock_;  // set before use, then only read
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
