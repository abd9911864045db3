// Plays 16-bit PCM from a PcmRing: through an SDL2 audio device when one opens, or
// through a null sink, a thread that pulls at the pace of CLOCK_MONOTONIC, when
// there is none (no device, or SDL's dummy driver). Either way the frames pulled,
// silence included, are the play-out clock the audio renderer offers the graph.
//
// Threads: Open/Close on the application thread; the SDL callback or the null
// sink's thread pulls; Played time may be read from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/filters/renderers/PcmRing.h"

namespace quvo::filters {

class AudioPlayout {
public:
    AudioPlayout();
    ~AudioPlayout();
    AudioPlayout(const AudioPlayout&) = delete;
    AudioPlayout& operator=(const AudioPlayout&) = delete;

    // Starts pulling from a fresh ring of `channels` at `rate`; about one second
    // of audio can be queued ahead.
    bool Open(int rate, int channels);
    void Close();
    bool IsOpen() const { return ring_ != nullptr; }
    bool UsesDevice() const { return device_ != 0; }

    PcmRing* Ring() const { return ring_.get(); }
    int Rate() const { return rate_; }

    // Time played since Open, 100 ns: whole pulls plus the part of the last pull the
    // device has had time to play, never decreasing.
    std::int64_t PlayedTime();

    // Sound from samples since Open: the sample frames queued for play-out (silence
    // filled in is not counted; once drained, all of them have played), and the
    // CLOCK_MONOTONIC times (ns) at which the first of them and the end of the
    // last one played, 0 until then. Kept after Close.
    struct SoundPlayed {
        std::uint64_t frames = 0;
        std::int64_t firstNs = 0;
        std::int64_t endNs = 0;
    };
    // Application thread, not beside Open or Close.
    SoundPlayed Sound();

private:
    static void DeviceCallback(void* self, std::uint8_t* stream, int length);
    void NullSinkLoop();
    void NotePull(std::uint64_t framesBefore, std::size_t frames);
    // Notes when the samples' sound started and ended playing (pullLock held).
    void NoteSoundLocked(const PcmRing::SoundMarks& marks, std::uint64_t played);

    std::unique_ptr<PcmRing> ring_;
    int rate_ = 48000;
    int channels_ = 2;
    std::uint32_t device_ = 0;  // SDL_AudioDeviceID, 0 = null sink
    bool sdlAudioInit_ = false;

    std::thread nullSink_;
    std::mutex sinkLock_;  // guards stopSink_ for the null sink's wait
    std::condition_variable sinkWake_;
    bool stopSink_ = false;

    // Last pull: frames played before it, its length and when it happened (ns).
    // Written by the pulling thread, read by PlayedTime; pullLock guards them.
    std::mutex pullLock_;
    std::uint64_t pullStartFrames_ = 0;
    std::size_t pullFrames_ = 0;
    std::int64_t pullAtNs_ = 0;
    std::int64_t lastReported_ = 0;
    SoundPlayed sound_;
    std::uint64_t soundEndNoted_ = 0;  // the ring's sound end that endNs belongs to
    // The null sink plays by CLOCK_MONOTONIC from this instant: its position is
    // known without waiting for its thread to pull (set before the thread starts).
    std::int64_t nullSinkStartNs_ = 0;
};

// CLOCK_MONOTONIC in nanoseconds.
std::int64_t MonotonicNs();

}  // namespace quvo::filters
