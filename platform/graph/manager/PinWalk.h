// Small helpers for walking a graph through its pins: a filter's pins, a pin's
// peer and owner. Used by the graph manager (ordering, removal) and the capture
// graph builder (searches up and down stream).
#pragma once

#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/graph/Interfaces.h"

namespace quvo::graph {

// Every pin of `filter`, in the filter's order; empty when it cannot enumerate.
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);
// The pin's direction; false when the pin does not say.
bool DirectionOf(IPin* pin, PIN_DIRECTION* dir);
// The pin this one is connected to, or null.
ComPtr<IPin> PeerOf(IPin* pin);
// The filter that owns `pin`, or null.
ComPtr<IBaseFilter> OwnerOf(IPin* pin);
// Filters connected to `filter` through its pins of direction `dir` (downstream
// for PINDIR_OUTPUT, upstream for PINDIR_INPUT), each once.
std::vector<ComPtr<IBaseFilter>> NeighboursOf(IBaseFilter* filter, PIN_DIRECTION dir);
// Whether `filter` has a connected pin of direction `dir`.
bool HasConnectedPin(IBaseFilter* filter, PIN_DIRECTION dir);

}  // namespace quvo::graph
