// Playback settings and the start and stop of the playback graph. Every operation
// tests for the device first.
#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/PlaybackGraph.h"

namespace quvo::sdk {
namespace {

// The board's output shows what device playback feeds it.
constexpr uint32_t kOutputPlayback = 7;

bool Build(EncoderDevice& device, BuildMode) { return BuildPlaybackGraph(device); }

constexpr GraphStart kPlayback{BuildMode::Playback, QUVO_GRAPH_MODE_PLAYBACK, &Build, &TearDownPlaybackGraph,
                               "Playback Failed - Media Control Error : 0x%X", "Failed to RUN Playback Graph",
                               "Playback Started..."};

}  // namespace

QUVO_RESULT EncoderDevice::SetPlaybackFileName(const char* fileName, uint32_t)
{
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    if (!fileName) return QUVO_ERR_INVALID_POINTER;
    // Playback reads the one shared file-name field; the next build loads it.
    return StoreFileName(fileName, captureFileName) ? QUVO_SUCCESS : QUVO_ERR_FAILED;
}

QUVO_RESULT EncoderDevice::SetPlaybackMode(uint32_t flags)
{
    playbackToDevice = 0;
    playbackAudio = 0;
    playbackVideo = 0;
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    flags &= 0xFF;
    if (flags & QUVO_PLAYBACK_TO_DEVICE) playbackToDevice = 1;
    if (flags & QUVO_PLAYBACK_AUDIO_VIDEO) playbackAudio = playbackVideo = 1;
    if (flags & QUVO_PLAYBACK_VIDEO) playbackVideo = 1;
    if (flags & QUVO_PLAYBACK_AUDIO) {
        playbackAudio = 1;
        return QUVO_SUCCESS;
    }
    return (flags & (QUVO_PLAYBACK_TO_DEVICE | QUVO_PLAYBACK_AUDIO_VIDEO | QUVO_PLAYBACK_VIDEO))
        ? QUVO_SUCCESS
        : QUVO_ERR_INVALID_PARAMETER;
}

QUVO_RESULT EncoderDevice::GetPlaybackCurrentPos(uint32_t) { return QUVO_ERR_NOT_IMPLEMENTED; }
// The next two are aliases of GetPlaybackCurrentPos.
QUVO_RESULT EncoderDevice::SetPlaybackCurrentPos(uint32_t position)
{
    return EncoderDevice::GetPlaybackCurrentPos(position);
}
QUVO_RESULT EncoderDevice::GetPlaybackFileDuration(uint32_t duration)
{
    return EncoderDevice::GetPlaybackCurrentPos(duration);
}

QUVO_RESULT EncoderDevice::StartPlayback()
{
    Trace trace("TvrStartPlayback");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // Each renderer's end of stream then reaches the host, instead of the graph
    // manager ending the graph itself.
    if (mediaEvent) mediaEvent->CancelDefaultHandling(EC_COMPLETE);
    const QUVO_RESULT result = StartGraph(*this, kPlayback);
    if (result == QUVO_SUCCESS) currentOutput = kOutputPlayback;
    return result;
}

QUVO_RESULT EncoderDevice::StopPlayback()
{
    Trace trace("TvrStopPlayback");
    if (!deviceFound) return QUVO_ERR_DEVICE_NOT_FOUND;
    // currentOutput keeps 7.
    return StopGraph(*this, &TearDownPlaybackGraph, "...Playback Stopped");
}

}  // namespace quvo::sdk
