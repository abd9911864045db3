#include "platform/graph/base/MediaSample.h"

#include "platform/graph/base/MemAllocator.h"

CMediaSample::CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG length)
    : allocator_(allocator), buffer_(buffer), size_(length), actual_(length)
{
}

CMediaSample::~CMediaSample() = default;

HRESULT CMediaSample::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMediaSample) {
        *ppv = static_cast<IMediaSample*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef() { return static_cast<ULONG>(refCount_.fetch_add(1) + 1); }

ULONG CMediaSample::Release()
{
    long left = refCount_.fetch_sub(1) - 1;
    if (left == 0) {
        // Nothing of this object may be touched after ReleaseBuffer: a decommitted
        // allocator frees its samples once the last one is back.
        allocator_->ReleaseBuffer(this);
        return 0;
    }
    return static_cast<ULONG>(left);
}

void CMediaSample::PrepareForUse()
{
    refCount_.store(1);
    hasStart_ = hasStop_ = hasMediaTime_ = false;
    syncPoint_ = preroll_ = discontinuity_ = typeChanged_ = false;
    type_.InitMediaType();
}

HRESULT CMediaSample::GetPointer(BYTE** buffer)
{
    if (!buffer) return E_POINTER;
    *buffer = buffer_;
    return S_OK;
}

LONG CMediaSample::GetSize() { return size_; }

HRESULT CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end)
{
    if (!start || !end) return E_POINTER;
    if (!hasStart_) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    if (!hasStop_) {
        *end = start_ + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *end = stop_;
    return S_OK;
}

HRESULT CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end)
{
    // A null start clears both times; a null end leaves the sample without a stop time.
    if (!start) {
        hasStart_ = hasStop_ = false;
        return S_OK;
    }
    hasStart_ = true;
    start_ = *start;
    hasStop_ = end != nullptr;
    if (end) stop_ = *end;
    return S_OK;
}

HRESULT CMediaSample::IsSyncPoint() { return syncPoint_ ? S_OK : S_FALSE; }
HRESULT CMediaSample::SetSyncPoint(BOOL sync)
{
    syncPoint_ = sync != FALSE;
    return S_OK;
}

HRESULT CMediaSample::IsPreroll() { return preroll_ ? S_OK : S_FALSE; }
HRESULT CMediaSample::SetPreroll(BOOL preroll)
{
    preroll_ = preroll != FALSE;
    return S_OK;
}

HRESULT CMediaSample::IsDiscontinuity() { return discontinuity_ ? S_OK : S_FALSE; }
HRESULT CMediaSample::SetDiscontinuity(BOOL discontinuity)
{
    discontinuity_ = discontinuity != FALSE;
    return S_OK;
}

LONG CMediaSample::GetActualDataLength() { return actual_; }

HRESULT CMediaSample::SetActualDataLength(LONG length)
{
    if (length < 0 || length > size_) return VFW_E_BUFFER_OVERFLOW;
    actual_ = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** mt)
{
    if (!mt) return E_POINTER;
    if (!typeChanged_) {
        *mt = nullptr;
        return S_FALSE;
    }
    *mt = CreateMediaType(&type_);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaType(AM_MEDIA_TYPE* mt)
{
    if (!mt) {
        type_.InitMediaType();
        typeChanged_ = false;
        return S_OK;
    }
    HRESULT hr = type_.Set(*mt);
    typeChanged_ = SUCCEEDED(hr);
    return hr;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* end)
{
    if (!start || !end) return E_POINTER;
    if (!hasMediaTime_) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = mediaStart_;
    *end = mediaStop_;
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(LONGLONG* start, LONGLONG* end)
{
    if (!start) {
        hasMediaTime_ = false;
        return S_OK;
    }
    if (!end) return E_POINTER;
    hasMediaTime_ = true;
    mediaStart_ = *start;
    mediaStop_ = *end;
    return S_OK;
}
