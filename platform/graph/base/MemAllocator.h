// CMemAllocator: a fixed pool of CMediaSample buffers in one block of memory.
//
// GetBuffer blocks until a sample is free, or answers VFW_E_NOT_COMMITTED at once
// when the allocator is (or becomes, while waiting) decommitted: that is how an
// output pin's Inactive releases a streaming thread stuck waiting for a buffer.
// Every sample handed out holds a reference on the allocator, so the pool lives
// until the last sample is back; Decommit frees the memory then.
//
// Threads: any thread may call any method (the streaming thread gets and releases
// samples while the application thread commits and decommits).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

class CMediaSample;

// GetBuffer flags.
inline constexpr DWORD AM_GBF_PREVFRAMESKIPPED = 0x1;
inline constexpr DWORD AM_GBF_NOTASYNCPOINT = 0x2;
// Answer VFW_E_TIMEOUT at once instead of waiting for a free sample.
inline constexpr DWORD AM_GBF_NOWAIT = 0x4;

class CMemAllocator final : public CUnknown, public IMemAllocator {
public:
    CMemAllocator(const char* name, IUnknown* outer, HRESULT* phr);
    ~CMemAllocator() override;

    // Creates an allocator with one reference, or answers E_OUTOFMEMORY.
    static HRESULT Create(IMemAllocator** allocator);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // VFW_E_ALREADY_COMMITTED while committed, VFW_E_BUFFERS_OUTSTANDING while
    // samples are out, VFW_E_BADALIGN for an alignment that is not a power of two
    // (0 counts as 1).
    HRESULT SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* props) override;
    // VFW_E_SIZENOTSET before SetProperties gave a count and a size.
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                      DWORD flags) override;
    // Called by a sample on its last Release.
    HRESULT ReleaseBuffer(IMediaSample* sample) override;

private:
    HRESULT AllocateLocked();
    void FreeLocked();
    bool AllBackLocked() const { return free_.size() == samples_.size(); }

    // poolLock guards everything below; GetBuffer waits on sampleFree_ for a sample
    // to come back or for Decommit.
    std::mutex poolLock_;
    std::condition_variable sampleFree_;
    ALLOCATOR_PROPERTIES props_{};
    bool committed_ = false;
    std::unique_ptr<BYTE[]> memory_;
    std::vector<std::unique_ptr<CMediaSample>> samples_;
    std::vector<CMediaSample*> free_;
};
