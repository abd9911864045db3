#include "outside/board/core/BoardEncoder.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "outside/board/core/MediaFileSource.h"
#include "outside/board/core/Overlay.h"
#include "outside/board/core/ProcAmp.h"

namespace quvo::board {
namespace {

constexpr std::int64_t kUnits = 10000000;  // 100 ns per second

std::int64_t To90k(std::int64_t t) { return t * 9 / 1000; }
std::int64_t To27M(std::int64_t t) { return t * 27 / 10; }

// Bytes per second the multiplex needs: video at its peak plus pack overhead,
// one padded pack per picture (each picture ends its last pack), and a hundred
// audio packs a second.
std::uint32_t MuxRateOf(const VideoFormat& f)
{
    const FrameRate r = RateOf(f.tv);
    const double video = (f.vbr ? f.peakBitRate : f.bitRate) / 8.0 * 2048.0 / 2000.0;
    const double padding = 2048.0 * r.num / r.den;
    return static_cast<std::uint32_t>(video + padding + 100 * 2048 + 2048);
}

}  // namespace

BoardEncoder::BoardEncoder() = default;
BoardEncoder::~BoardEncoder() = default;

void BoardEncoder::SetVideoFormat(const VideoFormat& format)
{
    std::lock_guard lock(settingsLock_);
    requestedFormat_ = format;
}

void BoardEncoder::SetPicture(const PictureSettings& picture)
{
    std::lock_guard lock(settingsLock_);
    requestedPicture_ = picture;
}

void BoardEncoder::SetAudio(const AudioSettings& audio)
{
    std::lock_guard lock(settingsLock_);
    requestedAudio_ = audio;
}

void BoardEncoder::SetSource(const std::string& path)
{
    std::lock_guard lock(settingsLock_);
    if (path == requestedSource_) return;
    requestedSource_ = path;
    sourceChanged_ = true;
}

std::int64_t BoardEncoder::FrameTime(std::int64_t n, TvSystem tv)
{
    const FrameRate r = RateOf(tv);
    return n * kUnits * r.den / r.num;
}

bool BoardEncoder::OpenSegment(const VideoFormat& format, std::int64_t start, std::string* error)
{
    if (!video_.Open(format, error)) return false;
    active_ = format;
    segmentStart_ = start;
    segmentFrames_ = 0;
    lastIndex_ = -1;
    mux_.SetMuxRate(MuxRateOf(format));
    return true;
}

void BoardEncoder::DrainSegment()
{
    const std::int64_t base = To90k(segmentStart_ + kPresentationDelay);
    const FrameRate r = RateOf(active_.tv);
    // The last picture leaves with a sequence end code, which tells a decoder to
    // show its held-back reference picture before the next sequence begins.
    std::vector<std::uint8_t> last;
    CodedPicture held{};
    bool haveHeld = false;
    auto flushHeld = [&] {
        if (haveHeld)
            mux_.AddVideo(last.data(), last.size(), base + held.pts * 90000 * r.den / r.num,
                          base + held.dts * 90000 * r.den / r.num, held.key);
    };
    video_.Drain([&](const CodedPicture& p) {
        flushHeld();
        last.assign(p.data, p.data + p.size);
        held = p;
        haveHeld = true;
    });
    if (!haveHeld) return;
    last.insert(last.end(), {0x00, 0x00, 0x01, 0xB7});
    flushHeld();
}

bool BoardEncoder::EncodeFrame(std::int64_t now, std::vector<std::uint8_t>& out, std::string* error)
{
    VideoFormat format;
    PictureSettings picture;
    AudioSettings audio;
    std::string source;
    bool sourceChanged;
    {
        std::lock_guard lock(settingsLock_);
        format = Sanitise(requestedFormat_);
        picture = requestedPicture_;
        audio = requestedAudio_;
        source = requestedSource_;
        sourceChanged = std::exchange(sourceChanged_, false);
    }
    if (sourceChanged) {
        file_.reset();
        fileError_.clear();
        if (!source.empty()) {
            file_ = std::make_unique<MediaFileSource>();
            if (!file_->Open(source, &fileError_)) file_.reset();
        }
    }

    if (!started_) {
        if (!OpenSegment(format, now, error)) return false;
        started_ = true;
        streamStart_ = now;
        audioSamples_ = 0;
    } else if (!(format == active_) && segmentFrames_ % GopSizeOf(active_.tv) == 0) {
        // A group has just ended: finish this sequence and begin one in the new
        // format. The new one starts a frame later so decode times keep rising.
        DrainSegment();
        if (!OpenSegment(format, std::max(now, segmentStart_ + FrameTime(lastIndex_ + 2, active_.tv)), error))
            return false;
    }

    // Picture number from the clock, so late frames show as a gap, not a drift.
    const FrameRate r = RateOf(active_.tv);
    std::int64_t index = (now - segmentStart_) >= 0
        ? ((now - segmentStart_) * r.num + kUnits * r.den / 2) / (kUnits * r.den)
        : 0;
    index = std::max(index, lastIndex_ + 1);
    lastIndex_ = index;

    const PlaneView frame = video_.NextFrame();
    if (!frame.data[0]) {
        if (error) *error = "out of memory";
        return false;
    }
    DrawPicture(frame, picture, now);
    const std::int64_t base = To90k(segmentStart_ + kPresentationDelay);
    const bool ok = video_.Encode(index, [&](const CodedPicture& p) {
        mux_.AddVideo(p.data, p.size, base + p.pts * 90000 * r.den / r.num, base + p.dts * 90000 * r.den / r.num,
                      p.key);
    });
    if (!ok) {
        if (error) *error = "the MPEG encoder failed";
        return false;
    }
    ++segmentFrames_;
    ++framesEncoded_;

    // Without an input signal the line input is silent too.
    AudioSettings heard = audio;
    if (!picture.signal) heard.mute = true;
    AddAudio(now, heard, audio.mute);
    mux_.Emit(To27M(now), out);
    if (error && !fileError_.empty()) *error = fileError_;
    return true;
}

void BoardEncoder::DrawPicture(const PlaneView& frame, const PictureSettings& picture, std::int64_t now)
{
    if (!picture.signal) {
        FillNoSignal(frame);
        return;
    }
    if (file_ && file_->ReadPicture(frame)) {
        ProcAmp(picture).Apply(frame);
        return;
    }
    pattern_.Configure(frame.width, frame.height, picture);
    Picture& still = pattern_.Still(framesEncoded_);
    CopyPicture(still, frame);
    const FrameRate r = RateOf(active_.tv);
    const std::int64_t number = (now - streamStart_) * r.num / (kUnits * r.den);
    DrawOverlays(frame, framesEncoded_, TimeCodeOf(number, r), pattern_.ProcessLuma(235), pattern_.ProcessLuma(235),
                 pattern_.ProcessLuma(16));
}

void BoardEncoder::AddAudio(std::int64_t now, const AudioSettings& audio, bool muteFlag)
{
    // Audio runs on its own sample clock up to the end of this frame period.
    const std::int64_t end = now + FrameTime(1, active_.tv) - streamStart_;
    const auto target = static_cast<std::uint64_t>(std::max<std::int64_t>(0, end) * kAudioRate / kUnits);
    if (target <= audioSamples_) return;
    std::uint64_t count = target - audioSamples_;
    if (count > static_cast<std::uint64_t>(kAudioRate)) {
        // A long stall: skip the lost second rather than burst it out.
        audioSamples_ = target - kAudioRate / 25;
        count = target - audioSamples_;
    }
    audioBuffer_.clear();
    if (file_)
        file_->ReadAudio(count, GainOf(audio), audioBuffer_);
    else
        tone_.Generate(count, audio, audioBuffer_);
    const std::int64_t pts = To90k(streamStart_ + kPresentationDelay) +
                             static_cast<std::int64_t>(audioSamples_ * 90000 / kAudioRate);
    mux_.AddAudio(audioBuffer_.data(), count, pts, muteFlag);
    audioSamples_ += count;
}

void BoardEncoder::Finish(std::int64_t now, std::vector<std::uint8_t>& out)
{
    if (!started_) return;
    DrainSegment();
    mux_.Finish(To27M(now), out);
    mux_ = ProgramStreamMuxer{};
    started_ = false;
}

}  // namespace quvo::board
