// The preview branch as the SDK builds it: source -> Infinite Pin Tee ->
// MPEG-2 Demultiplexer ("Video Out", "Audio Out") -> decoders -> renderers, with
// the audio renderer as the graph's clock.
#pragma once

#include <memory>
#include <string>

#include "platform/filters/tests/GraphHelpers.h"
#include "platform/filters/tests/PictureCounter.h"

namespace quvo::filters::test {

struct AudioMapping {
    CMediaType type;
    ULONG streamId;
    ULONG substream;
    int offset;
};

struct PreviewGraph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> source, tee, demux, videoDecoder, videoRenderer, audioDecoder, audioRenderer;
    // On the tee's first output, where the SDK puts the writer: what the source sent.
    ComPtr<IBaseFilter> counter;
    std::shared_ptr<PictureLog> pictures;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ComPtr<IReferenceClock> clock;  // the audio renderer's

    // Empty on success, else the step that failed. The source is a file played by
    // PacedFileSource, or a given capture filter.
    std::string Build(const std::string& file, bool paced, const CMediaType& videoType, const AudioMapping& audio);
    std::string Build(ComPtr<IBaseFilter> capture, const CMediaType& videoType, const AudioMapping& audio);
    void TearDown();
};

}  // namespace quvo::filters::test
