// Braiding a video stream of access units and a 48 kHz stereo PCM stream into one
// MPEG-2 program stream the way the board itself records (its own muxer): pack
// headers with SCR, system headers, video in stream 0xE0 with PTS/DTS, audio as
// linear PCM in private stream 1, substream 0xA0. Plain C++.
//
// The two streams arrive on their own, each in time order; the braid sends
// whichever is earlier, waiting for the other stream only while it still may
// bring something earlier (and never for longer than kMaxSkew of the waiting
// stream, so a stream that stalls or is absent cannot hold the other up).
// Times in: REFERENCE_TIME (100 ns) from the start of the file; out: 90 kHz.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "outside/board/core/ProgramStreamMuxer.h"

namespace quvo::maker {

class StreamBraid {
public:
    static constexpr std::int64_t kMaxSkew = 10000000;  // 1 s
    // What either stream may hold while it waits, whatever its time stamps say
    // (damaged ones may never let the other stream catch up), and the most one
    // access unit may grow by untimed continuations.
    static constexpr std::size_t kMaxQueuedBytes = 16u << 20;
    static constexpr std::size_t kMaxUnitBytes = 4u << 20;
    // 90 kHz value of time 0: room before it for pictures shown before the first
    // (open groups) and for the SCR's lead.
    static constexpr std::int64_t kTimeBase = 90000;
    // How far the SCR of a pack runs ahead of its contents' decoding time.
    static constexpr std::int64_t kScrLead = 27000;  // 0.3 s at 90 kHz

    StreamBraid() { Reset(); }

    // A new run; `videoOpen` / `audioOpen` false: that stream never comes.
    void Reset(bool videoOpen = true, bool audioOpen = true);

    // An access unit (timed) or the next bytes of the last one (untimed).
    void AddVideo(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t pts, std::int64_t dts,
                  bool key, std::vector<std::uint8_t>& out);
    // Interleaved stereo sample frames; untimed ones follow the frames before.
    void AddAudio(const std::int16_t* samples, std::size_t frames, bool hasTime, std::int64_t pts,
                  std::vector<std::uint8_t>& out);
    void EndVideo(std::vector<std::uint8_t>& out);
    void EndAudio(std::vector<std::uint8_t>& out);

    // Both streams ended and everything, the end code included, is out.
    bool Finished() const { return finished_; }

private:
    struct VideoUnit {
        std::vector<std::uint8_t> bytes;
        std::int64_t pts, dts;
        bool key;
    };
    struct AudioChunk {
        std::vector<std::int16_t> samples;
        std::int64_t pts;
    };

    void Drain(std::vector<std::uint8_t>& out);
    void SendVideo(std::vector<std::uint8_t>& out);
    void SendAudio(std::vector<std::uint8_t>& out);
    static std::int64_t To90k(std::int64_t time);

    board::ProgramStreamMuxer mux_;
    std::deque<VideoUnit> video_;   // all but the last are complete, the last once videoEnded_
    std::deque<AudioChunk> audio_;
    std::size_t videoQueued_ = 0;   // bytes in video_
    std::size_t audioQueued_ = 0;   // bytes in audio_
    bool videoEnded_ = false;
    bool audioEnded_ = false;
    bool finished_ = false;
    std::int64_t newestVideo_ = 0;  // latest decoding time received
    std::int64_t audioClock_ = 0;   // time of the next audio frame
    std::int64_t lastScr_ = 0;      // 27 MHz
};

}  // namespace quvo::maker
