// RAII owners for the FFmpeg objects the decoders use.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace quvo::mpegdec {

struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ParserDeleter {
    void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrDeleter {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using ParserPtr = std::unique_ptr<AVCodecParserContext, ParserDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;

// FFmpeg's parsers read up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the data
// they are given, so data from a sample or a PES packet is copied here first.
class PaddedInput {
public:
    const std::uint8_t* Hold(const std::uint8_t* data, std::size_t size)
    {
        buffer_.resize(size + AV_INPUT_BUFFER_PADDING_SIZE);
        if (size > 0) std::memcpy(buffer_.data(), data, size);
        std::memset(buffer_.data() + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
        return buffer_.data();
    }

private:
    std::vector<std::uint8_t> buffer_;
};

// Sample times are carried through the codecs in 100 ns units.
inline constexpr AVRational kReferenceTimeBase = {1, 10000000};

// What one decoder keeps open: the codec, a parser that cuts the elementary stream
// into access units, and the packet and frame it decodes through.
struct DecoderSession {
    CodecContextPtr codec;
    ParserPtr parser;
    PacketPtr packet;
    FramePtr frame;
};

// Opens a single-threaded decoder and its parser for `id`; false and nothing kept on
// any failure.
inline bool OpenDecoderSession(AVCodecID id, DecoderSession* out)
{
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return false;
    DecoderSession s{CodecContextPtr(avcodec_alloc_context3(codec)), ParserPtr(av_parser_init(id)),
                     PacketPtr(av_packet_alloc()), FramePtr(av_frame_alloc())};
    if (!s.codec || !s.parser || !s.packet || !s.frame) return false;
    s.codec->thread_count = 1;
    s.codec->pkt_timebase = kReferenceTimeBase;
    if (avcodec_open2(s.codec.get(), codec, nullptr) < 0) return false;
    *out = std::move(s);
    return true;
}

}  // namespace quvo::mpegdec
