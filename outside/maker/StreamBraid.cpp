#include "outside/maker/StreamBraid.h"

#include <algorithm>

#include "outside/maker/PcmTo48k.h"

namespace quvo::maker {
namespace {

// The board's own rate would do for its own recordings; files made elsewhere may
// carry more, and a rate too low lets the SCR fall behind the pictures.
constexpr std::uint32_t kMuxBytesPerSecond = 2520000;
constexpr std::int64_t k27MHzPer90kHz = 300;

}  // namespace

void StreamBraid::Reset(bool videoOpen, bool audioOpen)
{
    mux_ = board::ProgramStreamMuxer();
    mux_.SetMuxRate(kMuxBytesPerSecond);
    video_.clear();
    audio_.clear();
    videoQueued_ = audioQueued_ = 0;
    videoEnded_ = !videoOpen;
    audioEnded_ = !audioOpen;
    finished_ = false;
    newestVideo_ = 0;
    audioClock_ = 0;
    lastScr_ = 0;
}

std::int64_t StreamBraid::To90k(std::int64_t time) { return std::max<std::int64_t>(0, time * 9 / 1000 + kTimeBase); }

void StreamBraid::AddVideo(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t pts,
                           std::int64_t dts, bool key, std::vector<std::uint8_t>& out)
{
    if (videoEnded_) return;
    if (hasTime) {
        video_.push_back(VideoUnit{{}, pts, dts, key});
        newestVideo_ = dts;
    } else if (video_.empty()) {
        return;  // the rest of a unit already sent, or of none
    }
    std::vector<std::uint8_t>& bytes = video_.back().bytes;
    size = std::min(size, kMaxUnitBytes - std::min(kMaxUnitBytes, bytes.size()));
    bytes.insert(bytes.end(), data, data + size);
    videoQueued_ += size;
    Drain(out);
}

void StreamBraid::AddAudio(const std::int16_t* samples, std::size_t frames, bool hasTime, std::int64_t pts,
                           std::vector<std::uint8_t>& out)
{
    if (audioEnded_ || frames == 0) return;
    const std::int64_t start = hasTime ? pts : audioClock_;
    audio_.push_back(AudioChunk{{samples, samples + frames * kBoardAudioChannels}, start});
    audioQueued_ += frames * kBoardAudioChannels * sizeof(std::int16_t);
    audioClock_ = start + static_cast<std::int64_t>(frames) * 10000000 / kBoardAudioRate;
    Drain(out);
}

void StreamBraid::EndVideo(std::vector<std::uint8_t>& out)
{
    videoEnded_ = true;
    Drain(out);
}

void StreamBraid::EndAudio(std::vector<std::uint8_t>& out)
{
    audioEnded_ = true;
    Drain(out);
}

void StreamBraid::Drain(std::vector<std::uint8_t>& out)
{
    for (;;) {
        const std::size_t readyVideo = videoEnded_ ? video_.size() : (video_.empty() ? 0 : video_.size() - 1);
        const bool haveVideo = readyVideo > 0;
        const bool haveAudio = !audio_.empty();
        if (haveVideo && haveAudio) {
            if (video_.front().dts <= audio_.front().pts) SendVideo(out);
            else SendAudio(out);
        } else if (haveVideo
                   && (audioEnded_ || newestVideo_ - video_.front().dts > kMaxSkew || videoQueued_ > kMaxQueuedBytes)) {
            SendVideo(out);
        } else if (haveAudio
                   && (videoEnded_ || audioClock_ - audio_.front().pts > kMaxSkew || audioQueued_ > kMaxQueuedBytes)) {
            SendAudio(out);
        } else {
            break;
        }
    }
    if (videoEnded_ && audioEnded_ && !finished_) {
        mux_.Finish(lastScr_, out);
        finished_ = true;
    }
}

void StreamBraid::SendVideo(std::vector<std::uint8_t>& out)
{
    const VideoUnit& unit = video_.front();
    const std::int64_t dts = To90k(unit.dts);
    lastScr_ = std::max(lastScr_, (dts - kScrLead) * k27MHzPer90kHz);
    mux_.AddVideo(unit.bytes.data(), unit.bytes.size(), std::max(To90k(unit.pts), dts), dts, unit.key);
    mux_.Emit(lastScr_, out);
    videoQueued_ -= unit.bytes.size();
    video_.pop_front();
}

void StreamBraid::SendAudio(std::vector<std::uint8_t>& out)
{
    const AudioChunk& chunk = audio_.front();
    const std::int64_t pts = To90k(chunk.pts);
    lastScr_ = std::max(lastScr_, (pts - kScrLead) * k27MHzPer90kHz);
    mux_.AddAudio(chunk.samples.data(), chunk.samples.size() / kBoardAudioChannels, pts, false);
    mux_.Emit(lastScr_, out);
    audioQueued_ -= chunk.samples.size() * sizeof(std::int16_t);
    audio_.pop_front();
}

}  // namespace quvo::maker
