// What the audio renderer has played, for hosts, tests and benchmarks that measure
// sound playback: a platform interface beside the framework's own.
#pragma once

#include "platform/graph/Interfaces.h"

// {8D9C81DF-C315-46F3-B9B8-AFB02F5CD148}
QUVO_IID(IID_IAudioPlayStatistics, 0x8D9C81DF, 0xC315, 0x46F3, 0xB9, 0xB8, 0xAF, 0xB0, 0x2F, 0x5C, 0xD1, 0x48);

struct IAudioPlayStatistics : IUnknown {
    QUVO_INTERFACE_ID(IID_IAudioPlayStatistics);
    // Since the renderer last left Stopped (kept after it stops): the sample frames
    // it queued for play-out (silence it filled in is not counted), its rate, and
    // the CLOCK_MONOTONIC times (ns) at which the first of them and the end of the
    // last one played (0 until then).
    virtual HRESULT GetSoundPlayed(LONGLONG* frames, LONG* rate, LONGLONG* firstNs, LONGLONG* endNs) = 0;
};
