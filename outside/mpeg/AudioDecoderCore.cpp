#include "outside/mpeg/AudioDecoderCore.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace quvo::mpegdec {
bool AudioDecoderCore::Open(AudioCoding coding, int channels, int rate, int bitsPerSample)
{
    Close();
    if (channels < 1 || channels > 8 || rate < 8000 || rate > 192000) return false;
    coding_ = coding;
    channels_ = channels;
    rate_ = rate;
    bits_ = bitsPerSample;
    if (coding == AudioCoding::Lpcm) {
        if (bits_ != 16 && bits_ != 20 && bits_ != 24) return false;
        open_ = true;
        return true;
    }
    // The MPEG audio parser knows layers 1 to 3 whichever id it was opened for.
    const AVCodecID id = coding == AudioCoding::Ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2;
    DecoderSession session;
    if (!OpenDecoderSession(id, &session)) return false;
    codec_ = std::move(session.codec);
    parser_ = std::move(session.parser);
    packet_ = std::move(session.packet);
    frame_ = std::move(session.frame);
    open_ = true;
    return true;
}

void AudioDecoderCore::Close()
{
    swr_.reset();
    av_channel_layout_uninit(&swrInLayout_);
    swrInRate_ = 0;
    swrInFormat_ = -1;
    frame_.reset();
    packet_.reset();
    parser_.reset();
    codec_.reset();
    partial_.clear();
    haveTime_ = false;
    open_ = false;
}

void AudioDecoderCore::Flush()
{
    partial_.clear();
    haveTime_ = false;
    if (codec_) {
        avcodec_flush_buffers(codec_.get());
        parser_.reset(av_parser_init(codec_->codec_id));
    }
    if (swr_) swr_init(swr_.get());
}

void AudioDecoderCore::Decode(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                              const PcmSink& sink)
{
    if (!open_) return;
    if (coding_ == AudioCoding::Lpcm) DecodeLpcm(data, size, hasTime, time, sink);
    else DecodeCoded(data, size, hasTime, time, sink);
}

bool AudioDecoderCore::Emit(std::size_t frames, bool hasTime, std::int64_t start, const PcmSink& sink)
{
    if (frames == 0) return true;
    if (hasTime) {
        nextTime_ = start;
        haveTime_ = true;
    }
    PcmBlock block;
    block.samples = out_.data();
    block.frames = frames;
    block.hasTime = haveTime_;
    block.start = nextTime_;
    nextTime_ += static_cast<std::int64_t>(frames) * 10000000 / rate_;
    framesOut_ += frames;
    return sink(block);
}

void AudioDecoderCore::DecodeLpcm(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                                  const PcmSink& sink)
{
    // A group is one sample frame at 16 bits; at 20 and 24 bits it is two sample
    // frames: the high 16 bits of each sample, then the low bits, which are dropped.
    const std::size_t samplesPerGroup = bits_ == 16 ? 1 : 2;
    const std::size_t group = bits_ == 16 ? static_cast<std::size_t>(2 * channels_)
                                          : static_cast<std::size_t>(channels_ * bits_ / 4);

    // The stamp belongs to the first group that starts in this payload; a group
    // begun in the last payload comes out first, one group earlier.
    std::int64_t start = time;
    if (hasTime && !partial_.empty())
        start -= static_cast<std::int64_t>(samplesPerGroup) * 10000000 / rate_;
    partial_.insert(partial_.end(), data, data + size);
    const std::size_t groups = partial_.size() / group;
    const std::size_t frames = groups * samplesPerGroup;
    out_.resize(frames * static_cast<std::size_t>(channels_));

    const std::uint8_t* p = partial_.data();
    std::int16_t* o = out_.data();
    for (std::size_t g = 0; g < groups; ++g, p += group) {
        // High 16 bits of every sample of the group come first, big-endian.
        const std::size_t n = samplesPerGroup * static_cast<std::size_t>(channels_);
        for (std::size_t i = 0; i < n; ++i)
            *o++ = static_cast<std::int16_t>((p[2 * i] << 8) | p[2 * i + 1]);
    }
    partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(groups * group));
    Emit(frames, hasTime, start, sink);
}

