#include "platform/graph/tests/TestFilters.h"

#include <cstring>

#include "platform/com/Runtime.h"

namespace quvo::test {

namespace {
// Class identifiers of the test filters (their own, not registered anywhere).
QUVO_GUID(CLSID_TestPushSource, 0x5a1e0c01, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x01);
QUVO_GUID(CLSID_TestCountingSink, 0x5a1e0c02, 0x7d2b, 0x4c6e, 0x9a, 0x10, 0x3f, 0x44, 0x81, 0x20, 0x6b, 0x02);
}  // namespace

PushPin::PushPin(PushSource* source, std::recursive_mutex* filterLock, HRESULT* phr)
    : CBaseOutputPin("Test push pin", source, filterLock, phr, u"Out"), source_(source)
{
}

PushPin::~PushPin()
{
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
}

HRESULT PushPin::CheckMediaType(const CMediaType* mt)
{
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PushPin::GetMediaType(int position, CMediaType* mt)
{
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt->SetFormatType(&FORMAT_None);
    return S_OK;
}

HRESULT PushPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*)
{
    ALLOCATOR_PROPERTIES request{4, 64, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&request, &actual);
}

HRESULT PushPin::Active()
{
    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    stop_.store(false);
    thread_ = std::thread([this] { Stream(); });
    return S_OK;
}

HRESULT PushPin::Inactive()
{
    stop_.store(true);
    // Decommitting wakes a thread waiting for a buffer.
    HRESULT hr = CBaseOutputPin::Inactive();
    if (thread_.joinable()) thread_.join();
    return hr;
}

void PushPin::Stream()
{
    for (int n = 0; n < source_->count && !stop_.load(); ++n) {
        ComPtr<IMediaSample> sample;
        if (GetDeliveryBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0) != S_OK) return;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::uint32_t number = static_cast<std::uint32_t>(n);
        std::memcpy(data, &number, sizeof number);
        sample->SetActualDataLength(sizeof number);
        REFERENCE_TIME start = n * source_->interval.count() * 10;
        REFERENCE_TIME end = start + source_->interval.count() * 10;
        sample->SetTime(&start, &end);
        if (Deliver(sample.Get()) != S_OK) return;
        source_->delivered.fetch_add(1);
        if (source_->interval.count() > 0) std::this_thread::sleep_for(source_->interval);
    }
    if (!stop_.load()) DeliverEndOfStream();
}

PushSource::PushSource(int count, std::chrono::microseconds interval)
    : CBaseFilter("Test push source", nullptr, CLSID_TestPushSource),
      count(count),
      interval(interval),
      pin_(this, FilterLock(), nullptr)
{
}

HRESULT PushSource::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_ITestMarker) return GetInterface(static_cast<ITestMarker*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

ComPtr<PushSource> PushSource::Make(int count, std::chrono::microseconds interval)
{
    return ComPtr<PushSource>(new PushSource(count, interval));
}

CountingPin::CountingPin(CountingSink* sink, std::recursive_mutex* filterLock, HRESULT* phr)
    : CRenderedInputPin("Test counting pin", sink, filterLock, phr, u"In"), sink_(sink)
{
}

HRESULT CountingPin::CheckMediaType(const CMediaType* mt)
{
    if (!sink_->acceptTypes) return VFW_E_TYPE_NOT_ACCEPTED;
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CountingPin::Receive(IMediaSample* sample)
{
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (sink_->failSamples) return E_FAIL;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || sample->GetActualDataLength() < 4) return E_FAIL;
    std::uint32_t number;
    std::memcpy(&number, data, sizeof number);
    std::lock_guard lock(sink_->receiveLock_);
    sink_->numbers_.push_back(number);
    return S_OK;
}

HRESULT CountingPin::EndOfStream()
{
    {
        std::lock_guard lock(sink_->receiveLock_);
        ++sink_->endsOfStream_;
    }
    return CRenderedInputPin::EndOfStream();
}

CountingSink::CountingSink(bool acceptTypes, bool failSamples)
    : CBaseFilter("Test counting sink", nullptr, CLSID_TestCountingSink),
      acceptTypes(acceptTypes),
      failSamples(failSamples),
      pin_(this, FilterLock(), nullptr)
{
}

ComPtr<CountingSink> CountingSink::Make(bool acceptTypes, bool failSamples)
{
    return ComPtr<CountingSink>(new CountingSink(acceptTypes, failSamples));
}

HRESULT CountingSink::OfferClock()
{
    return CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER, IID_IReferenceClock,
                            ownClock_.ReleaseAndGetVoidAddressOf());
}

HRESULT CountingSink::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IReferenceClock && ownClock_) return ownClock_->QueryInterface(riid, ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CountingSink::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    HRESULT hr = CBaseFilter::GetState(timeoutMs, state);
    if (hr == S_OK && intermediate_.load() && *state == State_Paused) return VFW_S_STATE_INTERMEDIATE;
    return hr;
}

std::vector<std::uint32_t> CountingSink::Numbers()
{
    std::lock_guard lock(receiveLock_);
    return numbers_;
}

int CountingSink::EndsOfStream()
{
    std::lock_guard lock(receiveLock_);
    return endsOfStream_;
}

void CountingSink::Clear()
{
    std::lock_guard lock(receiveLock_);
    numbers_.clear();
    endsOfStream_ = 0;
}

}  // namespace quvo::test
