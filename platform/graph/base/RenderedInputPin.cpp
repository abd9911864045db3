#include "platform/graph/base/RenderedInputPin.h"

#include "platform/graph/base/BaseFilter.h"

CRenderedInputPin::CRenderedInputPin(const char* objectName, CBaseFilter* filter,
                                     std::recursive_mutex* filterLock, HRESULT* phr,
                                     LPCWSTR pinName)
    : CBaseInputPin(objectName, filter, filterLock, phr, pinName)
{
}

HRESULT CRenderedInputPin::EndOfStream()
{
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    {
        std::lock_guard lock(endOfStreamLock_);
        atEndOfStream_ = true;
    }
    // The filter publishes Running before calling Run on its pins: if this reads
    // "not running", Run has yet to look at the flag set above.
    if (filter_->State() == State_Running) DoCompleteHandling();
    return S_OK;
}

HRESULT CRenderedInputPin::EndFlush()
{
    {
        std::lock_guard lock(endOfStreamLock_);
        atEndOfStream_ = false;
        completeNotified_ = false;
    }
    return CBaseInputPin::EndFlush();
}

HRESULT CRenderedInputPin::Active()
{
    {
        std::lock_guard lock(endOfStreamLock_);
        atEndOfStream_ = false;
        completeNotified_ = false;
    }
    return CBaseInputPin::Active();
}

HRESULT CRenderedInputPin::Run(REFERENCE_TIME start)
{
    if (IsAtEndOfStream()) DoCompleteHandling();
    return CBaseInputPin::Run(start);
}

bool CRenderedInputPin::IsAtEndOfStream() const
{
    std::lock_guard lock(endOfStreamLock_);
    return atEndOfStream_;
}

void CRenderedInputPin::DoCompleteHandling()
{
    {
        std::lock_guard lock(endOfStreamLock_);
        if (!atEndOfStream_ || completeNotified_) return;
        completeNotified_ = true;
    }
    filter_->NotifyEvent(EC_COMPLETE, S_OK, 0);
}
