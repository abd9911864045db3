// The Infinite Pin Tee (CLSID_InfTee): one input "Input", outputs "Output1",
// "Output2"... Connecting the last free output adds a new free one (the lowest
// free number); disconnecting an output removes it while another free one
// remains. The input takes any type while no output is connected, afterwards only
// one every connected output's peer accepts; an output offers exactly the input's
// type, and only while the input is connected. Every sample, end of stream,
// flush and new segment goes to every connected output; one output's failure
// does not keep the sample from the others.
//
// Locks: the base's filter lock (state, connections, the pin set) and streaming
// lock (Receive, EndOfStream, NewSegment); outputsLock_ guards the pin set for the
// streaming thread, which takes its delivery list without the filter lock.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::filters {

class InfTee;

class TeeInputPin final : public CBaseInputPin {
public:
    explicit TeeInputPin(InfTee* tee);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    InfTee* const tee_;
};

class TeeOutputPin final : public CBaseOutputPin {
public:
    TeeOutputPin(InfTee* tee, HRESULT* phr, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

private:
    InfTee* const tee_;
};

class InfTee final : public CBaseFilter {
public:
    // The class table creates it (CreateComObject).
    InfTee(IUnknown* outer, HRESULT* hr);

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

private:
    friend class TeeInputPin;
    friend class TeeOutputPin;
    ~InfTee() override;

    // The pin set (filter lock held).
    HRESULT AddOutput();
    bool FreeOutputBesides(const TeeOutputPin* pin);
    void RemoveOutput(TeeOutputPin* pin);
    // Hands `call` to each connected output with no tee lock held, so a blocked
    // output never holds up another thread; the first success, else the last failure.
    template <class Call>
    HRESULT ToEachOutput(Call call);

    std::mutex outputsLock_;
    TeeInputPin input_;
    // Guarded by outputsLock_ (changes also hold the filter lock).
    std::vector<std::unique_ptr<TeeOutputPin>> outputs_;
    // Outputs taken away stay allocated until the filter goes: a caller may still
    // hold a reference to one (a pin's references are the filter's).
    std::vector<std::unique_ptr<TeeOutputPin>> retired_;
};

}  // namespace quvo::filters
