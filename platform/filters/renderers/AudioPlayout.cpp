#include "platform/filters/renderers/AudioPlayout.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace quvo::filters {

std::int64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

namespace {

// SDL's dummy driver plays nothing and keeps no time: it counts as no device.
bool DeviceWanted()
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return !(driver && std::strcmp(driver, "dummy") == 0);
}

constexpr int kPullFrames = 480;  // null sink: 10 ms at 48 kHz

}  // namespace

AudioPlayout::AudioPlayout() = default;

AudioPlayout::~AudioPlayout() { Close(); }

bool AudioPlayout::Open(int rate, int channels)
{
    Close();
    if (rate <= 0 || channels <= 0) return false;
    rate_ = rate;
    channels_ = channels;
    ring_ = std::make_unique<PcmRing>(channels, rate);
    {
        std::lock_guard lock(pullLock_);
        pullStartFrames_ = 0;
        pullFrames_ = 0;
        pullAtNs_ = MonotonicNs();
        lastReported_ = 0;
        sound_ = SoundPlayed();
        soundEndNoted_ = 0;
    }

    if (DeviceWanted() && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        sdlAudioInit_ = true;
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(channels);
        want.samples = 1024;
        want.callback = &AudioPlayout::DeviceCallback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ != 0) {
            SDL_PauseAudioDevice(device_, 0);
            return true;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioInit_ = false;
    }
    {
        std::lock_guard lock(sinkLock_);
        stopSink_ = false;
    }
    nullSinkStartNs_ = MonotonicNs();
    nullSink_ = std::thread(&AudioPlayout::NullSinkLoop, this);
    return true;
}

void AudioPlayout::Close()
{
    if (ring_) ring_->Abort();
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);  // waits for a callback in progress
        device_ = 0;
    }
    if (sdlAudioInit_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioInit_ = false;
    }
    if (nullSink_.joinable()) {
        {
            std::lock_guard lock(sinkLock_);
            stopSink_ = true;
        }
        sinkWake_.notify_all();
        nullSink_.join();
    }
    ring_.reset();
}

void AudioPlayout::DeviceCallback(void* self, std::uint8_t* stream, int length)
{
    auto* playout = static_cast<AudioPlayout*>(self);
    const std::size_t frames = static_cast<std::size_t>(length) / (2u * static_cast<std::size_t>(playout->channels_));
    const std::uint64_t before = playout->ring_->FramesPlayed();
    playout->ring_->Pull(reinterpret_cast<std::int16_t*>(stream), frames);
    playout->NotePull(before, frames);
}

void AudioPlayout::NullSinkLoop()
{
    std::vector<std::int16_t> scratch(static_cast<std::size_t>(kPullFrames) * static_cast<std::size_t>(channels_));
    const std::int64_t startNs = nullSinkStartNs_;
    std::uint64_t pulled = 0;
    std::unique_lock lock(sinkLock_);
    while (!stopSink_) {
        lock.unlock();
        // Pull exactly what real time says has been played since the start.
        const std::int64_t elapsed = MonotonicNs() - startNs;
        const std::uint64_t due = static_cast<std::uint64_t>(elapsed) * static_cast<std::uint64_t>(rate_) / 1000000000u;
        while (pulled < due) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(due - pulled, kPullFrames));
            const std::uint64_t before = ring_->FramesPlayed();
            ring_->Pull(scratch.data(), n);
            NotePull(before, n);
            pulled += n;
        }
        lock.lock();
        sinkWake_.wait_for(lock, std::chrono::milliseconds(5), [&] { return stopSink_; });
    }
}

void AudioPlayout::NotePull(std::uint64_t framesBefore, std::size_t frames)
{
    const PcmRing::SoundMarks marks = ring_->Sound();
    std::lock_guard lock(pullLock_);
    pullStartFrames_ = framesBefore;
    pullFrames_ = frames;
    pullAtNs_ = MonotonicNs();
    NoteSoundLocked(marks, framesBefore + frames);
}

void AudioPlayout::NoteSoundLocked(const PcmRing::SoundMarks& marks, std::uint64_t played)
{
    if (!marks.any) return;
    // A device plays what it pulled last from the time of that pull on; the null
    // sink pulls what real time says has been played since it started.
    const auto at = [&](std::uint64_t position) {
        const std::uint64_t rate = static_cast<std::uint64_t>(rate_);
        if (device_ == 0) return nullSinkStartNs_ + static_cast<std::int64_t>(position * 1000000000u / rate);
        const std::uint64_t into = position > pullStartFrames_ ? position - pullStartFrames_ : 0;
        return pullAtNs_ + static_cast<std::int64_t>(into * 1000000000u / rate);
    };
    if (sound_.firstNs == 0 && played > marks.first) sound_.firstNs = at(marks.first);
    if (played >= marks.end && marks.end != soundEndNoted_) {
        sound_.endNs = at(marks.end);
        soundEndNoted_ = marks.end;
    }
    sound_.frames = marks.frames;
}

AudioPlayout::SoundPlayed AudioPlayout::Sound()
{
    // The pull that played the last frames may not have noted them yet (a waiter on
    // the ring wakes inside the pull): look at the ring itself too.
    const bool haveRing = ring_ != nullptr;
    const PcmRing::SoundMarks marks = haveRing ? ring_->Sound() : PcmRing::SoundMarks();
    const std::uint64_t played = haveRing ? ring_->FramesPlayed() : 0;
    std::lock_guard lock(pullLock_);
    if (haveRing) NoteSoundLocked(marks, played);
    return sound_;
}

std::int64_t AudioPlayout::PlayedTime()
{
    std::lock_guard lock(pullLock_);
    if (device_ == 0) {
        // The null sink is real time by construction, even while its thread waits
        // for a processor.
        lastReported_ = std::max(lastReported_, (MonotonicNs() - nullSinkStartNs_) / 100);
        return lastReported_;
    }
    // A device pulls a block ahead and plays it over the block's duration: count
    // the part of the last block that real time says has been played.
    const std::int64_t sinceNs = std::max<std::int64_t>(0, MonotonicNs() - pullAtNs_);
    const std::uint64_t partial = std::min<std::uint64_t>(
        pullFrames_, static_cast<std::uint64_t>(sinceNs) * static_cast<std::uint64_t>(rate_) / 1000000000u);
    const std::uint64_t frames = pullStartFrames_ + partial;
    const std::int64_t time = static_cast<std::int64_t>(frames * 10000000u / static_cast<std::uint64_t>(rate_));
    lastReported_ = std::max(lastReported_, time);
    return lastReported_;
}

}  // namespace quvo::filters
