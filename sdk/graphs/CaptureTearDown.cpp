// The capture graph's teardown: its members, in the order they go. The video tee,
// the decoders and the renderers are members of the playback graph too, so this
// teardown on a playback graph removes just those.
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {

void TearDownCaptureGraph(EncoderDevice& device)
{
    TearDownGraph(device,
                  {&EncoderDevice::teeFilter, &EncoderDevice::fileWriterFilter, &EncoderDevice::demuxFilter,
                   &EncoderDevice::videoDecoderFilter, &EncoderDevice::videoRendererFilter,
                   &EncoderDevice::audioDecoderFilter, &EncoderDevice::audioRendererFilter},
                  [](EncoderDevice& d) {
                      d.writerControl.Reset();
                      d.demuxControl.Reset();
                  });
}

}  // namespace quvo::sdk
