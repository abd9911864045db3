// MPEG-1/MPEG-2 video encoding with libavcodec, one thread, as the board's encoder
// chip does it: fixed group length with a sequence header at every group, closed
// groups, two B pictures between references, constant or variable bit rate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "outside/board/core/Picture.h"
#include "outside/board/core/Settings.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVBufferPool;

namespace quvo::board {

// One coded picture. Times count frame periods of the open format.
struct CodedPicture {
    const std::uint8_t* data;
    std::size_t size;
    std::int64_t pts;
    std::int64_t dts;
    bool key;
};
using PictureSink = std::function<void(const CodedPicture&)>;

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Opens the encoder for `format` (already sanitised); false with a reason.
    bool Open(const VideoFormat& format, std::string* error);
    bool IsOpen() const { return ctx_ != nullptr; }
    const VideoFormat& Format() const { return format_; }

    // A frame to draw the next picture into; valid until Encode.
    PlaneView NextFrame();
    // Encodes the frame from NextFrame as picture number `pts` and hands out
    // every coded picture that is ready.
    bool Encode(std::int64_t pts, const PictureSink& sink);
    // Codes what is still held back (B pictures) and closes the encoder.
    void Drain(const PictureSink& sink);

    // The rate-control settings Open gives libavcodec, for tools that must match them.
    static int BufferSizeBits(const VideoFormat& format);

private:
    bool Receive(const PictureSink& sink);
    void Close();

    VideoFormat format_;
    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVBufferPool* pool_ = nullptr;
    int lumaSize_ = 0;
};

}  // namespace quvo::board
