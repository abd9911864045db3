// Values the graph code passes among itself and never hands to a host: the build
// modes of BuildCaptureGraph. The states and modes a host sees (QUVO_GRAPH_STATE_*,
// QUVO_GRAPH_MODE_*) are in the public header; event codes are the platform's EC_*.
#pragma once

#include <cstdint>

namespace quvo::sdk {

// What BuildCaptureGraph builds: a preview holds the writer in capture-on-the-fly
// mode, a capture in normal mode. Not the graph mode the start then stores.
enum class BuildMode : std::uint32_t {
    Preview = 1,
    Capture = 2,
    Playback = 3,  // BuildPlaybackGraph, which knows no other
};

}  // namespace quvo::sdk
