// The audio renderer's reference clock: while the renderer plays, the time of what
// its device (or null sink) has played; otherwise the monotonic system time. The
// switch keeps the time continuous. Aggregated by the renderer: its IUnknown is the
// renderer's.
//
// Threads: any. timeLock guards the offsets; it is never held while calling out.
#pragma once

#include <mutex>

#include "platform/filters/renderers/AudioPlayout.h"
#include "platform/graph/base/BaseReferenceClock.h"

namespace quvo::filters {

class AudioRendererClock final : public CBaseReferenceClock {
public:
    AudioRendererClock(IUnknown* owner, HRESULT* phr);
    ~AudioRendererClock() override;

    REFERENCE_TIME GetPrivateTime() override;

    // The playout starts (Open done) or is about to stop (before Close).
    void Attach(AudioPlayout* playout);
    void Detach();
    // Clock time at which the playout's frame 0 was (or will be) played.
    REFERENCE_TIME PlayoutOrigin();

private:
    REFERENCE_TIME TimeLocked() const;

    mutable std::mutex timeLock_;
    AudioPlayout* playout_ = nullptr;
    REFERENCE_TIME playoutOrigin_ = 0;  // clock time of the playout's time 0
    REFERENCE_TIME systemOffset_ = 0;   // clock time minus monotonic time, while detached
};

}  // namespace quvo::filters
