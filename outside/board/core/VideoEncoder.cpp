#include "outside/board/core/VideoEncoder.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/buffer.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/rational.h>
}

namespace quvo::board {

VideoFormat Sanitise(const VideoFormat& r)
{
    VideoFormat f = r;
    f.width = std::clamp(r.width, 16, 720) & ~1;
    f.height = std::clamp(r.height, 16, 576) & ~1;
    f.bitRate = std::clamp<std::uint32_t>(r.bitRate, 100000, 15000000);
    f.peakBitRate = std::clamp<std::uint32_t>(std::max(r.peakBitRate, f.bitRate), f.bitRate, 15000000);
    // MPEG-1 as the board makes it is always constant rate.
    if (f.mpeg1) f.vbr = false;
    return f;
}

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() { Close(); }

int VideoEncoder::BufferSizeBits(const VideoFormat& f)
{
    // Video CD's 40 KiB buffer for MPEG-1 at its own rates; otherwise main
    // profile's 224 KiB, or less at low rates so the buffer delay stays within
    // what the picture header can state (0.72 s), in whole 16 kbit units.
    if (f.mpeg1 && f.bitRate <= 1856000) return 327680;
    const std::int64_t fit = static_cast<std::int64_t>(f.bitRate) * 7 / 10 / 16384 * 16384;
    return static_cast<int>(std::clamp<std::int64_t>(fit, 327680, 1835008));
}

bool VideoEncoder::Open(const VideoFormat& format, std::string* error)
{
    Close();
    format_ = format;
    const AVCodec* codec = avcodec_find_encoder(format.mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
    if (!codec) {
        if (error) *error = "libavcodec has no MPEG video encoder";
        return false;
    }
    ctx_ = avcodec_alloc_context3(codec);
    if (!ctx_) {
        if (error) *error = "out of memory";
        return false;
    }
    const FrameRate rate = RateOf(format.tv);
    ctx_->width = format.width;
    ctx_->height = format.height;
    ctx_->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx_->time_base = AVRational{rate.den, rate.num};
    ctx_->framerate = AVRational{rate.num, rate.den};
    ctx_->gop_size = GopSizeOf(format.tv);
    ctx_->max_b_frames = 2;
    ctx_->flags |= AV_CODEC_FLAG_CLOSED_GOP;
    ctx_->thread_count = 1;
    // The board says nothing about its rate control; errors still show.
    ctx_->log_level_offset = 16;
    // Display aspect 4:3 whatever the coded size.
    av_reduce(&ctx_->sample_aspect_ratio.num, &ctx_->sample_aspect_ratio.den, 4LL * format.height,
              3LL * format.width, 255);
    ctx_->bit_rate = format.bitRate;
    ctx_->rc_max_rate = format.vbr ? format.peakBitRate : format.bitRate;
    ctx_->rc_min_rate = format.vbr ? 0 : format.bitRate;
    ctx_->rc_buffer_size = BufferSizeBits(format);
    ctx_->rc_initial_buffer_occupancy = ctx_->rc_buffer_size * 3 / 4;
    // Groups of fixed length: closed groups exclude scene-change detection.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "sc_threshold", "1000000000", 0);
    const int rc = avcodec_open2(ctx_, codec, &options);
    av_dict_free(&options);
    if (rc < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(rc, text, sizeof text);
        if (error) *error = std::string("cannot open the MPEG encoder: ") + text;
        Close();
        return false;
    }
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    lumaSize_ = format.width * format.height;
    pool_ = av_buffer_pool_init(static_cast<std::size_t>(lumaSize_ + lumaSize_ / 2), nullptr);
    if (!frame_ || !packet_ || !pool_) {
        if (error) *error = "out of memory";
        Close();
        return false;
    }
    return true;
}

void VideoEncoder::Close()
{
    if (frame_) av_frame_free(&frame_);
    if (packet_) av_packet_free(&packet_);
    if (ctx_) avcodec_free_context(&ctx_);
    if (pool_) av_buffer_pool_uninit(&pool_);
}

PlaneView VideoEncoder::NextFrame()
{
    // Each picture gets its own pooled buffer: the encoder keeps references to
    // the pictures it holds back for B coding, so a buffer is never reused early.
    av_frame_unref(frame_);
    frame_->buf[0] = av_buffer_pool_get(pool_);
    PlaneView v;
    if (!frame_->buf[0]) return v;
    std::uint8_t* base = frame_->buf[0]->data;
    frame_->format = AV_PIX_FMT_YUV420P;
    frame_->width = format_.width;
    frame_->height = format_.height;
    frame_->data[0] = base;
    frame_->data[1] = base + lumaSize_;
    frame_->data[2] = base + lumaSize_ + lumaSize_ / 4;
    frame_->linesize[0] = format_.width;
    frame_->linesize[1] = frame_->linesize[2] = format_.width / 2;
    for (int p = 0; p < 3; ++p) {
        v.data[p] = frame_->data[p];
        v.stride[p] = frame_->linesize[p];
    }
    v.width = format_.width;
    v.height = format_.height;
    return v;
}

bool VideoEncoder::Encode(std::int64_t pts, const PictureSink& sink)
{
    if (!ctx_ || !frame_->buf[0]) return false;
    frame_->pts = pts;
    if (avcodec_send_frame(ctx_, frame_) < 0) return false;
    av_frame_unref(frame_);
    return Receive(sink);
}

void VideoEncoder::Drain(const PictureSink& sink)
{
    if (!ctx_) return;
    if (avcodec_send_frame(ctx_, nullptr) >= 0) Receive(sink);
    Close();
}

bool VideoEncoder::Receive(const PictureSink& sink)
{
    for (;;) {
        const int rc = avcodec_receive_packet(ctx_, packet_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return false;
        sink(CodedPicture{packet_->data, static_cast<std::size_t>(packet_->size), packet_->pts, packet_->dts,
                          (packet_->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet_);
    }
}

}  // namespace quvo::board
