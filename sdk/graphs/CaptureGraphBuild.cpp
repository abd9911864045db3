// Building the preview and capture graph. Each step either succeeds or ends the
// build with one log entry naming it; what exists by then stays in the graph for
// TearDownCaptureGraph.
#include <memory>

#include "interfaces/WriterControl.h"
#include "platform/graph/Guids.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/graphs/CaptureGraph.h"
#include "sdk/graphs/PlaybackGraph.h"

namespace quvo::sdk {
namespace {

bool StepFailed(const char* step, HRESULT hr)
{
    TheLog().Log(kLogError, 3, "Capture Graph Build Failed On %s : 0x%X", step, static_cast<unsigned>(hr));
    return false;
}

}  // namespace

bool BuildCaptureGraph(EncoderDevice& device, BuildMode buildMode)
{
    device.graphState = QUVO_GRAPH_STATE_NONE;
    RemovePlaybackLeftovers(device);
    if (!device.captureFilter || !device.graphBuilder) {
        TheLog().Log(kLogError, 3, "Capture Filter does not exists");
        return false;
    }
    IGraphBuilder* graph = device.graphBuilder.Get();
    const bool anyPreview = device.previewVideo || device.previewAudio;
    HRESULT hr;

    if (FAILED(hr = CreateGraphFilter(graph, CLSID_InfTee, u"Infinite Tee", device.teeFilter)))
        return StepFailed("Creating Infinite Tee", hr);
    if (FAILED(hr = CreateGraphFilter(graph, CLSID_TavrinFileWriter, u"Dump File", device.fileWriterFilter)))
        return StepFailed("Creating File Dump", hr);
    if (FAILED(hr = device.fileWriterFilter.As(std::addressof(device.writerControl))))
        return StepFailed("Creating MultiMpegFileWriter", hr);
    // A writer in the wrong mode still writes; the failure is logged and the build goes on.
    SetOnTheFlyMode(device.writerControl.Get(), buildMode != BuildMode::Capture);

    if (anyPreview) {
        if (FAILED(hr = CreateGraphFilter(graph, CLSID_MPEG2Demultiplexer, u"Demux", device.demuxFilter)))
            return StepFailed("Creating MPEG2Demuxer", hr);
        if (FAILED(hr = device.demuxFilter.As(std::addressof(device.demuxControl))))
            return StepFailed("Creating MPEG2DemuxDemux", hr);
    }
    if (device.previewVideo) {
        if (FAILED(hr = CreateGraphFilter(graph, device.videoDecoderClsid, u"Video Decoder", device.videoDecoderFilter)))
            return StepFailed("Creating VideoDecoder", hr);
        if (FAILED(hr = CreateGraphFilter(graph, CLSID_VideoRenderer, u"Video Renderer", device.videoRendererFilter)))
            return StepFailed("Creating VideoRenderer", hr);
    }
    if (device.previewAudio) {
        if (FAILED(hr = CreateGraphFilter(graph, device.audioDecoderClsid, u"Audio Decoder", device.audioDecoderFilter)))
            return StepFailed("Creating AudioDecoder", hr);
        if (FAILED(hr = CreateGraphFilter(graph, CLSID_DSoundRender, u"Audio Renderer", device.audioRendererFilter)))
            return StepFailed("Creating AudioRenderer", hr);
    }

    if (FAILED(hr = ConnectFilters(graph, device.captureFilter.Get(), device.teeFilter.Get())))
        return StepFailed("Connecting Capture - InfTee", hr);
    if (FAILED(hr = ConnectFilters(graph, device.teeFilter.Get(), device.fileWriterFilter.Get())))
        return StepFailed("Connecting InfTee - FileDump", hr);
    if (!ApplyCaptureFileName(device)) return false;

    // "Video Out" is created and connected while it is the demultiplexer's only output
    // pin, so the decoder connection takes it; "Audio Out" then is the only free one.
    if (device.previewVideo) {
        CreateVideoOutPin(device);  // a missing pin shows as the failing connection below
        if (FAILED(hr = ConnectFilters(graph, device.teeFilter.Get(), device.demuxFilter.Get())))
            return StepFailed("Connecting InfTee - MpegDemuxer", hr);
        if (FAILED(hr = ConnectFilters(graph, device.demuxFilter.Get(), device.videoDecoderFilter.Get())))
            return StepFailed("Connecting MpegDemuxer - VideoDecoder", hr);
        if (FAILED(hr = ConnectFilters(graph, device.videoDecoderFilter.Get(), device.videoRendererFilter.Get())))
            return StepFailed("Connecting VideoDecoder - Renderer", hr);
    }
    if (device.previewAudio) {
        CreateAudioOutPin(device);
        if (FAILED(hr = ConnectFilters(graph, device.demuxFilter.Get(), device.audioDecoderFilter.Get())))
            return StepFailed("Connecting MpegDemux - AudioDecoder", hr);
        if (FAILED(hr = ConnectFilters(graph, device.audioDecoderFilter.Get(), device.audioRendererFilter.Get())))
            return StepFailed("Connecting AudioDecoder - AudioRenderer", hr);
        SetAudioClock(graph, device.audioRendererFilter.Get());
    }
    return true;
}

}  // namespace quvo::sdk
