// The playback graph's teardown, and the removal of what a capture stop left of one.
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/PlaybackGraph.h"

namespace quvo::sdk {

void TearDownPlaybackGraph(EncoderDevice& device)
{
    TearDownGraph(device,
                  {&EncoderDevice::fileReaderFilter, &EncoderDevice::splitterFilter, &EncoderDevice::teeFilter,
                   &EncoderDevice::audioTeeFilter, &EncoderDevice::audioDecoderFilter,
                   &EncoderDevice::playbackAudioDecoderFilter, &EncoderDevice::transformFilter,
                   &EncoderDevice::muxerFilter, &EncoderDevice::videoDecoderFilter,
                   &EncoderDevice::videoRendererFilter, &EncoderDevice::audioRendererFilter},
                  nullptr);
}

void RemovePlaybackLeftovers(EncoderDevice& device)
{
    // They are stopped (the capture stop stopped the graph), and nothing runs
    // between that stop and this build, so none of them ever streams again.
    for (FilterSlot slot : {&EncoderDevice::fileReaderFilter, &EncoderDevice::splitterFilter,
                            &EncoderDevice::audioTeeFilter, &EncoderDevice::transformFilter,
                            &EncoderDevice::muxerFilter, &EncoderDevice::playbackAudioDecoderFilter})
        RemoveMember(device, slot);
}

}  // namespace quvo::sdk
