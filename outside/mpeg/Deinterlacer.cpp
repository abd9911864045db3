#include "outside/mpeg/Deinterlacer.h"

#include <string>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace quvo::mpegdec {

void Deinterlacer::Reset()
{
    avfilter_graph_free(&graph_);
    source_ = nullptr;
    sinkFilter_ = nullptr;
    format_ = -1;
}

bool Deinterlacer::Build(const AVFrame* picture)
{
    Reset();
    graph_ = avfilter_graph_alloc();
    if (!graph_) return false;
    graph_->nb_threads = 1;
    const std::string args = "video_size=" + std::to_string(picture->width) + "x" + std::to_string(picture->height) +
                             ":pix_fmt=" + std::to_string(picture->format) + ":time_base=1/10000000:pixel_aspect=1/1";
    // send_frame: one picture per picture; deint=all: the board marks its pictures
    // progressive, yet an analogue source is interlaced.
    if (avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", args.c_str(), nullptr, graph_) <
            0 ||
        avfilter_graph_create_filter(&sinkFilter_, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                     graph_) < 0) {
        Reset();
        return false;
    }
    AVFilterContext* yadif = nullptr;
    if (avfilter_graph_create_filter(&yadif, avfilter_get_by_name("yadif"), "deinterlace",
                                     "mode=send_frame:parity=auto:deint=all", nullptr, graph_) < 0 ||
        avfilter_link(source_, 0, yadif, 0) < 0 || avfilter_link(yadif, 0, sinkFilter_, 0) < 0 ||
        avfilter_graph_config(graph_, nullptr) < 0) {
        Reset();
        return false;
    }
    width_ = picture->width;
    height_ = picture->height;
    format_ = picture->format;
    if (!out_) out_.reset(av_frame_alloc());
    return out_ != nullptr;
}

bool Deinterlacer::Push(const AVFrame* picture, const Sink& sink)
{
    if (!graph_ || picture->width != width_ || picture->height != height_ || picture->format != format_) {
        if (!Build(picture)) return false;
    }
    // The source takes its own reference; the caller keeps the picture.
    if (av_buffersrc_add_frame_flags(source_, const_cast<AVFrame*>(picture), AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
        return false;
    Pull(sink);
    return true;
}

void Deinterlacer::Drain(const Sink& sink)
{
    if (!graph_) return;
    if (av_buffersrc_add_frame_flags(source_, nullptr, 0) >= 0) Pull(sink);
    Reset();
}

bool Deinterlacer::Pull(const Sink& sink)
{
    for (;;) {
        if (av_buffersink_get_frame(sinkFilter_, out_.get()) < 0) return true;  // EAGAIN or end
        // The filter counts in half the input's unit (it could output fields).
        if (out_->pts != AV_NOPTS_VALUE)
            out_->pts = av_rescale_q(out_->pts, av_buffersink_get_time_base(sinkFilter_), kReferenceTimeBase);
        const bool goOn = sink(out_.get());
        av_frame_unref(out_.get());
        if (!goOn) return false;
    }
}

}  // namespace quvo::mpegdec
