// Stopping the preview or capture graph and taking it apart. The graph manager, the
// capture filter (until the next bind replaces it), the moniker and every setting
// survive; the event-window registration does not.
#include "platform/graph/ControlInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"

namespace quvo::sdk {
namespace {

// A graph that did not pause at once gets this many 100 ms looks before it is
// stopped anyway: long enough for a renderer waiting for its first picture.
constexpr int kPausePolls = 30;

void RemoveAndRelease(EncoderDevice& device, ComPtr<IBaseFilter>& filter)
{
    if (!filter) return;
    if (device.graphBuilder) device.graphBuilder->RemoveFilter(filter.Get());
    filter.Reset();
}

}  // namespace

void TearDownCaptureGraph(EncoderDevice& device)
{
    if (device.mediaEvent) device.mediaEvent->SetNotifyWindow(0, static_cast<LONG>(device.notifyMessage), 0);

    if (device.mediaControl) {
        if (device.mediaControl->Pause() != S_OK) {
            for (int poll = 0; poll < kPausePolls; ++poll) {
                OAFilterState state = State_Stopped;
                if (device.mediaControl->GetState(100, &state) == S_OK && state == State_Paused) break;
            }
        }
        device.graphState = 3;
        device.mediaControl->Stop();
    }
    if (device.mediaEvent) {
        LONG code = 0;
        device.mediaEvent->WaitForCompletion(100, &code);
        device.mediaEvent.Reset();
    }
    device.graphState = 2;
    device.videoWindow.Reset();

    RemoveAndRelease(device, device.teeFilter);
    device.writerControl.Reset();
    RemoveAndRelease(device, device.fileWriterFilter);
    RemoveAndRelease(device, device.demuxFilter);
    device.demuxControl.Reset();
    RemoveAndRelease(device, device.videoDecoderFilter);
    RemoveAndRelease(device, device.videoRendererFilter);
    RemoveAndRelease(device, device.audioDecoderFilter);
    RemoveAndRelease(device, device.audioRendererFilter);

    device.mediaControl.Reset();
}

}  // namespace quvo::sdk
