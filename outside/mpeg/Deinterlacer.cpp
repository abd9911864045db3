#include "outside/mpeg/Deinterlacer.h"

#include <dlfcn.h>

#include <string>
#include <type_traits>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace quvo::mpegdec {
namespace {

// libavfilter and the sixty-odd libraries it pulls in cost every process that
// loads a decoder about 70 ms, yet only interlaced pictures need it: it is
// loaded at the first deinterlaced picture, and stays.
struct FilterLibrary {
    decltype(&avfilter_graph_alloc) graphAlloc = nullptr;
    decltype(&avfilter_graph_free) graphFree = nullptr;
    decltype(&avfilter_get_by_name) getByName = nullptr;
    decltype(&avfilter_graph_create_filter) createFilter = nullptr;
    decltype(&avfilter_link) link = nullptr;
    decltype(&avfilter_graph_config) config = nullptr;
    decltype(&av_buffersrc_add_frame_flags) addFrame = nullptr;
    decltype(&av_buffersink_get_frame) getFrame = nullptr;
    decltype(&av_buffersink_get_time_base) timeBase = nullptr;

    // Null when the library or one of its functions is missing.
    static const FilterLibrary* Get()
    {
        static const FilterLibrary* const loaded = Load();
        return loaded;
    }

private:
    static const FilterLibrary* Load()
    {
        void* handle = ::dlopen("libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR),
                                RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!handle) return nullptr;
        static FilterLibrary f;
        const auto find = [handle](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(handle, name));
            return fn != nullptr;
        };
        const bool all = find(f.graphAlloc, "avfilter_graph_alloc") && find(f.graphFree, "avfilter_graph_free") &&
                         find(f.getByName, "avfilter_get_by_name") &&
                         find(f.createFilter, "avfilter_graph_create_filter") && find(f.link, "avfilter_link") &&
                         find(f.config, "avfilter_graph_config") &&
                         find(f.addFrame, "av_buffersrc_add_frame_flags") &&
                         find(f.getFrame, "av_buffersink_get_frame") &&
                         find(f.timeBase, "av_buffersink_get_time_base");
        return all ? &f : nullptr;
    }
};

}  // namespace

void Deinterlacer::Reset()
{
    if (graph_) FilterLibrary::Get()->graphFree(&graph_);
    source_ = nullptr;
    sinkFilter_ = nullptr;
    format_ = -1;
}

bool Deinterlacer::Build(const AVFrame* picture)
{
    Reset();
    const FilterLibrary* av = FilterLibrary::Get();
    if (!av) return false;
    graph_ = av->graphAlloc();
    if (!graph_) return false;
    graph_->nb_threads = 1;
    const std::string args = "video_size=" + std::to_string(picture->width) + "x" + std::to_string(picture->height) +
                             ":pix_fmt=" + std::to_string(picture->format) + ":time_base=1/10000000:pixel_aspect=1/1";
    // send_frame: one picture per picture; deint=all: the board marks its pictures
    // progressive, yet an analogue source is interlaced.
    if (av->createFilter(&source_, av->getByName("buffer"), "in", args.c_str(), nullptr, graph_) < 0 ||
        av->createFilter(&sinkFilter_, av->getByName("buffersink"), "out", nullptr, nullptr, graph_) < 0) {
        Reset();
        return false;
    }
    AVFilterContext* yadif = nullptr;
    if (av->createFilter(&yadif, av->getByName("yadif"), "deinterlace", "mode=send_frame:parity=auto:deint=all",
                         nullptr, graph_) < 0 ||
        av->link(source_, 0, yadif, 0) < 0 || av->link(yadif, 0, sinkFilter_, 0) < 0 ||
        av->config(graph_, nullptr) < 0) {
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
    if (FilterLibrary::Get()->addFrame(source_, const_cast<AVFrame*>(picture), AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
        return false;
    Pull(sink);
    return true;
}

void Deinterlacer::Drain(const Sink& sink)
{
    if (!graph_) return;
    if (FilterLibrary::Get()->addFrame(source_, nullptr, 0) >= 0) Pull(sink);
    Reset();
}

bool Deinterlacer::Pull(const Sink& sink)
{
    const FilterLibrary* av = FilterLibrary::Get();
    for (;;) {
        if (av->getFrame(sinkFilter_, out_.get()) < 0) return true;  // EAGAIN or end
        // The filter counts in half the input's unit (it could output fields).
        if (out_->pts != AV_NOPTS_VALUE)
            out_->pts = av_rescale_q(out_->pts, av->timeBase(sinkFilter_), kReferenceTimeBase);
        const bool goOn = sink(out_.get());
        av_frame_unref(out_.get());
        if (!goOn) return false;
    }
}

}  // namespace quvo::mpegdec
