#include "platform/filters/tests/PreviewGraph.h"

#include <memory>

#include "platform/com/Runtime.h"
#include "platform/filters/tests/PacedFileSource.h"
#include "platform/graph/Guids.h"

namespace quvo::filters::test {

std::string PreviewGraph::Build(const std::string& file, bool paced, const CMediaType& videoType,
                                const AudioMapping& audio)
{
    ComPtr<IBaseFilter> player;
    player.Attach(CreatePacedFileSource(file, paced));
    return Build(player, videoType, audio);
}

std::string PreviewGraph::Build(ComPtr<IBaseFilter> capture, const CMediaType& videoType, const AudioMapping& audio)
{
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph.ReleaseAndGetVoidAddressOf())))
        return "graph";
    source = std::move(capture);
    tee = CreateFilter(CLSID_InfTee);
    demux = CreateFilter(CLSID_MPEG2Demultiplexer);
    videoDecoder = CreateFilter(kVideoDecoderClsid);
    videoRenderer = CreateFilter(CLSID_VideoRenderer);
    audioDecoder = CreateFilter(kAudioDecoderClsid);
    audioRenderer = CreateFilter(CLSID_DSoundRender);
    counter.Attach(CreatePictureCounter(&pictures));
    if (!counter || !source || !tee || !demux || !videoDecoder || !videoRenderer || !audioDecoder || !audioRenderer)
        return "create";
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(tee.Get(), u"Infinite Tee");
    graph->AddFilter(counter.Get(), u"Dump File");
    graph->AddFilter(demux.Get(), u"Demux");
    graph->AddFilter(videoDecoder.Get(), u"Video Decoder");
    graph->AddFilter(videoRenderer.Get(), u"Video Renderer");
    graph->AddFilter(audioDecoder.Get(), u"Audio Decoder");
    graph->AddFilter(audioRenderer.Get(), u"Audio Renderer");

    ComPtr<IMpeg2Demultiplexer> demuxControl;
    if (FAILED(demux->QueryInterface(IID_IMpeg2Demultiplexer, demuxControl.ReleaseAndGetVoidAddressOf())))
        return "demux control";
    if (FAILED(ConnectFilters(graph.Get(), source.Get(), tee.Get()))) return "source - tee";
    if (FAILED(ConnectFilters(graph.Get(), tee.Get(), counter.Get()))) return "tee - counter";
    if (FAILED(CreateMappedPin(demuxControl.Get(), videoType, u"Video Out", 0xE0, 0, 0))) return "video pin";
    if (FAILED(ConnectFilters(graph.Get(), tee.Get(), demux.Get()))) return "tee - demux";
    if (FAILED(ConnectFilters(graph.Get(), demux.Get(), videoDecoder.Get()))) return "demux - video decoder";
    if (FAILED(ConnectFilters(graph.Get(), videoDecoder.Get(), videoRenderer.Get()))) return "video decoder - renderer";
    if (FAILED(CreateMappedPin(demuxControl.Get(), audio.type, u"Audio Out", audio.streamId, audio.substream,
                               audio.offset)))
        return "audio pin";
    if (FAILED(ConnectFilters(graph.Get(), demux.Get(), audioDecoder.Get()))) return "demux - audio decoder";
    if (FAILED(ConnectFilters(graph.Get(), audioDecoder.Get(), audioRenderer.Get()))) return "audio decoder - renderer";

    ComPtr<IMediaFilter> graphFilter;
    if (FAILED(graph->QueryInterface(IID_IMediaFilter, graphFilter.ReleaseAndGetVoidAddressOf()))) return "media filter";
    if (FAILED(audioRenderer->QueryInterface(IID_IReferenceClock, clock.ReleaseAndGetVoidAddressOf()))) return "clock";
    graphFilter->SetSyncSource(clock.Get());
    graph->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf());
    graph->QueryInterface(IID_IMediaEvent, events.ReleaseAndGetVoidAddressOf());
    return control && events ? "" : "control";
}

void PreviewGraph::TearDown()
{
    if (control) control->Stop();
    for (ComPtr<IBaseFilter>* f : {std::addressof(source), std::addressof(tee), std::addressof(demux), std::addressof(counter),
                                   std::addressof(videoDecoder), std::addressof(videoRenderer),
                                   std::addressof(audioDecoder), std::addressof(audioRenderer)}) {
        if (*f && graph) graph->RemoveFilter(f->Get());
        f->Reset();
    }
    clock.Reset();
    events.Reset();
    control.Reset();
    graph.Reset();
}

}  // namespace quvo::filters::test
