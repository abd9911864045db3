// MPEG-1/MPEG-2 video decoding to 32-bit BGRA pictures (libavcodec, one thread,
// libswscale for the conversion). Elementary-stream data arrives in pieces of any
// size, some with a time stamp; pictures leave in display order with their times.
// Plain C++; the owner serialises calls.
#pragma once

#include <cstdint>
#include <functional>

#include "outside/mpeg/Deinterlacer.h"
#include "outside/mpeg/FfmpegHandles.h"

namespace quvo::mpegdec {

struct DecodedPicture {
    const AVFrame* frame = nullptr;
    bool hasTime = false;
    std::int64_t start = 0;     // 100 ns
    std::int64_t duration = 0;  // 100 ns
    bool damaged = false;       // decoded with errors (concealed)
};

// The user's choices that change pictures (read from the decoder's options).
struct VideoDecoderOptions {
    bool deinterlace = false;
    bool showErrorFrames = false;  // false: pictures decoded with errors are dropped
};

class VideoDecoderCore {
public:
    // Returns false to stop decoding the current data (the consumer is flushing).
    using PictureSink = std::function<bool(const DecodedPicture&)>;

    // `frameDuration` (100 ns) is used for pictures without a time stamp until the
    // stream's own frame rate is known; 0 means 25 frames per second.
    bool Open(std::int64_t frameDuration);
    void Close();
    bool IsOpen() const { return codec_ != nullptr; }
    // Takes effect from the next picture.
    void SetOptions(const VideoDecoderOptions& options);

    // Feeds elementary-stream bytes; `time` belongs to the first picture that starts
    // in them. Decoding errors are counted, not fatal: the decoder resynchronises.
    void Decode(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                const PictureSink& sink);
    // End of stream: hands out the pictures still held for reordering.
    void Drain(const PictureSink& sink);
    // Discards everything held (seek, flush, stop).
    void Flush();

    // Converts to BGRA at the given size (scaling when it differs from the picture);
    // rows `stride` bytes apart, top row first.
    bool ConvertToBgra(const AVFrame* frame, std::uint8_t* dst, int stride, int width, int height);

    std::uint64_t PicturesDecoded() const { return pictures_; }
    std::uint64_t Errors() const { return errors_; }
    std::uint64_t PicturesDropped() const { return dropped_; }

private:
    void SendPacket(const AVPacket* packet, const PictureSink& sink);
    bool ReceivePictures(const PictureSink& sink);
    // Hands `picture` out, through the deinterlacer when it is on.
    bool Hand(const DecodedPicture& picture, const PictureSink& sink);

    CodecContextPtr codec_;
    ParserPtr parser_;
    PacketPtr packet_;
    FramePtr frame_;
    SwsPtr sws_;
    PaddedInput input_;
    std::int64_t frameDuration_ = 400000;
    std::int64_t nextTime_ = 0;  // extrapolated time of the next picture
    bool haveTime_ = false;
    std::uint64_t pictures_ = 0;
    std::uint64_t errors_ = 0;
    std::uint64_t dropped_ = 0;
    VideoDecoderOptions options_;
    Deinterlacer deinterlacer_;
    bool deinterlacedTimes_ = false;  // the pictures in the deinterlacer carry times
};

}  // namespace quvo::mpegdec
