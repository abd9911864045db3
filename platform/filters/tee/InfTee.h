// The Infinite Pin Tee (CLSID_InfTee): one input "Input", outputs "Output1",
// "Output2"... Connecting the last free output adds a new free one; disconnecting
// an output removes it while another free one remains. Every sample, end of
// stream, flush and new segment goes to every connected output; one output's
// failure does not keep the sample from the others.
//
// Locks:
//   filterLock     the base filter's lock: state changes, connections, the pin set.
//   streamingLock  the streaming lock: serializes Receive, EndOfStream and
//                 NewSegment from the upstream streaming thread.
//   outputsLock_  guards outputs_ and retired_ for readers that must not take the
//                 filter lock (the streaming thread taking its delivery list);
//                 changes to the pin set hold both filterLock and outputsLock_.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/base/BaseFilter.h"
#include "platform/filters/tee/TeePins.h"

namespace quvo::filters {

class InfTee final : public CBaseFilter {
public:
    // The class table creates it (CreateComObject).
    InfTee(IUnknown* outer, HRESULT* hr);

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // From the pins, under the filter lock.
    void OnOutputConnected();
    void OnOutputDisconnected(TeeOutputPin* pin);
    // The media type outputs offer: the input's connection type (invalid when unconnected).
    const CMediaType& InputType() const { return input_.CurrentMediaType(); }
    bool InputConnected() const { return input_.IsConnected(); }
    // Whether every connected output's peer accepts `mt` (for a new input type).
    bool OutputsAccept(const CMediaType* mt);

    // From the input pin on the streaming thread, under streamingLock.
    HRESULT DeliverSample(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // From the input pin on the application thread.
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();

private:
    ~InfTee() override;

    // Connected outputs, each with a reference on the filter (pins count on it).
    std::vector<ComPtr<IPin>> ConnectedOutputs();
    // Hands `call` to each connected output without the outputs lock; success when
    // any output took it.
    template <class Call>
    HRESULT ToEachOutput(Call call);
    HRESULT AddOutput();

    std::mutex outputsLock_;
    TeeInputPin input_;
    // Guarded by outputsLock_ (and filterLock for changes).
    std::vector<std::unique_ptr<TeeOutputPin>> outputs_;
    // Outputs taken away stay allocated until the filter goes: a caller may still
    // hold a reference to one (a pin's references are the filter's).
    std::vector<std::unique_ptr<TeeOutputPin>> retired_;
};

}  // namespace quvo::filters
