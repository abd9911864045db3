// CRenderedInputPin: the input pin of a filter that ends a stream (a renderer, a
// file writer). End of stream becomes EC_COMPLETE to the graph, once: at once when
// the filter is running, else at the next Run. A flush, or a Pause after Stop
// (Active), starts over.
//
// Threads: EndOfStream comes on the upstream streaming thread, Run/Active/EndFlush on
// the application thread. endOfStreamLock orders the two so that an end of stream
// arriving while the filter starts running is reported exactly once. The event is
// sent with no lock held.
#pragma once

#include <mutex>

#include "platform/graph/base/BaseInputPin.h"

class CRenderedInputPin : public CBaseInputPin {
public:
    CRenderedInputPin(const char* objectName, CBaseFilter* filter, std::recursive_mutex* filterLock,
                      HRESULT* phr, LPCWSTR pinName);

    // Takes no lock of the filter, so a derived pin may call it under its streaming lock.
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT Active() override;
    HRESULT Run(REFERENCE_TIME start) override;

    bool IsAtEndOfStream() const;

protected:
    // Sends EC_COMPLETE unless it was already sent for this end of stream.
    void DoCompleteHandling();

private:
    // endOfStreamLock guards the two flags below.
    mutable std::mutex endOfStreamLock_;
    bool atEndOfStream_ = false;
    bool completeNotified_ = false;
};
