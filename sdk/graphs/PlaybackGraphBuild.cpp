// Building the playback graph. Each step either succeeds or ends the build with one
// log entry naming it; what exists by then stays in the graph for
// TearDownPlaybackGraph.
#include <memory>

#include "platform/graph/Guids.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"
#include "sdk/FilterClassIds.h"
#include "sdk/graphs/PlaybackGraph.h"

namespace quvo::sdk {
namespace {

// The steps of one build: each answers false after logging its failure.
class PlaybackSteps {
public:
    explicit PlaybackSteps(EncoderDevice& device) : device_(device), graph_(device.graphBuilder.Get()) {}

    bool Create(const CLSID& clsid, const char16_t* name, FilterSlot slot, const char* text)
    {
        return Check(CreateGraphFilter(graph_, clsid, name, device_.*slot), text);
    }
    bool Connect(FilterSlot upstream, FilterSlot downstream, const char* text)
    {
        return Check(ConnectFilters(graph_, (device_.*upstream).Get(), (device_.*downstream).Get()), text);
    }

private:
    static bool Check(HRESULT hr, const char* text)
    {
        if (SUCCEEDED(hr)) return true;
        TheLog().Log(kLogError, 3, "Build Playback graph failed on - %s : 0x%X", text, static_cast<unsigned>(hr));
        return false;
    }

    EncoderDevice& device_;
    IGraphBuilder* const graph_;
};

using D = EncoderDevice;

bool CreateAll(EncoderDevice& device, PlaybackSteps& step)
{
    if (!step.Create(CLSID_TavrinFileReader, u"File Reader", &D::fileReaderFilter, "Creating MpegReader")) return false;
    if (!ApplyPlaybackFileName(device)) return false;
    if (!step.Create(device.splitterClsid, u"Mpeg Splitter", &D::splitterFilter, "Creating MpegSplitter")) return false;
    if (!step.Create(CLSID_InfTee, u"Infinite Tee", &D::teeFilter, "Creating InfTee(Video)")) return false;
    if (!step.Create(CLSID_InfTee, u"Infinite 2 Tee", &D::audioTeeFilter, "Creating InfTee(Audio)")) return false;
    if (device.playbackToDevice) {
        if (!step.Create(device.audioDecoderClsid, u"Audio Decoder", &D::audioDecoderFilter,
                         "Creating AudioDecoder(Device Playback)"))
            return false;
        if (!step.Create(CLSID_XFormFeedFace, u"XFormFeedFace Filter", &D::transformFilter, "Creating XFormFeedFace"))
            return false;
        if (!step.Create(CLSID_BraidMuxer, u"Braid Muxer", &D::muxerFilter, "Creating BraidMuxer")) return false;
    }
    if (device.playbackVideo) {
        if (!step.Create(device.videoDecoderClsid, u"Video Decoder", &D::videoDecoderFilter, "Creating VideoDecoder"))
            return false;
        if (!step.Create(CLSID_VideoRenderer, u"Video Renderer", &D::videoRendererFilter, "Creating VideoRenderer"))
            return false;
    }
    if (device.playbackAudio) {
        if (!step.Create(device.audioDecoderClsid, u"Audio Decoder 2", &D::playbackAudioDecoderFilter,
                         "Creating AudioDecoder(System)"))
            return false;
        if (!step.Create(CLSID_DSoundRender, u"Audio Renderer", &D::audioRendererFilter, "Creating AudioRenderer"))
            return false;
    }
    return true;
}

// The splitter lists video before audio and each tee offers a fresh output after
// every connection, so the order here decides which pin goes where.
bool ConnectAll(EncoderDevice& device, PlaybackSteps& step)
{
    if (!step.Connect(&D::fileReaderFilter, &D::splitterFilter, "Connecting Reader - Splitter")) return false;
    if (!step.Connect(&D::splitterFilter, &D::teeFilter, "Connecting Splitter - InfTee(Video)")) return false;
    if (!step.Connect(&D::splitterFilter, &D::audioTeeFilter, "Connecting Splitter - InfTee(Audio)")) return false;
    if (device.playbackVideo) {
        if (!step.Connect(&D::teeFilter, &D::videoDecoderFilter, "Connecting InfTee - VideoDecoder")) return false;
        if (!step.Connect(&D::videoDecoderFilter, &D::videoRendererFilter, "Connecting VideoDecoder - Renderer"))
            return false;
    }
    if (device.playbackToDevice) {
        if (!step.Connect(&D::teeFilter, &D::transformFilter, "Connecting InfTee - XFormFeedFace")) return false;
        if (!step.Connect(&D::audioTeeFilter, &D::audioDecoderFilter, "Connecting InfTee2 - AudioDecoder")) return false;
        if (!step.Connect(&D::audioDecoderFilter, &D::transformFilter, "Connecting AudioDecoder - XFormFeedFace"))
            return false;
        if (!step.Connect(&D::transformFilter, &D::muxerFilter, "Connecting XForm1 - BraidMuxer1")) return false;
        if (!step.Connect(&D::transformFilter, &D::muxerFilter, "Connecting XForm2 - BraidMuxer2")) return false;
        if (!step.Connect(&D::muxerFilter, &D::captureFilter, "Connecting BraidMuxer - VideoCapture")) return false;
    }
    if (device.playbackAudio) {
        if (!step.Connect(&D::audioTeeFilter, &D::playbackAudioDecoderFilter, "Connecting InfTee2 - AudioDecoder2"))
            return false;
        if (!step.Connect(&D::playbackAudioDecoderFilter, &D::audioRendererFilter,
                          "Connecting AudioDecoder - AudioRenderer"))
            return false;
        SetAudioClock(device.graphBuilder.Get(), device.audioRendererFilter.Get());
    }
    return true;
}

}  // namespace

bool BuildPlaybackGraph(EncoderDevice& device)
{
    device.graphState = QUVO_GRAPH_STATE_NONE;
    RemovePlaybackLeftovers(device);
    if (!device.graphBuilder) return false;  // only after an aborting error; the bind has failed already
    PlaybackSteps steps(device);
    return CreateAll(device, steps) && ConnectAll(device, steps);
}

bool ApplyPlaybackFileName(EncoderDevice& device)
{
    if (!device.fileReaderFilter) {
        TheLog().Log(kLogError, 4, "Failed to set playback filename - File Reader not Created");
        return false;
    }
    ComPtr<IFileSourceFilter> source;
    HRESULT hr = device.fileReaderFilter.As(std::addressof(source));
    if (FAILED(hr)) {
        TheLog().Log(kLogError, 4, "Failed to set Playback filename - cannot query SourceFilter : 0x%X",
                     static_cast<unsigned>(hr));
        return false;
    }
    hr = source->Load(device.captureFileName, nullptr);
    source.Reset();
    if (hr != S_OK) {
        TheLog().Log(kLogError, 4, "Failed to set PLayback filename - Unable to load Filename : 0x%X",
                     static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

}  // namespace quvo::sdk
