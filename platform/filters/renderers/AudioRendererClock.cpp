#include "platform/filters/renderers/AudioRendererClock.h"

namespace quvo::filters {

AudioRendererClock::AudioRendererClock(IUnknown* owner, HRESULT* phr)
    : CBaseReferenceClock("Audio renderer clock", owner, phr)
{
}

AudioRendererClock::~AudioRendererClock() { StopAdviseThread(); }

REFERENCE_TIME AudioRendererClock::TimeLocked() const
{
    if (playout_) return playoutOrigin_ + playout_->PlayedTime();
    return systemOffset_ + MonotonicNs() / 100;
}

REFERENCE_TIME AudioRendererClock::GetPrivateTime()
{
    std::lock_guard lock(timeLock_);
    return TimeLocked();
}

void AudioRendererClock::Attach(AudioPlayout* playout)
{
    {
        std::lock_guard lock(timeLock_);
        const REFERENCE_TIME now = TimeLocked();
        playout_ = playout;
        playoutOrigin_ = now - playout->PlayedTime();
    }
    TriggerThread();
}

void AudioRendererClock::Detach()
{
    {
        std::lock_guard lock(timeLock_);
        const REFERENCE_TIME now = TimeLocked();
        playout_ = nullptr;
        systemOffset_ = now - MonotonicNs() / 100;
    }
    TriggerThread();
}

REFERENCE_TIME AudioRendererClock::PlayoutOrigin()
{
    std::lock_guard lock(timeLock_);
    return playoutOrigin_;
}

}  // namespace quvo::filters
