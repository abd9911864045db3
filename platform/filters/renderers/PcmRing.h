// The audio renderer's play-out queue: 16-bit PCM written by the streaming thread,
// pulled by the audio device (or the null sink) in real time. What is pulled is
// counted, silence included, so the count is the device's own sample clock; where
// the samples' own sound lies in that count is noted too.
//
// Threads: Write/WaitForSpace on the streaming thread; Pull on the device's thread;
// the rest on the application thread. ringLock guards every field.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace quvo::filters {

class PcmRing {
public:
    PcmRing(int channels, int capacityFrames);

    // Copies up to `frames` frames in; waits while the ring is full. Returns the
    // frames written, fewer when Abort was called meanwhile.
    std::size_t Write(const std::int16_t* samples, std::size_t frames);
    std::size_t WriteSilence(std::size_t frames);
    // Device side: fills `out` with `frames` frames, silence where no data is queued
    // or while not playing. Every frame pulled counts as played.
    void Pull(std::int16_t* out, std::size_t frames);

    // While not playing the device gets silence and queued data waits.
    void SetPlaying(bool playing);
    // Makes blocked writers return (stop, flush); cleared by Resume.
    void Abort();
    void Resume();
    void Clear();

    // Waits until everything queued has been pulled; false when Abort came first.
    bool WaitUntilDrained();

    // Where sound from samples (not silence) lies in the play-out, in frames
    // counted as FramesPlayed counts them.
    struct SoundMarks {
        bool any = false;
        std::uint64_t first = 0;   // position of the first sample frame written
        std::uint64_t end = 0;     // position after the last one
        std::uint64_t frames = 0;  // sample frames written
    };
    SoundMarks Sound() const;

    std::uint64_t FramesPlayed() const;
    // Frames pulled so far plus frames queued: where the next written frame plays.
    std::uint64_t WritePosition() const;
    std::size_t QueuedFrames() const;
    int Channels() const { return channels_; }

private:
    std::size_t WriteLocked(std::unique_lock<std::mutex>& lock, const std::int16_t* samples, std::size_t frames);

    const int channels_;
    const std::size_t capacity_;  // frames
    mutable std::mutex ringLock_;
    std::condition_variable spaceFreed_;
    std::vector<std::int16_t> buffer_;
    std::size_t readIndex_ = 0;  // frames
    std::size_t queued_ = 0;     // frames
    std::uint64_t played_ = 0;
    bool playing_ = false;
    bool aborted_ = false;
    SoundMarks sound_;
};

}  // namespace quvo::filters
