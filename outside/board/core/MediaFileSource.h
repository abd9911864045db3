// A media file as the board's analogue input: its pictures scaled to the encoder's
// frame size, one per frame period, and its sound as 48 kHz stereo; the file
// loops at its end. Streaming thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "outside/board/core/Picture.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

namespace quvo::board {

class MediaFileSource {
public:
    MediaFileSource() = default;
    ~MediaFileSource();
    MediaFileSource(const MediaFileSource&) = delete;
    MediaFileSource& operator=(const MediaFileSource&) = delete;

    bool Open(const std::string& path, std::string* error);
    // The next picture, scaled into `dst`; false when the file has no pictures.
    bool ReadPicture(const PlaneView& dst);
    // `frames` stereo samples times `gain`; silence where the file has no sound.
    void ReadAudio(std::size_t frames, double gain, std::vector<std::int16_t>& out);

private:
    // Reads and decodes one packet; at the end of the file starts over.
    bool Pump();
    void Decode(AVCodecContext* ctx, AVPacket* packet);
    void Close();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* videoCtx_ = nullptr;
    AVCodecContext* audioCtx_ = nullptr;
    int videoStream_ = -1;
    int audioStream_ = -1;
    AVPacket* packet_ = nullptr;
    AVFrame* decoded_ = nullptr;
    SwsContext* sws_ = nullptr;
    SwrContext* swr_ = nullptr;
    std::deque<AVFrame*> pictures_;     // decoded, not yet shown
    std::vector<std::int16_t> samples_;  // resampled, not yet taken
    std::size_t samplesRead_ = 0;
    int emptyLoops_ = 0;
};

}  // namespace quvo::board
