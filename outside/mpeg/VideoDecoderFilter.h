// MPEG video decoder filter: MPEG-1 or MPEG-2 video in (the demultiplexer's "Video
// Out" type with its MPEG2VIDEOINFO, or a splitter's MPEG-1 type), RGB32 out at the
// size the input type names, top-down. The codec opens when streaming starts, so
// creating and releasing the filter costs nothing.
//
// Locks: those of CTransformFilter. The decoder core is touched only under the
// receive lock (Receive, EndOfStream, EndFlush) or while stopped (StartStreaming,
// StopStreaming run under the filter lock with the receive lock held or no
// streaming possible).
#pragma once

#include "outside/mpeg/VideoDecoderCore.h"
#include "outside/mpeg/VideoFormat.h"
#include "platform/graph/base/TransformFilter.h"

namespace quvo::mpegdec {

class VideoDecoderFilter final : public CTransformFilter {
public:
    // The class table creates it (CreateComObject).
    VideoDecoderFilter(IUnknown* outer, HRESULT* hr);

    HRESULT CheckInputType(const CMediaType* mt) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;

private:
    // Converts and delivers one picture; false stops the current decode call.
    bool DeliverPicture(const DecodedPicture& picture);

    VideoGeometry input_{};   // from the input type (filter lock)
    bool topDown_ = true;     // from the output type (filter lock)
    VideoDecoderCore core_;   // receive lock
    HRESULT lastDeliver_ = S_OK;
};

}  // namespace quvo::mpegdec
