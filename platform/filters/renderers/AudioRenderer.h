// The Audio Renderer (CLSID_DSoundRender): plays 16-bit PCM through SDL2 audio, or
// through a null sink paced by the system clock when there is no audio device, and
// offers the graph a reference clock that follows what has been played. End of
// stream becomes EC_COMPLETE once the queued sound has played out.
//
// Each sample is placed in the play-out queue where its time stamp says it should
// sound: silence fills a gap, the part of a sample that is already too late is
// dropped. While paused the queue fills but does not play.
//
// Locks:
//   filterLock_   the base filter's lock: state changes, connections, the playout.
//   receiveLock_  the streaming lock: Receive and EndOfStream. Stop and flushes
//                 abort the play-out queue first so a Receive waiting for room
//                 leaves, then take it.
#pragma once

#include <memory>
#include <mutex>

#include "platform/filters/renderers/AudioPlayout.h"
#include "platform/filters/renderers/AudioRendererClock.h"
#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/RenderedInputPin.h"

namespace quvo::filters {

class AudioRenderer;

class AudioInputPin final : public CRenderedInputPin {
public:
    AudioInputPin(AudioRenderer* renderer, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    AudioRenderer* const renderer_;
};

class AudioRenderer final : public CBaseFilter, public IAudioPlayStatistics {
public:
    static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &input_ : nullptr; }

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;

    // IAudioPlayStatistics
    HRESULT GetSoundPlayed(LONGLONG* frames, LONG* rate, LONGLONG* firstNs, LONGLONG* endNs) override;

    // From the input pin.
    void SetFormat(int rate, int channels);
    HRESULT Render(IMediaSample* sample);
    // Waits until what is queued has played (streaming thread, receiveLock_ held);
    // false when a stop or flush aborted the queue.
    bool WaitUntilPlayedOut();
    std::mutex& ReceiveLock() { return receiveLock_; }
    void AbortQueue();
    void ResumeQueue();

    // Whether the play-out goes to a real device (false: the null sink).
    bool UsesDevice() const { return playout_.UsesDevice(); }

private:
    AudioRenderer(IUnknown* outer, HRESULT* phr);
    ~AudioRenderer() override;

    std::recursive_mutex filterLock_;
    std::mutex receiveLock_;
    AudioInputPin input_;
    AudioPlayout playout_;                       // opened Stop->Pause, closed at Stop
    std::unique_ptr<AudioRendererClock> clock_;  // aggregated IReferenceClock
    int rate_ = 48000;                           // from the connection type
    int channels_ = 2;
};

}  // namespace quvo::filters
