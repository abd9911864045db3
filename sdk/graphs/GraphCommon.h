// What the preview/capture graph and the playback graph share: the fresh capture
// filter, filter creation and direct connections, the audio clock, the preview
// window, the start and stop procedure, and the teardown of the graph's members.
// Everything runs on the thread of the exported call and takes no lock (callers
// serialize every call); each operation logs its own failure.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/com/ComPtr.h"
#include "platform/com/Types.h"
#include "platform/graph/ControlInterfaces.h"
#include "sdk/graphs/GraphModes.h"
#include <quvo/QuvoSDK.h>

namespace quvo::sdk {

class EncoderDevice;

// Replaces the capture filter by a fresh one bound from the device moniker and adds
// it to the graph without a name.
bool BindCaptureFilter(EncoderDevice& device);

// Creates the filter in-process into `slot` and adds it to `graph` under `name`; the
// result of adding is not looked at (a filter outside the graph fails its
// connection step).
HRESULT CreateGraphFilter(IGraphBuilder* graph, const CLSID& clsid, const char16_t* name, ComPtr<IBaseFilter>& slot);

// Connects the first free output pin of `upstream` directly to the first free input
// pin of `downstream` that takes it. S_OK, or E_FAIL when no pair connected.
HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream);

// Makes the audio renderer's clock the graph's clock, when both can be had.
void SetAudioClock(IGraphBuilder* graph, IBaseFilter* audioRenderer);

// Gives the graph's video window the preview window as owner; false when it could
// not (the start goes on regardless).
bool AttachVideoWindow(EncoderDevice& device);
// Applies the pending full-screen request to the video window; false when nothing
// was changed.
bool ApplyFullScreenMode(EncoderDevice& device);

// Converts an ANSI file name into the 260-unit UTF-16 field (the capture and the
// playback name share one). Names typed for the Windows program use backslashes;
// the separator here is '/'. False when the name does not convert or fit.
bool StoreFileName(const char* ansiName, QUVO_WCHAR (&field)[260]);

// One kind of graph for the start procedure: how it is built and taken apart, the
// graph mode it runs as, and its texts.
struct GraphStart {
    BuildMode buildMode;
    std::uint32_t graphMode;
    bool (*build)(EncoderDevice& device, BuildMode mode);
    void (*tearDown)(EncoderDevice& device);
    const char* mediaControlFailed;  // format with the result
    const char* runFailed;           // format, given the result (it may not show it)
    const char* started;
};

// Binds a fresh capture filter, builds, attaches the preview window and runs. A
// failed build or run leaves graphState 5 for the teardown, which then leaves 2.
// The caller has traced itself and tested for the device.
QUVO_RESULT StartGraph(EncoderDevice& device, const GraphStart& start);
// Tears the graph down when one was started (a media control is held); graphMode 0.
QUVO_RESULT StopGraph(EncoderDevice& device, void (*tearDown)(EncoderDevice& device), const char* stopped);

// A graph member: a filter slot of the device.
using FilterSlot = ComPtr<IBaseFilter> EncoderDevice::*;

// The teardown both graphs share: ends event notification, pauses and stops the
// graph (graphState 3, then 2), lets go of the video window, removes from the graph
// and releases each member of `members` that is held, in order, and releases the
// media control. `releaseControls` (may be null) drops the interfaces queried from
// members before they go.
void TearDownGraph(EncoderDevice& device, std::initializer_list<FilterSlot> members,
                   void (*releaseControls)(EncoderDevice& device));
// Removes `slot`'s filter from the graph, if it is held, and releases it.
void RemoveMember(EncoderDevice& device, FilterSlot slot);

}  // namespace quvo::sdk
