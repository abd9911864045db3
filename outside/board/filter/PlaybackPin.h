// The capture filter's input pin for device playback: takes a program stream
// (the maker muxer's output) to the board's video output. It decodes the stream
// (PlaybackDecoder) and shows each picture when its time comes on the graph
// clock, as the board's output would play it: in a window titled with the device
// name and "output" when a display exists, else headless. Pictures, sound,
// bytes and decoding errors are counted; the stream received is written to the
// file that boardctl names, if any. End of stream becomes EC_COMPLETE once the
// last picture and sound have played out.
//
// Threads: Receive and EndOfStream on the upstream streaming thread; Active,
// Inactive, BeginFlush and EndFlush on the application thread.
//  - receiveLock guards the decoder, the time line, the window and the file.
//    The streaming thread holds it while it waits for a unit's time; Inactive and
//    BeginFlush first raise stopping/flushing (under waitLock, which the wait
//    sleeps on) so that the wait ends at once, then take receiveLock.
//  - The counters are atomics read by any thread.
// Inactive may run while a last Receive is still in flight (renderers stop first):
// `stopping` stays raised until the next Active, so such a Receive does nothing.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "outside/board/core/OutputTimeline.h"
#include "outside/board/core/PlaybackDecoder.h"
#include "outside/board/filter/OutputWindow.h"
#include "platform/graph/base/Streams.h"

namespace quvo::board {

class PlaybackPin : public CRenderedInputPin {
public:
    PlaybackPin(CBaseFilter* filter, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT Inactive() override;
    HRESULT Active() override;

    std::atomic<ULONGLONG> bytes{0};
    std::atomic<ULONG> samples{0};
    std::atomic<ULONG> packs{0};
    std::atomic<ULONG> pictures{0};
    std::atomic<ULONGLONG> audioFrames{0};
    std::atomic<ULONG> decodeErrors{0};

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    // Decoder output: waits for the unit's time, then shows or counts it.
    bool OnUnit(const OutputUnit& unit);
    void ShowPicture(const AVFrame* frame);
    // Waits until the output clock reaches `due` while running; false when a stop
    // or flush ends the wait.
    bool WaitUntil(std::int64_t due);
    bool Aborted() const { return stopping_.load() || IsFlushing(); }
    // The output clock: the graph's stream time, or time since Active without a clock.
    std::int64_t OutputNow();
    void WakeWaiters();
    // Forgets the stream in hand (receiveLock held).
    void ResetOutputLocked();
    void PublishCountsLocked();

    std::mutex receiveLock_;
    PlaybackDecoder decoder_;
    OutputTimeline timeline_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::unique_ptr<OutputWindow> window_;
    bool display_ = false;        // a window may open (decided at Active)
    std::string windowTitle_;
    std::vector<std::uint8_t> yuv_;  // pictures that are not 4:2:0, converted
    mpegdec::SwsPtr sws_;
    std::chrono::steady_clock::time_point activeAt_;

    std::mutex waitLock_;
    std::condition_variable wake_;
    std::atomic<bool> stopping_{true};
};

}  // namespace quvo::board
