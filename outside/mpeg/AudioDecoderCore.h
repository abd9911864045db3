// Audio decoding to interleaved 16-bit PCM: DVD linear PCM (big-endian samples,
// the substream header already removed by the demultiplexer) and, through
// libavcodec, MPEG audio and AC-3. Output is always 16-bit with the channel count
// and rate fixed at Open, so the connection's type never changes while streaming.
// Plain C++; the owner serialises calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "outside/mpeg/FfmpegHandles.h"

namespace quvo::mpegdec {

enum class AudioCoding { Lpcm, MpegAudio, Ac3 };

struct PcmBlock {
    const std::int16_t* samples = nullptr;  // interleaved
    std::size_t frames = 0;                 // samples per channel
    bool hasTime = false;
    std::int64_t start = 0;  // 100 ns
};

class AudioDecoderCore {
public:
    using PcmSink = std::function<bool(const PcmBlock&)>;

    // `channels` and `rate` describe the output; for linear PCM they are also the
    // input's, with `bitsPerSample` 16, 20 or 24 (DVD grouping for 20 and 24).
    bool Open(AudioCoding coding, int channels, int rate, int bitsPerSample);
    void Close();
    bool IsOpen() const { return open_; }

    void Decode(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                const PcmSink& sink);
    void Drain(const PcmSink& sink);
    void Flush();

    int Channels() const { return channels_; }
    int Rate() const { return rate_; }
    std::uint64_t FramesOut() const { return framesOut_; }
    std::uint64_t Errors() const { return errors_; }

private:
    void DecodeLpcm(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                    const PcmSink& sink);
    void DecodeCoded(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time,
                     const PcmSink& sink);
    void SendPacket(const AVPacket* packet, const PcmSink& sink);
    bool Emit(std::size_t frames, bool hasTime, std::int64_t start, const PcmSink& sink);
    bool ConvertFrame(AVFrame* frame, const PcmSink& sink);

    AudioCoding coding_ = AudioCoding::Lpcm;
    bool open_ = false;
    int channels_ = 2;
    int rate_ = 48000;
    int bits_ = 16;
    std::vector<std::uint8_t> partial_;  // linear PCM bytes short of one sample group
    std::vector<std::int16_t> out_;
    std::int64_t nextTime_ = 0;
    bool haveTime_ = false;
    std::uint64_t framesOut_ = 0;
    std::uint64_t errors_ = 0;

    CodecContextPtr codec_;
    ParserPtr parser_;
    PacketPtr packet_;
    FramePtr frame_;
    SwrPtr swr_;
    PaddedInput input_;
    int swrInRate_ = 0;
    int swrInFormat_ = -1;
    AVChannelLayout swrInLayout_{};
};

}  // namespace quvo::mpegdec
