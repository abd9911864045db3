// The internal operations behind the preview, capture and playback graphs. They
// work on the one EncoderDevice, run on the thread of the exported call that uses
// them and take no lock (callers serialize every call). Each logs its own failure.
//
// Graph shape built by BuildCaptureGraph:
//   capture filter -> Infinite Tee -> writer ("Dump File")
//                                  -> Demux -> "Video Out" -> video decoder -> video renderer
//                                           -> "Audio Out" -> audio decoder -> audio renderer
// with the preview branches present as previewVideo / previewAudio ask.
#pragma once

#include <cstdint>

#include "platform/com/Types.h"
#include "platform/graph/Interfaces.h"

namespace quvo::sdk {

class EncoderDevice;

// Build modes of BuildCaptureGraph.
inline constexpr std::uint32_t kBuildPreview = 1;
inline constexpr std::uint32_t kBuildCapture = 2;

// Replaces the capture filter by a fresh one bound from the device moniker and adds
// it to the graph without a name.
bool BindCaptureFilter(EncoderDevice& device);

// The 21 build steps; the first failing step ends the build and leaves what was made
// so far for TearDownCaptureGraph.
bool BuildCaptureGraph(EncoderDevice& device, std::uint32_t buildMode);

// Connects the first free output pin of `upstream` directly to the first free input
// pin of `downstream` that takes it. S_OK, or E_FAIL when no pair connected.
HRESULT ConnectFilters(EncoderDevice& device, IBaseFilter* upstream, IBaseFilter* downstream);

// Makes the audio renderer's clock the graph's clock, when both can be had.
void SetAudioClock(EncoderDevice& device);

// Create and map the demultiplexer's "Video Out" (stream 0xE0) and "Audio Out"
// (private stream 1, substream 0xA0) pins from the device's current format.
HRESULT CreateVideoOutPin(EncoderDevice& device);
HRESULT CreateAudioOutPin(EncoderDevice& device);

// Writer mode: capture on the fly (preview) or normal (capture).
bool SetOnTheFlyMode(EncoderDevice& device, bool on);
// Hands captureFileName, then fileSizeLimit and captureLimit, to the writer.
bool ApplyCaptureFileName(EncoderDevice& device);
bool ApplyFileSizeLimit(EncoderDevice& device);
bool ApplyCaptureLimit(EncoderDevice& device);

// Ends event notification, stops the graph and takes every graph filter but the
// capture filter out of it. Leaves graphState 2.
void TearDownCaptureGraph(EncoderDevice& device);

// Gives the graph's video window the preview window as owner; false when it could
// not (the start goes on regardless).
bool AttachVideoWindow(EncoderDevice& device);
// Applies the pending full-screen request to the video window; false when nothing
// was changed.
bool ApplyFullScreenMode(EncoderDevice& device);

}  // namespace quvo::sdk
