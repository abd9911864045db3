#include "outside/board/core/MediaFileSource.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace quvo::board {
namespace {

constexpr std::size_t kMaxQueuedPictures = 32;
constexpr int kRate = 48000;

AVCodecContext* OpenDecoder(AVFormatContext* format, int stream)
{
    const AVCodecParameters* par = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    ctx->thread_count = 1;
    if (avcodec_parameters_to_context(ctx, par) < 0 || avcodec_open2(ctx, codec, nullptr) < 0)
        avcodec_free_context(&ctx);
    return ctx;
}

}  // namespace

MediaFileSource::~MediaFileSource() { Close(); }

void MediaFileSource::Close()
{
    for (AVFrame* f : pictures_) av_frame_free(&f);
    pictures_.clear();
    if (sws_) sws_freeContext(sws_);
    sws_ = nullptr;
    if (swr_) swr_free(&swr_);
    if (decoded_) av_frame_free(&decoded_);
    if (packet_) av_packet_free(&packet_);
    if (videoCtx_) avcodec_free_context(&videoCtx_);
    if (audioCtx_) avcodec_free_context(&audioCtx_);
    if (format_) avformat_close_input(&format_);
}

bool MediaFileSource::Open(const std::string& path, std::string* error)
{
    Close();
    if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) {
        if (error) *error = "cannot open the source file " + path;
        return false;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) {
        if (error) *error = "cannot read the streams of " + path;
        Close();
        return false;
    }
    videoStream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audioStream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (videoStream_ >= 0) videoCtx_ = OpenDecoder(format_, videoStream_);
    if (audioStream_ >= 0) audioCtx_ = OpenDecoder(format_, audioStream_);
    if (!videoCtx_) {
        if (error) *error = "the source file " + path + " has no picture the board can decode";
        Close();
        return false;
    }
    if (audioCtx_) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_S16, kRate, &audioCtx_->ch_layout,
                                audioCtx_->sample_fmt, audioCtx_->sample_rate, 0, nullptr) < 0 ||
            swr_init(swr_) < 0) {
            swr_free(&swr_);
            avcodec_free_context(&audioCtx_);
        }
    }
    packet_ = av_packet_alloc();
    decoded_ = av_frame_alloc();
    return packet_ && decoded_;
}

void MediaFileSource::Decode(AVCodecContext* ctx, AVPacket* packet)
{
    if (avcodec_send_packet(ctx, packet) < 0) return;
    while (avcodec_receive_frame(ctx, decoded_) >= 0) {
        if (ctx == videoCtx_) {
            if (pictures_.size() >= kMaxQueuedPictures) {
                AVFrame* old = pictures_.front();
                pictures_.pop_front();
                av_frame_free(&old);
            }
            pictures_.push_back(av_frame_clone(decoded_));
        } else if (swr_) {
            const int room = swr_get_out_samples(swr_, decoded_->nb_samples);
            if (room > 0) {
                const std::size_t at = samples_.size();
                samples_.resize(at + static_cast<std::size_t>(room) * 2);
                std::uint8_t* outPlanes[1] = {reinterpret_cast<std::uint8_t*>(samples_.data() + at)};
                const int got = swr_convert(swr_, outPlanes, room, const_cast<const std::uint8_t**>(decoded_->extended_data),
                                            decoded_->nb_samples);
                samples_.resize(at + static_cast<std::size_t>(std::max(got, 0)) * 2);
            }
        }
        av_frame_unref(decoded_);
    }
}

bool MediaFileSource::Pump()
{
    const int rc = av_read_frame(format_, packet_);
    if (rc < 0) {
        // End of the file: flush nothing, start over (a file that yields nothing
        // in a whole pass is given up).
        if (++emptyLoops_ > 2) return false;
        av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BACKWARD);
        if (videoCtx_) avcodec_flush_buffers(videoCtx_);
        if (audioCtx_) avcodec_flush_buffers(audioCtx_);
        return true;
    }
    if (packet_->stream_index == videoStream_) {
        emptyLoops_ = 0;
        Decode(videoCtx_, packet_);
    } else if (packet_->stream_index == audioStream_ && audioCtx_) {
        Decode(audioCtx_, packet_);
    }
    av_packet_unref(packet_);
    return true;
}

bool MediaFileSource::ReadPicture(const PlaneView& dst)
{
    if (!format_) return false;
    while (pictures_.empty())
        if (!Pump()) return false;
    AVFrame* f = pictures_.front();
    pictures_.pop_front();
    sws_ = sws_getCachedContext(sws_, f->width, f->height, static_cast<AVPixelFormat>(f->format), dst.width,
                                dst.height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    bool ok = false;
    if (sws_) {
        std::uint8_t* planes[4] = {dst.data[0], dst.data[1], dst.data[2], nullptr};
        int strides[4] = {dst.stride[0], dst.stride[1], dst.stride[2], 0};
        ok = sws_scale(sws_, f->data, f->linesize, 0, f->height, planes, strides) > 0;
    }
    av_frame_free(&f);
    return ok;
}

void MediaFileSource::ReadAudio(std::size_t frames, double gain, std::vector<std::int16_t>& out)
{
    // Only read ahead while pictures are not piling up, so sound and picture keep pace.
    while (format_ && swr_ && samples_.size() - samplesRead_ < frames * 2 && pictures_.size() < kMaxQueuedPictures)
        if (!Pump()) break;
    const std::size_t have = std::min(frames * 2, samples_.size() - samplesRead_);
    for (std::size_t i = 0; i < have; ++i)
        out.push_back(static_cast<std::int16_t>(std::lround(samples_[samplesRead_ + i] * gain)));
    out.insert(out.end(), frames * 2 - have, 0);
    samplesRead_ += have;
    if (samplesRead_ > 1 << 16) {
        samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(samplesRead_));
        samplesRead_ = 0;
    }
}

}  // namespace quvo::board
