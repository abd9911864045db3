// The start and stop procedure every graph goes through: bind, build, media
// control, preview window, run; and the stop that tears down what a start made.
#include <memory>

#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {

QUVO_RESULT StartGraph(EncoderDevice& device, const GraphStart& start)
{
    if (!BindCaptureFilter(device)) return QUVO_ERR_FAILED;  // nothing to tear down
    if (!start.build(device, start.buildMode)) {
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        start.tearDown(device);
        return QUVO_ERR_FAILED;
    }
    device.graphState = QUVO_GRAPH_STATE_BUILT;
    HRESULT hr = device.graphBuilder.As(std::addressof(device.mediaControl));
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, start.mediaControlFailed, static_cast<unsigned>(hr));
        start.tearDown(device);
        return QUVO_ERR_FAILED;
    }
    AttachVideoWindow(device);  // without it the renderer shows its own window, or none
    if (device.fullScreenChangePending) {
        ApplyFullScreenMode(device);
        device.fullScreenChangePending = 0;
    }
    hr = device.mediaControl->Run();
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, start.runFailed, static_cast<unsigned>(hr));
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        start.tearDown(device);
        return QUVO_ERR_FAILED;
    }
    // S_FALSE: some filter is still on its way to running; the graph gets there.
    device.graphState = QUVO_GRAPH_STATE_RUNNING;
    device.graphMode = start.graphMode;
    TheLog().Log(kLogPlain, 5, "%s", start.started);
    return QUVO_SUCCESS;
}

QUVO_RESULT StopGraph(EncoderDevice& device, void (*tearDown)(EncoderDevice& device), const char* stopped)
{
    if (!device.mediaControl) return QUVO_ERR_FAILED;
    tearDown(device);
    TheLog().Log(kLogPlain, 5, "%s", stopped);
    device.graphMode = QUVO_GRAPH_MODE_NONE;
    return QUVO_SUCCESS;
}

}  // namespace quvo::sdk
