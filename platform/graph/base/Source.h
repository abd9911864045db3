// CSource: a filter whose output pins push data on their own threads
// (CSourceStream). The filter owns its pins: a CSourceStream adds itself in its
// constructor and is deleted with the filter.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/base/BaseFilter.h"

class CSourceStream;

class CSource : public CBaseFilter {
public:
    CSource(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT* phr);
    CSource(const char* name, IUnknown* outer, REFCLSID clsid);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // Takes ownership of `stream` (called by CSourceStream's constructor).
    HRESULT AddPin(CSourceStream* stream);
    // Deletes `stream`; only while stopped.
    HRESULT RemovePin(CSourceStream* stream);
    // The index of `stream`, or -1.
    int FindPinNumber(const IPin* pin);

protected:
    // Guarded by the filter lock, as the connections are.
    std::vector<std::unique_ptr<CSourceStream>> streams_;
};
