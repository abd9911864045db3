// The capture filter's input pin for device playback: takes a program stream
// (the maker muxer's output) to the board's video output, here by counting what
// arrives. Ends the stream like a renderer (EC_COMPLETE at end of stream).
//
// Threads: Receive on the upstream streaming thread (packScan_ is its own, reset
// by Active before upstream streams); the counters are atomics read by any thread.
// Inactive may run while a last Receive is still in flight (renderers stop first).
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/graph/base/Streams.h"

namespace quvo::board {

class PlaybackPin : public CRenderedInputPin {
public:
    PlaybackPin(CBaseFilter* filter, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT Inactive() override;
    HRESULT Active() override;

    std::atomic<ULONGLONG> bytes{0};
    std::atomic<ULONG> samples{0};
    std::atomic<ULONG> packs{0};

private:
    std::uint32_t packScan_ = 0xFFFFFFFF;  // last four bytes seen, across samples
};

}  // namespace quvo::board
