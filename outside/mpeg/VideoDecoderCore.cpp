#include "outside/mpeg/VideoDecoderCore.h"

namespace quvo::mpegdec {

bool VideoDecoderCore::Open(std::int64_t frameDuration)
{
    Close();
    // One decoder reads MPEG-1 and MPEG-2 alike: the sequence header tells them apart.
    DecoderSession session;
    if (!OpenDecoderSession(AV_CODEC_ID_MPEG2VIDEO, &session)) return false;
    codec_ = std::move(session.codec);
    parser_ = std::move(session.parser);
    packet_ = std::move(session.packet);
    frame_ = std::move(session.frame);
    frameDuration_ = frameDuration > 0 ? frameDuration : 400000;
    haveTime_ = false;
    return true;
}

void VideoDecoderCore::SetOptions(const VideoDecoderOptions& options)
{
    options_ = options;
    // Without error pictures the codec decodes strictly: a picture with a damaged
    // slice is refused instead of concealed. The codec reads this per picture.
    if (codec_) codec_->err_recognition = options.showErrorFrames ? 0 : AV_EF_EXPLODE;
}

void VideoDecoderCore::Close()
{
    deinterlacer_.Reset();
    sws_.reset();
    frame_.reset();
    packet_.reset();
    parser_.reset();
    codec_.reset();
}

void VideoDecoderCore::Flush()
{
    if (!codec_) return;
    avcodec_flush_buffers(codec_.get());
    deinterlacer_.Reset();
    // A fresh parser forgets the partial picture it held.
    parser_.reset(av_parser_init(AV_CODEC_ID_MPEG2VIDEO));
    haveTime_ = false;
}

void VideoDecoderCore::Decode(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                              const PictureSink& sink)
{
    if (!codec_ || !parser_) return;
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
        pts = AV_NOPTS_VALUE;  // the stamp belongs to the first picture only
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

void VideoDecoderCore::Drain(const PictureSink& sink)
{
    if (!codec_ || !parser_) return;
    std::uint8_t* out = nullptr;
    int outSize = 0;
    av_parser_parse2(parser_.get(), codec_.get(), &out, &outSize, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (outSize > 0) {
        packet_->data = out;
        packet_->size = outSize;
        packet_->pts = parser_->pts;
        packet_->dts = parser_->dts;
        SendPacket(packet_.get(), sink);
    }
    SendPacket(nullptr, sink);
    deinterlacer_.Drain([&](const AVFrame* f) {
        DecodedPicture p;
        p.frame = f;
        p.hasTime = deinterlacedTimes_ && f->pts != AV_NOPTS_VALUE;
        p.start = p.hasTime ? f->pts : 0;
        p.duration = frameDuration_;
        return sink(p);
    });
    // The decoder is at end of stream now; make it usable again for the next run.
    avcodec_flush_buffers(codec_.get());
}

void VideoDecoderCore::SendPacket(const AVPacket* packet, const PictureSink& sink)
{
    int rc = avcodec_send_packet(codec_.get(), packet);
    if (rc == AVERROR(EAGAIN)) {
        if (!ReceivePictures(sink)) return;
        rc = avcodec_send_packet(codec_.get(), packet);
    }
    if (rc < 0 && rc != AVERROR_EOF) {
        ++errors_;
        // Strict decoding refuses a damaged picture's data: that picture is dropped.
        if (packet && !options_.showErrorFrames) ++dropped_;
    }
    ReceivePictures(sink);
}

bool VideoDecoderCore::ReceivePictures(const PictureSink& sink)
{
    for (;;) {
        const int rc = avcodec_receive_frame(codec_.get(), frame_.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) {
            ++errors_;
            return true;
        }
        const bool damaged = frame_->decode_error_flags != 0 || (frame_->flags & AV_FRAME_FLAG_CORRUPT);
        if (damaged) ++errors_;
        if (codec_->framerate.num > 0 && codec_->framerate.den > 0)
            frameDuration_ = av_rescale_q(1, av_inv_q(codec_->framerate), kReferenceTimeBase);

        DecodedPicture picture;
        picture.frame = frame_.get();
        picture.duration = frameDuration_ * (2 + frame_->repeat_pict) / 2;
        const std::int64_t pts = frame_->pts;
        if (pts != AV_NOPTS_VALUE) {
            nextTime_ = pts;
            haveTime_ = true;
        }
        picture.damaged = damaged;
        picture.hasTime = haveTime_;
        picture.start = nextTime_;
        nextTime_ += picture.duration;
        ++pictures_;
        bool goOn = true;
        if (damaged && !options_.showErrorFrames) ++dropped_;
        else goOn = Hand(picture, sink);
        av_frame_unref(frame_.get());
        if (!goOn) return false;
    }
}

bool VideoDecoderCore::Hand(const DecodedPicture& picture, const PictureSink& sink)
{
    if (!options_.deinterlace) return sink(picture);
    // The picture's time rides in its pts through the filter (one picture of delay).
    frame_->pts = picture.hasTime ? picture.start : AV_NOPTS_VALUE;
    deinterlacedTimes_ = picture.hasTime;
    const std::int64_t duration = picture.duration;
    const bool damaged = picture.damaged;
    bool goOn = true;
    const bool ran = deinterlacer_.Push(frame_.get(), [&](const AVFrame* f) {
        DecodedPicture out;
        out.frame = f;
        out.hasTime = f->pts != AV_NOPTS_VALUE;
        out.start = out.hasTime ? f->pts : 0;
        out.duration = duration;
        out.damaged = damaged;
        goOn = sink(out);
        return goOn;
    });
    return ran ? goOn : sink(picture);  // a filter that cannot run shows the picture as it is
}

bool VideoDecoderCore::ConvertToBgra(const AVFrame* frame, std::uint8_t* dst, int stride, int width,
                                     int height)
{
    if (!frame || width <= 0 || height <= 0) return false;
    sws_.reset(sws_getCachedContext(sws_.release(), frame->width, frame->height,
                                    static_cast<AVPixelFormat>(frame->format), width, height,
                                    AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!sws_) return false;
    std::uint8_t* planes[4] = {dst, nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    return sws_scale(sws_.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) == height;
}

}  // namespace quvo::mpegdec
