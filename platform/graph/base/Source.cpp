#include "platform/graph/base/Source.h"

#include "platform/graph/base/SourceStream.h"

CSource::CSource(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT* phr)
    : CBaseFilter(name, outer, clsid)
{
    if (phr) *phr = S_OK;
}

CSource::CSource(const char* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, clsid)
{
}

CSource::~CSource()
{
    // A graph stops its filters before releasing them; this only saves a filter
    // released while active from leaving its threads running over freed pins.
    if (IsActive()) CBaseFilter::Stop();
    while (!streams_.empty()) streams_.pop_back();
}

int CSource::GetPinCount()
{
    std::lock_guard lock(*FilterLock());
    return static_cast<int>(streams_.size());
}

CBasePin* CSource::GetPin(int n)
{
    std::lock_guard lock(*FilterLock());
    if (n < 0 || n >= static_cast<int>(streams_.size())) return nullptr;
    return streams_[static_cast<std::size_t>(n)].get();
}

HRESULT CSource::AddPin(CSourceStream* stream)
{
    if (!stream) return E_POINTER;
    std::lock_guard lock(*FilterLock());
    streams_.emplace_back(stream);
    IncrementPinVersion();
    return S_OK;
}

HRESULT CSource::RemovePin(CSourceStream* stream)
{
    std::lock_guard lock(*FilterLock());
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    for (auto it = streams_.begin(); it != streams_.end(); ++it) {
        if (it->get() == stream) {
            streams_.erase(it);
            IncrementPinVersion();
            return S_OK;
        }
    }
    return S_FALSE;
}

int CSource::FindPinNumber(const IPin* pin)
{
    std::lock_guard lock(*FilterLock());
    for (std::size_t i = 0; i < streams_.size(); ++i)
        if (static_cast<const IPin*>(streams_[i].get()) == pin) return static_cast<int>(i);
    return -1;
}
