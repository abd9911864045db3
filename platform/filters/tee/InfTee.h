// The Infinite Pin Tee (CLSID_InfTee): one input "Input", outputs "Output1",
// "Output2"... Connecting the last free output adds a new free one (the lowest
// free number); disconnecting an output removes it while another free one
// remains. Delivery, types and locks are the fan-out base's.
#pragma once

#include "platform/graph/base/FanOut.h"

namespace quvo::filters {

class InfTee final : public CFanOutFilter {
public:
    // The class table creates it (CreateComObject).
    InfTee(IUnknown* outer, HRESULT* hr);

private:
    std::u16string OutputName(int n) override;
    void OutputConnected() override;
    void OutputDisconnecting(CFanOutOutputPin* pin) override;
};

}  // namespace quvo::filters
