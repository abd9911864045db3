// The Audio Renderer (CLSID_DSoundRender): plays 16-bit PCM through SDL2 audio, or
// through a null sink paced by the system clock when there is no audio device, and
// offers the graph a reference clock that follows what has been played. End of
// stream becomes EC_COMPLETE once the queued sound has played out.
//
// Each sample is placed in the play-out queue where its time stamp says it should
// sound: silence fills a gap, the part of a sample that is already too late is
// dropped. While paused the queue fills but does not play.
//
// Locks (CBaseSink's): the filter lock guards state changes, connections and the
// play-out; the streaming lock Receive and EndOfStream. Stop and flushes abort the
// play-out queue (AbortReceive) so a Receive waiting for room leaves.
#pragma once

#include <memory>

#include "platform/filters/renderers/AudioPlayout.h"
#include "platform/filters/renderers/AudioRendererClock.h"
#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/graph/base/BaseSink.h"

namespace quvo::filters {

class AudioRenderer;

class AudioInputPin final : public CSinkInputPin {
public:
    AudioInputPin(AudioRenderer* renderer, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;

private:
    AudioRenderer* const renderer_;
};

class AudioRenderer final : public CBaseSink, public IAudioPlayStatistics {
public:
    // The class table creates it (CreateComObject).
    AudioRenderer(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    CSinkInputPin* SinkPin() override { return &input_; }

    // IAudioPlayStatistics
    HRESULT GetSoundPlayed(LONGLONG* frames, LONG* rate, LONGLONG* firstNs, LONGLONG* endNs) override;

    // From the input pin.
    void SetFormat(int rate, int channels);

    // Whether the play-out goes to a real device (false: the null sink).
    bool UsesDevice() const { return playout_.UsesDevice(); }

private:
    ~AudioRenderer() override;

    HRESULT InitStream() override;
    HRESULT StartStream(REFERENCE_TIME start) override;
    HRESULT StopStream() override;
    HRESULT CleanupStream() override;
    HRESULT OnReceive(IMediaSample* sample) override;
    // Up to a second is queued: the stream has ended when it has been heard.
    HRESULT DrainForEndOfStream() override;
    void AbortReceive() override;
    void OnBeginFlush() override;
    void OnEndFlush() override;
    AudioInputPin input_;
    AudioPlayout playout_;                       // opened Stop->Pause, closed at Stop
    std::unique_ptr<AudioRendererClock> clock_;  // aggregated IReferenceClock
    int rate_ = 48000;                           // from the connection type
    int channels_ = 2;
};

}  // namespace quvo::filters
