#include "platform/graph/base/MemAllocator.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/MediaSample.h"

CMemAllocator::CMemAllocator(const char* name, IUnknown* outer, HRESULT* phr)
    : CUnknown(name, outer)
{
    if (phr) *phr = S_OK;
}

CMemAllocator::~CMemAllocator()
{
    // Samples hold a reference on us, so every one of them is back by now.
    std::lock_guard lock(poolLock_);
    FreeLocked();
}

HRESULT CMemAllocator::Create(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    HRESULT hr = S_OK;
    auto* a = new (std::nothrow) CMemAllocator("CMemAllocator", nullptr, &hr);
    if (!a) return E_OUTOFMEMORY;
    a->NonDelegatingAddRef();
    *allocator = a;
    return S_OK;
}

HRESULT CMemAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMemAllocator) return GetInterface(static_cast<IMemAllocator*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual)
{
    if (!request || !actual) return E_POINTER;
    LONG align = request->cbAlign == 0 ? 1 : request->cbAlign;
    if (align < 0 || (align & (align - 1)) != 0) return VFW_E_BADALIGN;
    if (request->cBuffers < 0 || request->cbBuffer < 0 || request->cbPrefix < 0) return E_INVALIDARG;

    std::lock_guard lock(poolLock_);
    if (committed_) return VFW_E_ALREADY_COMMITTED;
    if (!AllBackLocked()) return VFW_E_BUFFERS_OUTSTANDING;
    FreeLocked();  // a decommitted pool that is still allocated is rebuilt at Commit
    props_ = *request;
    props_.cbAlign = align;
    *actual = props_;
    return S_OK;
}

HRESULT CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* props)
{
    if (!props) return E_POINTER;
    std::lock_guard lock(poolLock_);
    *props = props_;
    return S_OK;
}

HRESULT CMemAllocator::Commit()
{
    std::lock_guard lock(poolLock_);
    if (props_.cBuffers <= 0 || props_.cbBuffer <= 0) return VFW_E_SIZENOTSET;
    if (committed_) return S_OK;
    // After a Decommit with samples still out the old pool is reused as it is.
    if (samples_.empty()) {
        HRESULT hr = AllocateLocked();
        if (FAILED(hr)) return hr;
    }
    committed_ = true;
    return S_OK;
}

HRESULT CMemAllocator::Decommit()
{
    {
        std::lock_guard lock(poolLock_);
        if (!committed_) return S_OK;
        committed_ = false;
        if (AllBackLocked()) FreeLocked();
    }
    sampleFree_.notify_all();
    return S_OK;
}

HRESULT CMemAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                 REFERENCE_TIME* end, DWORD flags)
{
    if (!sample) return E_POINTER;
    *sample = nullptr;
    CMediaSample* s = nullptr;
    {
        std::unique_lock lock(poolLock_);
        if (!committed_) return VFW_E_NOT_COMMITTED;
        if (free_.empty() && (flags & AM_GBF_NOWAIT)) return VFW_E_TIMEOUT;
        sampleFree_.wait(lock, [this] { return !committed_ || !free_.empty(); });
        if (!committed_) return VFW_E_NOT_COMMITTED;
        s = free_.back();
        free_.pop_back();
        s->PrepareForUse();
    }
    AddRef();  // given back by ReleaseBuffer
    if (start) s->SetTime(start, end);
    *sample = s;
    return S_OK;
}

HRESULT CMemAllocator::ReleaseBuffer(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    {
        std::lock_guard lock(poolLock_);
        free_.push_back(static_cast<CMediaSample*>(sample));
        if (!committed_ && AllBackLocked()) FreeLocked();
    }
    sampleFree_.notify_one();
    Release();  // may destroy this allocator: nothing of it is touched afterwards
    return S_OK;
}

HRESULT CMemAllocator::AllocateLocked()
{
    const std::size_t align = static_cast<std::size_t>(props_.cbAlign);
    std::size_t stride = static_cast<std::size_t>(props_.cbPrefix) + props_.cbBuffer;
    stride = (stride + align - 1) / align * align;
    const std::size_t count = static_cast<std::size_t>(props_.cBuffers);

    std::unique_ptr<BYTE[]> memory(new (std::nothrow) BYTE[stride * count + align]);
    if (!memory) return E_OUTOFMEMORY;
    auto base = reinterpret_cast<std::uintptr_t>(memory.get());
    // Each buffer (after its prefix) starts on the requested alignment.
    std::uintptr_t first = (base + props_.cbPrefix + align - 1) / align * align;

    std::vector<std::unique_ptr<CMediaSample>> samples;
    std::vector<CMediaSample*> free;
    // ReleaseBuffer never grows the free list past this capacity, so it cannot fail.
    const HRESULT hr = quvo::NoThrow([&] {
        samples.reserve(count);
        free.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            auto* buffer = reinterpret_cast<BYTE*>(first + i * stride);
            samples.push_back(std::make_unique<CMediaSample>(this, buffer, props_.cbBuffer));
            free.push_back(samples.back().get());
        }
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    memory_ = std::move(memory);
    samples_ = std::move(samples);
    free_ = std::move(free);
    return S_OK;
}

void CMemAllocator::FreeLocked()
{
    free_.clear();
    samples_.clear();
    memory_.reset();
}
