// CFanOutFilter: one input whose every sample, end of stream, flush and new
// segment goes to every connected output; one output's failure does not keep the
// sample from the others. The input takes any type while no output is connected,
// afterwards only one every connected output's peer accepts; an output offers
// exactly the input's type, and only while the input is connected. Samples pass
// through in upstream's buffers. A filter on it numbers its outputs and decides,
// in the connection hooks, when outputs come and go.
//
// Locks: the base's filter lock (state, connections, the pin set) and streaming
// lock (Receive, EndOfStream, NewSegment); outputsLock_ guards the pin set for the
// streaming thread, which takes its delivery list without the filter lock.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

class CFanOutFilter;

class CFanOutInputPin final : public CBaseInputPin {
public:
    CFanOutInputPin(CFanOutFilter* filter, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    CFanOutFilter* const filter_;
};

class CFanOutOutputPin final : public CBaseOutputPin {
public:
    CFanOutOutputPin(CFanOutFilter* filter, HRESULT* phr, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

private:
    CFanOutFilter* const filter_;
};

class CFanOutFilter : public CBaseFilter {
public:
    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

protected:
    CFanOutFilter(const char* name, IUnknown* outer, REFCLSID clsid, LPCWSTR inputName);
    ~CFanOutFilter() override;

    // The name of output number n (from 1); a new output takes the lowest free number.
    virtual std::u16string OutputName(int n) = 0;
    // Connection hooks, filter lock held: an output has just connected; an output
    // is leaving its connection (it still reads as connected).
    virtual void OutputConnected() {}
    virtual void OutputDisconnecting(CFanOutOutputPin* pin) {}

    // The pin set (filter lock held).
    HRESULT AddOutput();
    bool FreeOutputBesides(const CFanOutOutputPin* pin);
    void RemoveOutput(CFanOutOutputPin* pin);

private:
    friend class CFanOutInputPin;
    friend class CFanOutOutputPin;

    // Hands `call` to each connected output with no lock of this filter held, so a
    // blocked output never holds up another thread; the first success, else the
    // last failure.
    template <class Call>
    HRESULT ToEachOutput(Call call);

    std::mutex outputsLock_;
    CFanOutInputPin input_;
    // Guarded by outputsLock_ (changes also hold the filter lock).
    std::vector<std::unique_ptr<CFanOutOutputPin>> outputs_;
    // Outputs taken away stay allocated until the filter goes: a caller may still
    // hold a reference to one (a pin's references are the filter's).
    std::vector<std::unique_ptr<CFanOutOutputPin>> retired_;
};
