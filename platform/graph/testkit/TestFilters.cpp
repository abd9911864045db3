#include "platform/graph/testkit/TestFilters.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/com/Runtime.h"

namespace quvo::test {

namespace {
constexpr GUID kSourceClsid = {0x5e1d0001, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 1}};
constexpr GUID kSinkClsid = {0x5e1d0002, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 2}};
constexpr auto kGuard = std::chrono::seconds(30);

std::uint32_t NumberOf(IMediaSample* sample)
{
    BYTE* data = nullptr;
    std::uint32_t n = 0xFFFFFFFFu;
    if (SUCCEEDED(sample->GetPointer(&data)) && sample->GetActualDataLength() >= 4)
        std::memcpy(&n, data, 4);
    return n;
}

HRESULT SetBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props, LONG count, LONG size)
{
    props->cBuffers = std::max(props->cBuffers, count);
    props->cbBuffer = std::max(props->cbBuffer, size);
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < size ? E_FAIL : S_OK;
}
}  // namespace

CMediaType StreamType()
{
    CMediaType mt(&MEDIATYPE_Stream);
    mt.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt.SetFormatType(&FORMAT_None);
    return mt;
}

CMediaType VideoType()
{
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_RGB32);
    mt.SetFormatType(&FORMAT_None);
    return mt;
}

// ---- CountingSource ----

CountingStream::CountingStream(HRESULT* phr, CountingSource* filter)
    : CSourceStream("Counting stream", phr, filter, u"Output")
{
}

HRESULT CountingStream::GetMediaType(CMediaType* mt)
{
    *mt = StreamType();
    return S_OK;
}

HRESULT CountingStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    if (FAILED(decideResult)) return decideResult;
    return SetBuffers(allocator, props, 4, bytes.empty() ? 188 : static_cast<LONG>(chunk));
}

HRESULT CountingStream::FillBuffer(IMediaSample* sample)
{
    return bytes.empty() ? FillNumber(sample) : FillBytes(sample);
}

HRESULT CountingStream::FillNumber(IMediaSample* sample)
{
    const int n = next.load();
    if (limit >= 0 && n >= limit) return endResult;
    if (interval.count() > 0) std::this_thread::sleep_for(interval);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const auto number = static_cast<std::uint32_t>(n);
    std::memcpy(data, &number, 4);
    sample->SetActualDataLength(4);
    REFERENCE_TIME start = n * (UNITS / 25), stop = start + UNITS / 25;
    sample->SetTime(&start, &stop);
    next.store(n + 1);
    return S_OK;
}

HRESULT CountingStream::FillBytes(IMediaSample* sample)
{
    if (sent_ >= bytes.size()) return S_FALSE;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const std::size_t n = std::min({chunk, bytes.size() - sent_, static_cast<std::size_t>(sample->GetSize())});
    std::memcpy(data, bytes.data() + sent_, n);
    sample->SetActualDataLength(static_cast<LONG>(n));
    sent_ += n;
    return S_OK;
}

HRESULT CountingStream::OnThreadCreate()
{
    ++threadsCreated;
    return S_OK;
}

HRESULT CountingStream::OnThreadDestroy()
{
    ++threadsDestroyed;
    return S_OK;
}

HRESULT CountingStream::OnThreadStartPlay()
{
    sent_ = 0;
    return S_OK;
}

CountingSource::CountingSource() : CSource("Counting source", nullptr, kSourceClsid)
{
    HRESULT hr = S_OK;
    stream_ = new CountingStream(&hr, this);  // owned by the filter from here on
}

ComPtr<CountingSource> CountingSource::Make(int limit, std::chrono::microseconds interval)
{
    ComPtr<CountingSource> source(new CountingSource);
    source->stream_->limit = limit;
    source->stream_->interval = interval;
    return source;
}

HRESULT CountingSource::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_ITestMarker) return GetInterface(static_cast<ITestMarker*>(this), ppv);
    return CSource::NonDelegatingQueryInterface(riid, ppv);
}

// ---- CountingSink ----

CountingSinkPin::CountingSinkPin(CountingSink* sink, HRESULT* phr) : CSinkInputPin("Sink pin", sink, phr, u"Input"), sink_(sink) {}

HRESULT CountingSinkPin::CheckMediaType(const CMediaType* mt)
{
    return mt->majortype == sink_->accepted ? S_OK : S_FALSE;
}

HRESULT CountingSinkPin::Active()
{
    ++sink_->actives;
    return CSinkInputPin::Active();
}

HRESULT CountingSinkPin::Inactive()
{
    ++sink_->inactives;
    return CSinkInputPin::Inactive();
}

