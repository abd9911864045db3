// For the demultiplexer's tests: the MPEG module registered into the test's
// registry, media types of the demultiplexer's pins as the SDK builds them, and
// the SDK's way of connecting two filters.
#pragma once

#include <string>

#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/MpegInterfaces.h"
#include "platform/graph/base/MediaType.h"

namespace quvo::filters::test {

// {2BE4D130-...} and {2BE4D140-...}: the decoders of the MPEG module.
extern const CLSID kAudioDecoderClsid;
extern const CLSID kVideoDecoderClsid;

std::string RunCommand(const std::string& command);
// Registers a module of the build into this test's registry (regsvr).
bool RegisterModule(const std::string& fileName);
bool RegisterMpegModule();

// "Video Out": MPEG-2 video with a 288-byte MPEG2VIDEOINFO and its sequence header.
CMediaType VideoOutType(int width, int height, DWORD bitRate, REFERENCE_TIME frameDuration);
// "Audio Out": DVD linear PCM, 16-bit stereo.
CMediaType LpcmAudioType(int rate);
// The AC-3 (DVD) type with a WAVEFORMATEX.
CMediaType Ac3AudioType(int rate);

// First free output of `up` to the first free input of `down` that takes it.
HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* up, IBaseFilter* down);

// Creates a demultiplexer output pin and maps one stream to it.
HRESULT CreateMappedPin(IMpeg2Demultiplexer* demux, const CMediaType& type, const char16_t* name, ULONG streamId,
                        ULONG substream, int offset);

ComPtr<IBaseFilter> CreateFilter(REFCLSID clsid);

}  // namespace quvo::filters::test
