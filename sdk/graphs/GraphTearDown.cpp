// Stopping a graph and taking its members out of it, for the capture and the
// playback teardown alike. The graph manager, the capture filter (until the next
// bind replaces it), the moniker and every setting survive; the event-window
// registration does not.
#include <memory>

#include "platform/graph/ControlInterfaces.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {
namespace {

// A graph that did not pause at once gets this many 100 ms looks before it is
// stopped anyway: long enough for a renderer waiting for its first picture.
constexpr int kPausePolls = 30;

// The events of a graph end with it: the graph manager outlives every graph, and a
// host registering for the next one must not read this one's end.
void DropEvents(EncoderDevice& device)
{
    ComPtr<IMediaEvent> events;
    if (!device.graphBuilder || FAILED(device.graphBuilder.As(std::addressof(events)))) return;
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK) events->FreeEventParams(code, param1, param2);
}

void StopTheGraph(EncoderDevice& device)
{
    if (device.mediaEvent) device.mediaEvent->SetNotifyWindow(0, static_cast<LONG>(device.notifyMessage), 0);

    if (device.mediaControl) {
        if (device.mediaControl->Pause() != S_OK) {
            for (int poll = 0; poll < kPausePolls; ++poll) {
                OAFilterState state = State_Stopped;
                if (device.mediaControl->GetState(100, &state) == S_OK && state == State_Paused) break;
            }
        }
        device.graphState = QUVO_GRAPH_STATE_STOPPING;
        device.mediaControl->Stop();
    }
    if (device.mediaEvent) {
        LONG code = 0;
        device.mediaEvent->WaitForCompletion(100, &code);
        device.mediaEvent.Reset();
    }
    DropEvents(device);
    device.graphState = QUVO_GRAPH_STATE_STOPPED;
    device.videoWindow.Reset();
}

}  // namespace

void RemoveMember(EncoderDevice& device, FilterSlot slot)
{
    ComPtr<IBaseFilter>& filter = device.*slot;
    if (!filter) return;
    if (device.graphBuilder) device.graphBuilder->RemoveFilter(filter.Get());
    filter.Reset();
}

void TearDownGraph(EncoderDevice& device, std::initializer_list<FilterSlot> members,
                   void (*releaseControls)(EncoderDevice& device))
{
    StopTheGraph(device);
    if (releaseControls) releaseControls(device);
    for (FilterSlot slot : members) RemoveMember(device, slot);
    device.mediaControl.Reset();
}

}  // namespace quvo::sdk
