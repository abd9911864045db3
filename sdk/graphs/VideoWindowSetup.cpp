// Applying the stored preview-window settings to the graph's video window at each
// start, after the build and before the run.
#include <memory>

#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/GraphCommon.h"

namespace quvo::sdk {

bool AttachVideoWindow(EncoderDevice& device)
{
    HRESULT hr = device.graphBuilder ? device.graphBuilder.As(std::addressof(device.videoWindow)) : E_POINTER;
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 1, "Set Video Window Failed - Video Window Interface failed : 0x%X",
                     static_cast<unsigned>(hr));
        return false;
    }
    if (!device.previewWindow) {
        TheLog().Log(kLogWarning, 5, "Preview Window not set - Default Active movie control Opened");
        return false;
    }
    hr = device.videoWindow->put_Owner(reinterpret_cast<OAHWND>(device.previewWindow));
    if (FAILED(hr)) {
        // For example a graph without a video renderer (preview mode 1).
        TheLog().Log(kLogError, 1, "Set Video Window Failed : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    if (FAILED(device.videoWindow->put_WindowStyle(WS_CHILD)))
        TheLog().Log(kLogWarning, 5, "Window Style Could not be Set");
    device.videoWindow->SetWindowPosition(device.previewLeft, device.previewTop, device.previewWidth,
                                          device.previewHeight);
    device.videoWindow->put_Visible(OATRUE);
    return true;
}

bool ApplyFullScreenMode(EncoderDevice& device)
{
    if (!device.videoWindow) {
        TheLog().Log(kLogError, 2, "No Preview Window");
        return false;
    }
    LONG current = 0;
    if (FAILED(device.videoWindow->get_FullScreenMode(&current))) {
        TheLog().Log(kLogError, 2, "Changing to Full Screen Failed");
        return false;
    }
    if (current == device.fullScreenMode) {
        TheLog().Log(kLogPlain, 5, "FullScreenMode - Change not required");
        return false;
    }
    const HRESULT hr = device.videoWindow->put_FullScreenMode(device.fullScreenMode);
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 2, "Full Screen Change Failed : 0x%X", static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

}  // namespace quvo::sdk
