// The preview and capture graph:
//   capture filter -> Infinite Tee -> writer ("Dump File")
//                                  -> Demux -> "Video Out" -> video decoder -> video renderer
//                                           -> "Audio Out" -> audio decoder -> audio renderer
// with the preview branches present as previewVideo / previewAudio ask. Shared
// operations are in GraphCommon.h.
#pragma once

#include <cstdint>

#include "interfaces/WriterControl.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {

// The 21 build steps; the first failing step ends the build and leaves what was made
// so far for TearDownCaptureGraph.
bool BuildCaptureGraph(EncoderDevice& device, BuildMode buildMode);

// Create and map the demultiplexer's "Video Out" (stream 0xE0) and "Audio Out"
// (private stream 1, substream 0xA0) pins from the device's current format.
HRESULT CreateVideoOutPin(EncoderDevice& device);
HRESULT CreateAudioOutPin(EncoderDevice& device);

// Writer mode: capture on the fly (preview) or normal (capture).
bool SetOnTheFlyMode(WriterControl* writer, bool on);
// Hands captureFileName, then fileSizeLimit and captureLimit, to the writer.
bool ApplyCaptureFileName(EncoderDevice& device);
bool ApplyFileSizeLimit(WriterControl* writer, std::uint32_t kib);
bool ApplyCaptureLimit(WriterControl* writer, std::uint64_t bytes);

// Ends event notification, stops the graph and takes the capture graph's members
// out of it. Leaves graphState 2. On a playback graph it removes only the members
// the two graphs share (the video tee, the decoders, the renderers).
void TearDownCaptureGraph(EncoderDevice& device);

}  // namespace quvo::sdk
