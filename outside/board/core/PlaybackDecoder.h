// What the board's output stage does with a program stream played into it:
// demultiplexes it (MPEG-1 or MPEG-2 packs), takes the first video stream and the
// first audio stream it knows (linear PCM, MPEG audio, AC-3) and decodes both with
// libavcodec. Each picture and each block of sound leaves as an output unit with
// its time on the stream's own time line (the first time stamp is zero), for the
// caller to present when that time comes. Plain C++; the owner serialises calls.
#pragma once

#include <cstdint>
#include <functional>

#include "outside/mpeg/AudioDecoderCore.h"
#include "outside/mpeg/SplitterProbe.h"
#include "outside/mpeg/VideoDecoderCore.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/TimeStampClock.h"

namespace quvo::board {

struct OutputUnit {
    bool picture = false;
    std::int64_t start = 0;     // 100 ns
    std::int64_t duration = 0;  // 100 ns
    const AVFrame* frame = nullptr;  // pictures; valid during the call only
    std::uint64_t audioFrames = 0;   // sound: samples per channel
};

class PlaybackDecoder {
public:
    // Returns false when the output is stopping: the rest of the data is skipped
    // until Reset.
    using UnitSink = std::function<bool(const OutputUnit&)>;

    explicit PlaybackDecoder(UnitSink sink);

    void Push(const std::uint8_t* data, std::size_t size);
    // End of stream: hands out what the decoders still hold.
    void Finish();
    // Forgets everything held and the streams chosen (stop, flush).
    void Reset();

    std::uint64_t Packs() const { return parser_.Counters().packs; }
    // Damaged headers in the stream and decoding errors, since construction
    // (Reset keeps them).
    std::uint64_t Errors() const;

private:
    void OnPayload(const mpeg::PesPayload& payload);
    void OnAudio(const mpeg::PesPayload& payload, bool hasTime, std::int64_t time);
    bool EmitPicture(const mpegdec::DecodedPicture& picture);
    bool EmitSound(const mpegdec::PcmBlock& block);

    UnitSink sink_;
    mpeg::ProgramStreamParser parser_;
    mpeg::TimeStampClock clock_;
    mpegdec::VideoDecoderCore video_;
    mpegdec::AudioDecoderCore audio_;
    int videoId_ = -1;               // chosen video stream, -1 before the first
    bool audioChosen_ = false;
    mpegdec::StreamProbe audioProbe_;  // the chosen audio stream
    bool stopped_ = false;           // the sink refused a unit
};

}  // namespace quvo::board
