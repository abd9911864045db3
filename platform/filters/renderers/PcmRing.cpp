#include "platform/filters/renderers/PcmRing.h"

#include <algorithm>
#include <cstring>

namespace quvo::filters {

PcmRing::PcmRing(int channels, int capacityFrames)
    : channels_(channels), capacity_(static_cast<std::size_t>(capacityFrames)),
      buffer_(static_cast<std::size_t>(channels) * static_cast<std::size_t>(capacityFrames))
{
}

std::size_t PcmRing::Write(const std::int16_t* samples, std::size_t frames)
{
    std::unique_lock lock(ringLock_);
    if (!sound_.any && frames > 0) {
        sound_.any = true;
        sound_.first = played_ + queued_;
    }
    const std::size_t written = WriteLocked(lock, samples, frames);
    sound_.frames += written;
    sound_.end = played_ + queued_;
    return written;
}

std::size_t PcmRing::WriteSilence(std::size_t frames)
{
    std::unique_lock lock(ringLock_);
    return WriteLocked(lock, nullptr, frames);
}

std::size_t PcmRing::WriteLocked(std::unique_lock<std::mutex>& lock, const std::int16_t* samples,
                                 std::size_t frames)
{
    const std::size_t ch = static_cast<std::size_t>(channels_);
    std::size_t written = 0;
    while (written < frames) {
        spaceFreed_.wait(lock, [&] { return aborted_ || queued_ < capacity_; });
        if (aborted_) break;
        const std::size_t writeIndex = (readIndex_ + queued_) % capacity_;
        const std::size_t n = std::min({frames - written, capacity_ - queued_, capacity_ - writeIndex});
        std::int16_t* dst = buffer_.data() + writeIndex * ch;
        if (samples) std::memcpy(dst, samples + written * ch, n * ch * sizeof(std::int16_t));
        else std::memset(dst, 0, n * ch * sizeof(std::int16_t));
        queued_ += n;
        written += n;
    }
    return written;
}

void PcmRing::Pull(std::int16_t* out, std::size_t frames)
{
    const std::size_t ch = static_cast<std::size_t>(channels_);
    std::lock_guard lock(ringLock_);
    std::size_t done = 0;
    while (playing_ && done < frames && queued_ > 0) {
        const std::size_t n = std::min({frames - done, queued_, capacity_ - readIndex_});
        std::memcpy(out + done * ch, buffer_.data() + readIndex_ * ch, n * ch * sizeof(std::int16_t));
        readIndex_ = (readIndex_ + n) % capacity_;
        queued_ -= n;
        done += n;
    }
    std::memset(out + done * ch, 0, (frames - done) * ch * sizeof(std::int16_t));
    played_ += frames;
    spaceFreed_.notify_all();
}

void PcmRing::SetPlaying(bool playing)
{
    std::lock_guard lock(ringLock_);
    playing_ = playing;
}

void PcmRing::Abort()
{
    std::lock_guard lock(ringLock_);
    aborted_ = true;
    spaceFreed_.notify_all();
}

void PcmRing::Resume()
{
    std::lock_guard lock(ringLock_);
    aborted_ = false;
}

void PcmRing::Clear()
{
    std::lock_guard lock(ringLock_);
    readIndex_ = 0;
    queued_ = 0;
    spaceFreed_.notify_all();
}

bool PcmRing::WaitUntilDrained()
{
    std::unique_lock lock(ringLock_);
    spaceFreed_.wait(lock, [&] { return aborted_ || queued_ == 0; });
    return !aborted_;
}

PcmRing::SoundMarks PcmRing::Sound() const
{
    std::lock_guard lock(ringLock_);
    return sound_;
}

std::uint64_t PcmRing::FramesPlayed() const
{
    std::lock_guard lock(ringLock_);
    return played_;
}

std::uint64_t PcmRing::WritePosition() const
{
    std::lock_guard lock(ringLock_);
    return played_ + queued_;
}

std::size_t PcmRing::QueuedFrames() const
{
    std::lock_guard lock(ringLock_);
    return queued_;
}

}  // namespace quvo::filters
