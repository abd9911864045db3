// Small filters of the tests' own, built on the base classes:
//   PushSource    one output "Out" (MEDIATYPE_Stream); from Pause on, a streaming
//                 thread delivers `count` samples numbered 0, 1, 2... (the number in
//                 the first four bytes), `interval` apart, then end of stream.
//   CountingSink  one input "In"; records the numbers it receives and reports
//                 EC_COMPLETE at end of stream when running. It can be told to
//                 refuse every media type, or to fail every sample.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/graph/Guids.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseOutputPin.h"
#include "platform/graph/base/RenderedInputPin.h"

namespace quvo::test {

// An interface only the push source offers, for searches through a graph.
QUVO_IID(IID_ITestMarker, 0x5a1e0c20, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x20);
struct ITestMarker : IUnknown {
    QUVO_INTERFACE_ID(IID_ITestMarker);
    virtual int Count() = 0;
};

class PushSource;

class PushPin final : public CBaseOutputPin {
public:
    PushPin(PushSource* source, std::recursive_mutex* filterLock, HRESULT* phr);
    ~PushPin() override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    // Start and stop the streaming thread (application thread, filter lock held).
    HRESULT Active() override;
    HRESULT Inactive() override;

private:
    void Stream();

    PushSource* const source_;
    std::thread thread_;             // started in Active, joined in Inactive
    std::atomic<bool> stop_{false};  // read by the streaming thread
};

class PushSource final : public CBaseFilter, public ITestMarker {
public:
    static ComPtr<PushSource> Make(int count, std::chrono::microseconds interval);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    int Count() override { return count; }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &pin_ : nullptr; }
    IPin* Out() { return &pin_; }

    const int count;
    const std::chrono::microseconds interval;
    // Samples delivered and accepted downstream, all runs together.
    std::atomic<int> delivered{0};

private:
    PushSource(int count, std::chrono::microseconds interval);

    PushPin pin_;
};

class CountingSink;

class CountingPin final : public CRenderedInputPin {
public:
    CountingPin(CountingSink* sink, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;

private:
    CountingSink* const sink_;
};

class CountingSink final : public CBaseFilter {
public:
    static ComPtr<CountingSink> Make(bool acceptTypes = true, bool failSamples = false);
    // A new sink with no reference yet, for a class table.
    static CountingSink* New() { return new CountingSink(true, false); }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &pin_ : nullptr; }
    IPin* In() { return &pin_; }

    std::vector<std::uint32_t> Numbers();
    int EndsOfStream();
    void Clear();

    // While set, GetState reports a paused sink as still on its way (not yet cued).
    void ReportIntermediate(bool on) { intermediate_.store(on); }
    // Offers IReferenceClock (a system clock of its own), as an audio renderer
    // does; call before the sink joins a graph.
    HRESULT OfferClock();
    IReferenceClock* OwnClock() const { return ownClock_.Get(); }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    const bool acceptTypes;
    const bool failSamples;

private:
    friend class CountingPin;
    CountingSink(bool acceptTypes, bool failSamples);

    // receiveLock_ guards what the streaming thread records; the test thread reads
    // it through the accessors.
    std::mutex receiveLock_;
    std::vector<std::uint32_t> numbers_;
    int endsOfStream_ = 0;
    std::atomic<bool> intermediate_{false};
    ComPtr<IReferenceClock> ownClock_;  // set before use, then only read
    CountingPin pin_;
};

}  // namespace quvo::test
