// A sink for a tee output that counts the video pictures the source delivered,
// each with its time stamp on the demultiplexer's time base (relative to the
// first PES time stamp of the stream): what the renderer could be expected to draw.
#pragma once

#include <memory>
#include <vector>

#include "platform/graph/ControlInterfaces.h"

namespace quvo::filters::test {

class PictureLog {
public:
    virtual ~PictureLog() = default;
    // Sample times (100 ns) of the pictures seen so far.
    virtual std::vector<REFERENCE_TIME> Times() const = 0;
};

// The sink filter (one reference) and its log, which outlives the filter.
IBaseFilter* CreatePictureCounter(std::shared_ptr<PictureLog>* log);

}  // namespace quvo::filters::test