CountingSink::CountingSink(const GUID& acceptedType)
    : CBaseSink("Counting sink", nullptr, kSinkClsid), accepted(acceptedType), pin_(this, nullptr)
{
}

ComPtr<CountingSink> CountingSink::Make(const GUID& acceptedType)
{
    return ComPtr<CountingSink>(new CountingSink(acceptedType));
}

// Streaming thread, under the streaming lock.
HRESULT CountingSink::OnReceive(IMediaSample* sample)
{
    if (failAfter >= 0 && numbers_.size() >= static_cast<std::size_t>(failAfter)) {
        ++refusals_;
        return E_FAIL;
    }
    BYTE* data = nullptr;
    const LONG size = sample->GetActualDataLength();
    if (FAILED(sample->GetPointer(&data)) || size < 0) return E_FAIL;
    numbers_.push_back(NumberOf(sample));
    bytes_.insert(bytes_.end(), data, data + size);
    sizes_.push_back(static_cast<std::size_t>(size));
    taken_.store(numbers_.size());
    return S_OK;
}

HRESULT CountingSink::OnEndOfStream()
{
    ++endOfStreams_;
    return S_OK;
}

template <class Ready>
bool CountingSink::PollFor(Ready ready)
{
    const auto end = std::chrono::steady_clock::now() + kGuard;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

bool CountingSink::WaitForSamples(std::size_t count)
{
    return PollFor([&] { return taken_.load() >= count || endOfStreams_.load() > 0; });
}

bool CountingSink::WaitForEndOfStream()
{
    return PollFor([&] { return endOfStreams_.load() > 0; });
}

bool CountingSink::WaitForRefusal()
{
    return PollFor([&] { return refusals_.load() > 0; });
}

std::vector<std::uint32_t> CountingSink::Received()
{
    std::lock_guard lock(StreamingLock());
    return numbers_;
}

std::vector<std::uint8_t> CountingSink::Bytes()
{
    std::lock_guard lock(StreamingLock());
    return bytes_;
}

std::vector<std::size_t> CountingSink::SampleSizes()
{
    std::lock_guard lock(StreamingLock());
    return sizes_;
}

int CountingSink::EndOfStreams() { return endOfStreams_.load(); }

void CountingSink::Clear()
{
    std::lock_guard lock(StreamingLock());
    numbers_.clear();
    bytes_.clear();
    sizes_.clear();
    taken_.store(0);
    endOfStreams_.store(0);
}

HRESULT CountingSink::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    HRESULT hr = CBaseSink::GetState(timeoutMs, state);
    if (hr == S_OK && intermediate_.load() && *state == State_Paused) return VFW_S_STATE_INTERMEDIATE;
    return hr;
}

HRESULT CountingSink::OfferClock()
{
    return CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER, IID_IReferenceClock,
                            ownClock_.ReleaseAndGetVoidAddressOf());
}

HRESULT CountingSink::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IReferenceClock && ownClock_) return ownClock_->QueryInterface(riid, ppv);
    return CBaseSink::NonDelegatingQueryInterface(riid, ppv);
}

// ---- HookFilter ----

HookInputPin::HookInputPin(HookFilter* filter, HRESULT* phr)
    : CBaseInputPin("Hook input", filter, filter->FilterLock(), phr, u"In")
{
}

HRESULT HookInputPin::Active()
{
    ++actives;
    return CBaseInputPin::Active();
}

HRESULT HookInputPin::Inactive()
{
    ++inactives;
    return CBaseInputPin::Inactive();
}

HRESULT HookInputPin::Run(REFERENCE_TIME start)
{
    ++runs;
    return CBaseInputPin::Run(start);
}

HookOutputPin::HookOutputPin(HookFilter* filter, HRESULT* phr)
    : CBaseOutputPin("Hook output", filter, filter->FilterLock(), phr, u"Out")
{
}

HRESULT HookOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *mt = StreamType();
    return S_OK;
}

HRESULT HookOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return SetBuffers(allocator, props, 2, 64);
}

HRESULT HookOutputPin::Active()
{
    ++actives;
    if (FAILED(failActive)) return failActive;
    return CBaseOutputPin::Active();
}

HRESULT HookOutputPin::Inactive()
{
    ++inactives;
    return CBaseOutputPin::Inactive();
}

HookFilter::HookFilter() : CBaseFilter("Hook filter", nullptr, kSinkClsid)
{
    HRESULT hr = S_OK;
    in_ = std::make_unique<HookInputPin>(this, &hr);
    out_ = std::make_unique<HookOutputPin>(this, &hr);
}

CBasePin* HookFilter::GetPin(int n)
{
    if (n == 0) return in_.get();
    if (n == 1) return out_.get();
    return nullptr;
}

