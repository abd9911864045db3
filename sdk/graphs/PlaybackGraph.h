// The playback graph, in the same graph manager as the capture graph:
//   file reader -> splitter -> video tee -> video decoder -> video renderer        (screen)
//                                        -> transform 1 -> muxer 1 -> capture filter (board)
//                           -> audio tee -> audio decoder -> transform 2 -> muxer 2
//                                        -> audio decoder 2 -> audio renderer      (sound)
// with the branches present as playbackVideo, playbackToDevice and playbackAudio
// ask; both tees are always there.
#pragma once

#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {

// The 26 build steps; the first failing step ends the build and leaves what was made
// so far for TearDownPlaybackGraph. Leftovers of an earlier playback graph (see
// RemovePlaybackLeftovers) are removed first.
bool BuildPlaybackGraph(EncoderDevice& device);

// Loads captureFileName into the file reader.
bool ApplyPlaybackFileName(EncoderDevice& device);

// Ends event notification, stops the graph and takes every playback member out of
// it. Leaves graphState 2.
void TearDownPlaybackGraph(EncoderDevice& device);

// The members only a playback graph has (reader, splitter, audio tee, transform,
// muxer, second audio decoder) stay in the graph manager when a capture stop met a
// playback graph. Every build removes and releases them before it creates filters.
void RemovePlaybackLeftovers(EncoderDevice& device);

}  // namespace quvo::sdk
