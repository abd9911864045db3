// Turning a graph event into the device's graph state.
#pragma once

#include <cstdint>

#include "platform/com/Types.h"
#include "platform/graph/Types.h"

namespace quvo::sdk {

class EncoderDevice;

// Logs the event, updates device.graphState and returns it. An aborting error
// (EC_ERRORABORT) first resets the device's construction values; its failure code
// (param1, the HRESULT of the filter that failed) gets a log line of its own.
std::uint32_t DecodeGraphEvent(EncoderDevice& device, LONG code, LONG_PTR param1 = 0);

}  // namespace quvo::sdk
