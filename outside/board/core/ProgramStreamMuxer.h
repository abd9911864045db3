// MPEG-2 program stream multiplexer: 2048-byte packs, each with a pack header
// carrying the SCR; a system header in the first pack and wherever a group of
// pictures starts; video in PES stream 0xE0 with PTS/DTS, each picture in packs
// of its own (it starts one, its last is padded); 16-bit linear PCM in private
// stream 1, substream 0xA0, behind the 7-byte DVD audio header.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/graph/MpegStartCodes.h"

namespace quvo::board {

class ProgramStreamMuxer {
public:
    static constexpr std::size_t kPackSize = 2048;
    static constexpr std::uint8_t kVideoStream = mpeg::kFirstVideoStream;
    static constexpr std::uint8_t kPrivateStream1 = mpeg::kPrivateStream1;
    static constexpr std::uint8_t kLpcmSubstream = mpeg::kFirstLpcmSubstream;
    // LPCM audio frames are 1/600 s: 80 samples at 48 kHz.
    static constexpr std::size_t kSamplesPerAudioFrame = 80;
    static constexpr std::size_t kAudioFramesPerPacket = 6;

    // Rate written into pack headers and used to space SCRs, in bytes per second.
    void SetMuxRate(std::uint32_t bytesPerSecond);

    // Queues one coded picture; times in 90 kHz units.
    void AddVideo(const std::uint8_t* data, std::size_t size, std::int64_t pts, std::int64_t dts, bool key);
    // Queues interleaved 16-bit stereo samples that follow the ones queued before;
    // `pts` (90 kHz) is the time of the first when the queue is empty.
    void AddAudio(const std::int16_t* samples, std::size_t frames, std::int64_t pts, bool mute);

    // Appends every full audio pack and all queued pictures, each in packs of its
    // own (the last one padded), so `out` then ends where a picture ends; nothing
    // before the first picture, whose first pack opens the stream; `now`
    // (27 MHz) is the earliest SCR to use. `pictureEnds` (may be null) gets the
    // offset in `out` just past each picture's last pack.
    void Emit(std::int64_t now, std::vector<std::uint8_t>& out, std::vector<std::size_t>* pictureEnds = nullptr);
    // Appends everything still queued, padded to whole packs, and the end code.
    void Finish(std::int64_t now, std::vector<std::uint8_t>& out);

private:
    struct AccessUnit {
        std::size_t start;  // offset in videoBytes_ (absolute, see videoBase_)
        std::int64_t pts, dts;
        bool key;
    };

    bool WriteAudioPack(std::int64_t now, bool final, std::vector<std::uint8_t>& out);
    bool WriteVideoPack(std::int64_t now, std::vector<std::uint8_t>& out, std::vector<std::size_t>* pictureEnds);
    std::int64_t NextScr(std::int64_t now);
    void WritePackHeader(std::int64_t scr, std::vector<std::uint8_t>& out) const;
    void WriteSystemHeader(std::vector<std::uint8_t>& out) const;
    std::size_t VideoQueued() const { return videoBytes_.size() - videoRead_; }

    std::uint32_t muxRate_ = 1260000;  // bytes per second
    std::int64_t lastScr_ = -1;          // 27 MHz

    std::vector<std::uint8_t> videoBytes_;
    std::size_t videoRead_ = 0;       // next byte to send
    std::size_t videoBase_ = 0;       // absolute offset of videoBytes_[0]
    std::deque<AccessUnit> units_;
    bool firstPack_ = true;

    std::vector<std::uint8_t> audioBytes_;  // big-endian samples
    std::size_t audioRead_ = 0;
    std::int64_t audioPts_ = 0;          // of the sample at audioRead_
    std::uint64_t audioFramesSent_ = 0;
    bool mute_ = false;
};

// Writes a 33-bit time stamp field with its 4-bit prefix (PES header layout).
void WriteTimeStamp(std::uint8_t prefix, std::int64_t ts, std::uint8_t* at);

}  // namespace quvo::board