// ---- ManualSource ----

ManualPin::ManualPin(ManualSource* filter, HRESULT* phr)
    : CBaseOutputPin("Manual output", filter, filter->FilterLock(), phr, u"Output")
{
}

HRESULT ManualPin::CheckMediaType(const CMediaType* mt)
{
    return *mt == StreamType() ? S_OK : S_FALSE;
}

HRESULT ManualPin::GetMediaType(int position, CMediaType* mt)
{
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *mt = StreamType();
    return S_OK;
}

HRESULT ManualPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return SetBuffers(allocator, props, 3, 16);
}

HRESULT ManualPin::Push(std::uint32_t number, REFERENCE_TIME start, REFERENCE_TIME stop)
{
    ComPtr<IMediaSample> sample;
    HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::memcpy(data, &number, 4);
    sample->SetActualDataLength(4);
    if (start >= 0) sample->SetTime(&start, &stop);
    return Deliver(sample.Get());
}

ManualSource::ManualSource() : CBaseFilter("Manual source", nullptr, kSourceClsid)
{
    HRESULT hr = S_OK;
    pin_ = std::make_unique<ManualPin>(this, &hr);
}

HRESULT ManualSource::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMediaSeeking && seeking.enabled) {
        *ppv = static_cast<IMediaSeeking*>(&seeking);
        return S_OK;
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT SeekingDouble::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IMediaSeeking) {
        *ppv = static_cast<IMediaSeeking*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT SeekingDouble::GetCapabilities(DWORD* caps)
{
    *caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanGetDuration;
    return S_OK;
}

HRESULT SeekingDouble::GetDuration(LONGLONG* d)
{
    *d = duration;
    return S_OK;
}

HRESULT SeekingDouble::GetCurrentPosition(LONGLONG* c)
{
    *c = current;
    return S_OK;
}

HRESULT SeekingDouble::SetPositions(LONGLONG* c, DWORD flags, LONGLONG*, DWORD)
{
    if ((flags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning) current = *c;
    return S_OK;
}

// ---- ManualClock ----

HRESULT ManualClock::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IReferenceClock) {
        *ppv = static_cast<IReferenceClock*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT ManualClock::GetTime(REFERENCE_TIME* time)
{
    std::lock_guard lock(lock_);
    *time = now_;
    return S_OK;
}

HRESULT ManualClock::AdviseTime(REFERENCE_TIME base, REFERENCE_TIME offset, HEVENT event,
                                DWORD_PTR* cookie)
{
    std::lock_guard lock(lock_);
    *cookie = nextCookie_++;
    advice_.push_back({*cookie, base + offset, event});
    FireLocked();
    changed_.notify_all();
    return S_OK;
}

HRESULT ManualClock::Unadvise(DWORD_PTR cookie)
{
    std::lock_guard lock(lock_);
    auto it = std::find_if(advice_.begin(), advice_.end(),
                           [&](const Advice& a) { return a.cookie == cookie; });
    if (it == advice_.end()) return S_FALSE;
    advice_.erase(it);
    changed_.notify_all();
    return S_OK;
}

void ManualClock::SetTime(REFERENCE_TIME time)
{
    std::lock_guard lock(lock_);
    now_ = time;
    FireLocked();
    changed_.notify_all();
}

void ManualClock::FireLocked()
{
    for (auto it = advice_.begin(); it != advice_.end();) {
        if (it->due <= now_) {
            it->event->Set();
            it = advice_.erase(it);
        } else {
            ++it;
        }
    }
}

bool ManualClock::WaitForPending(std::size_t count)
{
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, kGuard, [&] { return advice_.size() == count; });
}

std::size_t ManualClock::Pending()
{
    std::lock_guard lock(lock_);
    return advice_.size();
}

// ---- EventRecorder ----

HRESULT EventRecorder::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IFilterGraph) {
        *ppv = static_cast<IFilterGraph*>(this);
        return S_OK;
    }
    if (riid == IID_IMediaEventSink) {
        *ppv = static_cast<IMediaEventSink*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventRecorder::Notify(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    std::lock_guard lock(lock_);
    events_.push_back({code, param1, param2});
    return S_OK;
}

int EventRecorder::Count(LONG code)
{
    std::lock_guard lock(lock_);
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [&](const Entry& e) { return e.code == code; }));
}

LONG_PTR EventRecorder::LastParam2(LONG code)
{
    std::lock_guard lock(lock_);
    for (auto it = events_.rbegin(); it != events_.rend(); ++it)
        if (it->code == code) return it->param2;
    return 0;
}

}  // namespace quvo::test
