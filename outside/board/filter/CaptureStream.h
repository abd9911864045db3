// The capture filter's output pin: one MPEG-2 program stream, made in real time on
// the pin's streaming thread by the board's encoder from the driver's settings
// (re-read each frame, so a change shows while streaming).
//
// Threads: everything below except the constructor and the counters' readers
// runs on the streaming thread; the counters are atomics.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "outside/board/core/BoardEncoder.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/base/Streams.h"

namespace quvo::board {

class CaptureStream : public CSourceStream, public IKsPropertySet {
public:
    // One frame's packs go out as one sample, so a stop between samples never
    // cuts a picture: room for an I picture at the highest bit rate and its audio.
    // A larger frame is split at pack boundaries.
    static constexpr long kSampleSize = 1024 * 1024;

    CaptureStream(HRESULT* phr, CSource* filter);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // The pin's category (AMPROPSETID_Pin): PIN_CATEGORY_CAPTURE; nothing to set.
    HRESULT Set(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength, LPVOID propertyData,
                DWORD dataLength) override;
    HRESULT Get(REFGUID set, DWORD id, LPVOID instanceData, DWORD instanceLength, LPVOID propertyData,
                DWORD dataLength, DWORD* bytesReturned) override;
    HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* typeSupport) override;

    HRESULT GetMediaType(CMediaType* mt) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

    std::atomic<ULONGLONG> bytesSent{0};
    std::atomic<ULONG> framesSent{0};

protected:
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadStartPlay() override;
    HRESULT DoBufferProcessingLoop() override;

private:
    // Stream time now: the graph clock's, or our own from the start of streaming.
    REFERENCE_TIME Now();
    // Encodes the next frame once its time has come; false while it has not.
    bool EncodeDueFrame();
    // Hands what is pending downstream in samples; a failure ends streaming.
    HRESULT DeliverPending();

    std::unique_ptr<BoardEncoder> encoder_;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingSent_ = 0;
    REFERENCE_TIME frameTime_ = 0;      // of the frame in pending_
    REFERENCE_TIME frameDuration_ = 0;
    // Frame schedule: frame k of the current anchor is due at anchorTime_ + k periods.
    REFERENCE_TIME anchorTime_ = 0;
    std::int64_t anchorFrames_ = 0;
    TvSystem anchorTv_ = TvSystem::Pal;
    bool anchored_ = false;
    bool discontinuity_ = true;  // the first sample of a streaming session
    std::int64_t ownClockStart_ = 0;  // steady clock, ns, when there is no graph clock
};

}  // namespace quvo::board
