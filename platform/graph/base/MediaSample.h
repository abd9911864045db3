// CMediaSample: one buffer of a CMemAllocator's pool. Its reference count is its
// own; when the last reference goes the sample hands itself back to the allocator,
// which keeps the object (and its buffer) for the next GetBuffer.
//
// Threads: a sample belongs to whoever holds a reference; the properties are not
// locked because only the holder (the streaming thread that got it from GetBuffer,
// then the pin that receives it) touches them.
#pragma once

#include <atomic>

#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/base/MediaType.h"

class CMemAllocator;

class CMediaSample final : public IMediaSample {
public:
    CMediaSample(CMemAllocator* allocator, BYTE* buffer, LONG length);
    ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    // The last Release returns the sample to its allocator's pool.
    ULONG Release() override;

    HRESULT GetPointer(BYTE** buffer) override;
    LONG GetSize() override;
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT IsSyncPoint() override;
    HRESULT SetSyncPoint(BOOL sync) override;
    HRESULT IsPreroll() override;
    HRESULT SetPreroll(BOOL preroll) override;
    LONG GetActualDataLength() override;
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** mt) override;
    HRESULT SetMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT IsDiscontinuity() override;
    HRESULT SetDiscontinuity(BOOL discontinuity) override;
    HRESULT GetMediaTime(LONGLONG* start, LONGLONG* end) override;
    HRESULT SetMediaTime(LONGLONG* start, LONGLONG* end) override;

    // Called by the allocator when it hands the sample out: one reference, no
    // times, flags or type left from the previous use.
    void PrepareForUse();

private:
    CMemAllocator* const allocator_;
    BYTE* const buffer_;
    const LONG size_;
    std::atomic<long> refCount_{0};

    LONG actual_;
    bool hasStart_ = false;
    bool hasStop_ = false;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME stop_ = 0;
    bool hasMediaTime_ = false;
    LONGLONG mediaStart_ = 0;
    LONGLONG mediaStop_ = 0;
    bool syncPoint_ = false;
    bool preroll_ = false;
    bool discontinuity_ = false;
    bool typeChanged_ = false;
    CMediaType type_;
};
