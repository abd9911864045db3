// A test source standing in for the encoder board: plays a program-stream file
// from one output pin (MEDIATYPE_Stream, MPEG-2 program), in 2 KiB blocks paced in
// real time by the packs' system clock references against the graph's stream
// time, as a live encoder would deliver it. Unpaced it delivers as fast as taken.
#pragma once

#include <string>

#include "platform/graph/ControlInterfaces.h"

namespace quvo::filters::test {

// The source filter with one reference, or null when the file cannot be read.
IBaseFilter* CreatePacedFileSource(const std::string& path, bool paced);

}  // namespace quvo::filters::test
