// Turning a graph event into the device's graph state.
#pragma once

#include <cstdint>

#include "platform/com/Types.h"

namespace quvo::sdk {

class EncoderDevice;

// Logs the event, updates device.graphState and returns it. An aborting error
// (EC_ERRORABORT) first resets the device's construction values.
std::uint32_t DecodeGraphEvent(EncoderDevice& device, LONG code);

}  // namespace quvo::sdk
