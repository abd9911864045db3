// A field deinterlacer for decoded pictures: libavfilter's yadif, one picture out
// per picture in (one picture of delay, handed out at the end of the stream).
// Times travel in the pictures' pts, in 100 ns units. Plain C++; the owner
// serialises calls.
#pragma once

#include <cstdint>
#include <functional>

#include "outside/mpeg/FfmpegHandles.h"

struct AVFilterGraph;
struct AVFilterContext;

namespace quvo::mpegdec {

class Deinterlacer {
public:
    // Gets each deinterlaced picture; returns false to stop handing out the rest.
    using Sink = std::function<bool(const AVFrame*)>;

    Deinterlacer() = default;
    ~Deinterlacer() { Reset(); }
    Deinterlacer(const Deinterlacer&) = delete;
    Deinterlacer& operator=(const Deinterlacer&) = delete;

    // Feeds one picture (not taken over). The filter graph is built for the first
    // picture and again whenever size or format change. False when the filter
    // cannot run: the caller then shows the picture as it is.
    bool Push(const AVFrame* picture, const Sink& sink);
    // End of stream: the held picture comes out.
    void Drain(const Sink& sink);
    // Forgets the held picture (flush, stop).
    void Reset();

private:
    bool Build(const AVFrame* picture);
    bool Pull(const Sink& sink);

    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sinkFilter_ = nullptr;
    int width_ = 0, height_ = 0, format_ = -1;
    FramePtr out_;
};

}  // namespace quvo::mpegdec
