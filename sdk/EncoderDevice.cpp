#include "sdk/EncoderDevice.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "platform/win32/Text.h"

namespace quvo::sdk {
namespace {

// The current directory followed by the default capture file name, in UTF-16; empty
// when the result would not fit the 260 units of the field.
void DefaultCaptureFileName(QUVO_WCHAR (&out)[260])
{
    out[0] = 0;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return;
    std::string name = std::string(cwd) + (std::string(cwd) == "/" ? "" : "/") + "Tavrin.mpg";
    if (MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, out, 260) == 0) out[0] = 0;
}

}  // namespace

EncoderDevice::EncoderDevice() { ResetConstructionValues(); }

EncoderDevice::~EncoderDevice()
{
    if (uninitialized == 0) {
        // Uninitialize sets `uninitialized` itself; it is the same as QuvoUninitialize.
        EncoderDevice::Uninitialize();
    }
}

void EncoderDevice::ResetConstructionValues()
{
    captureGraphBuilder.Reset();
    captureFilter.Reset();
    deviceMoniker.Reset();
    graphBuilder.Reset();
    videoDecoderControl.Reset();
    procAmp.Reset();

    fileReaderFilter.Reset();
    transformTestFilter.Reset();
    muxerFilter.Reset();
    splitterFilter.Reset();
    audioDecoderFilter.Reset();
    playbackAudioDecoderFilter.Reset();
    videoDecoderFilter.Reset();
    audioRendererFilter.Reset();
    videoRendererFilter.Reset();
    videoWindow.Reset();
    teeFilter.Reset();
    audioTeeFilter.Reset();
    demuxFilter.Reset();
    fileWriterFilter.Reset();
    transformFilter.Reset();
    writerControl.Reset();
    demuxControl.Reset();
    videoOutPin.Reset();
    audioOutPin.Reset();

    previewAudio = 1;
    previewVideo = 1;
    fullScreenMode = 0;
    fullScreenChangePending = 0;
    previewWindow = nullptr;  // the position values keep theirs

    DefaultCaptureFileName(captureFileName);
    fileSizeLimit = 0x200000;
    captureLimit = 0x80000000u;
    playbackToDevice = 1;
    playbackAudio = 1;
    playbackVideo = 1;
    currentOutput = QUVO_OUTPUT_ENCODER;
    graphMode = 0;
    graphState = 0;
    uninitialized = 0;
    userFiltersSet = 0;
    notifyMessage = 0;
}

void EncoderDevice::RemoveDownstream(IBaseFilter* filter)
{
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(&pins)) || !pins) return;
    pins->Reset();
    ComPtr<IPin> pin;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        ComPtr<IPin> connected;
        if (FAILED(pin->ConnectedTo(&connected)) || !connected) continue;
        PIN_INFO info{};
        if (FAILED(connected->QueryPinInfo(&info))) break;
        ComPtr<IBaseFilter> downstream;
        downstream.Attach(info.pFilter);  // QueryPinInfo handed us a reference
        if (info.dir == PINDIR_INPUT) {
            RemoveDownstream(downstream.Get());
            if (graphBuilder) {
                graphBuilder->Disconnect(connected.Get());
                graphBuilder->Disconnect(pin.Get());
                graphBuilder->RemoveFilter(downstream.Get());
            }
        }
    }
}

}  // namespace quvo::sdk