void AudioDecoderCore::DecodeCoded(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                                   const PcmSink& sink)
{
    data = input_.Hold(data, size);
    std::int64_t pts = hasTime ? time : AV_NOPTS_VALUE;
    while (size > 0) {
        std::uint8_t* out = nullptr;
        int outSize = 0;
        const int used = av_parser_parse2(parser_.get(), codec_.get(), &out, &outSize, data,
                                          static_cast<int>(size), pts, pts, 0);
        if (used < 0) {
            ++errors_;
            return;
        }
        data += used;
        size -= static_cast<std::size_t>(used);
        pts = AV_NOPTS_VALUE;
        if (outSize > 0) {
            packet_->data = out;
            packet_->size = outSize;
            packet_->pts = parser_->pts;
            packet_->dts = parser_->dts;
            SendPacket(packet_.get(), sink);
        }
        if (used == 0 && outSize == 0) break;
    }
}

void AudioDecoderCore::Drain(const PcmSink& sink)
{
    if (!open_) return;
    if (coding_ == AudioCoding::Lpcm) {
        partial_.clear();
        return;
    }
    std::uint8_t* out = nullptr;
    int outSize = 0;
    av_parser_parse2(parser_.get(), codec_.get(), &out, &outSize, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (outSize > 0) {
        packet_->data = out;
        packet_->size = outSize;
        packet_->pts = parser_->pts;
        SendPacket(packet_.get(), sink);
    }
    SendPacket(nullptr, sink);
    avcodec_flush_buffers(codec_.get());
}

void AudioDecoderCore::SendPacket(const AVPacket* packet, const PcmSink& sink)
{
    if (avcodec_send_packet(codec_.get(), packet) < 0 && packet) ++errors_;
    for (;;) {
        const int rc = avcodec_receive_frame(codec_.get(), frame_.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
        if (rc < 0) {
            ++errors_;
            return;
        }
        const bool goOn = ConvertFrame(frame_.get(), sink);
        av_frame_unref(frame_.get());
        if (!goOn) return;
    }
}

bool AudioDecoderCore::ConvertFrame(AVFrame* frame, const PcmSink& sink)
{
    // (Re)build the converter whenever the stream's own format changes.
    if (!swr_ || swrInRate_ != frame->sample_rate || swrInFormat_ != frame->format
        || av_channel_layout_compare(&swrInLayout_, &frame->ch_layout) != 0) {
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, channels_);
        SwrContext* raw = nullptr;
        const int rc = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, rate_, &frame->ch_layout,
                                           static_cast<AVSampleFormat>(frame->format), frame->sample_rate,
                                           0, nullptr);
        av_channel_layout_uninit(&outLayout);
        SwrPtr swr(raw);
        if (rc < 0 || swr_init(swr.get()) < 0) {
            ++errors_;
            return true;
        }
        swr_ = std::move(swr);
        swrInRate_ = frame->sample_rate;
        swrInFormat_ = frame->format;
        av_channel_layout_uninit(&swrInLayout_);
        av_channel_layout_copy(&swrInLayout_, &frame->ch_layout);
    }
    const int maxOut = swr_get_out_samples(swr_.get(), frame->nb_samples);
    if (maxOut <= 0) return true;
    out_.resize(static_cast<std::size_t>(maxOut) * static_cast<std::size_t>(channels_));
    std::uint8_t* outPlanes[1] = {reinterpret_cast<std::uint8_t*>(out_.data())};
    const int got = swr_convert(swr_.get(), outPlanes, maxOut, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    if (got < 0) {
        ++errors_;
        return true;
    }
    const std::int64_t pts = frame->best_effort_timestamp;
    return Emit(static_cast<std::size_t>(got), pts != AV_NOPTS_VALUE, pts, sink);
}

}  // namespace quvo::mpegdec
