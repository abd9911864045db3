#include "outside/board/core/ProgramStreamMuxer.h"

#include <algorithm>

namespace quvo::board {
namespace {

constexpr std::size_t kPackHeaderSize = 14;
constexpr std::size_t kSystemHeaderSize = 18;  // 12 + 3 per stream, two streams
constexpr std::size_t kPesHeaderSize = 9;      // start code to header_data_length
constexpr std::size_t kLpcmHeaderSize = 7;
constexpr std::size_t kBytesPerSample = 4;     // 16-bit stereo
constexpr std::int64_t kTicks27PerTick90 = 300;
constexpr std::int64_t kTimeStampMask = (1LL << 33) - 1;

void Put16(std::vector<std::uint8_t>& out, std::size_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutStartCode(std::vector<std::uint8_t>& out, std::uint8_t id)
{
    out.insert(out.end(), {0x00, 0x00, 0x01, id});
}

// A padding packet of exactly `size` bytes (at least 6).
void WritePadding(std::size_t size, std::vector<std::uint8_t>& out)
{
    PutStartCode(out, mpeg::kPaddingStream);
    Put16(out, size - 6);
    out.insert(out.end(), size - 6, 0xFF);
}

// Fills the pack up to kPackSize: small gaps become PES stuffing (done by the
// caller through `stuffing`), larger ones a padding packet.
std::size_t StuffingFor(std::size_t used)
{
    const std::size_t gap = ProgramStreamMuxer::kPackSize - used;
    return gap < 6 ? gap : 0;
}

}  // namespace

void WriteTimeStamp(std::uint8_t prefix, std::int64_t ts, std::uint8_t* at)
{
    const std::uint64_t v = static_cast<std::uint64_t>(ts & kTimeStampMask);
    at[0] = static_cast<std::uint8_t>((prefix << 4) | ((v >> 29) & 0x0E) | 0x01);
    at[1] = static_cast<std::uint8_t>(v >> 22);
    at[2] = static_cast<std::uint8_t>(((v >> 14) & 0xFE) | 0x01);
    at[3] = static_cast<std::uint8_t>(v >> 7);
    at[4] = static_cast<std::uint8_t>(((v << 1) & 0xFE) | 0x01);
}

void ProgramStreamMuxer::SetMuxRate(std::uint32_t bytesPerSecond)
{
    muxRate_ = std::max<std::uint32_t>(bytesPerSecond, 50);
}

void ProgramStreamMuxer::AddVideo(const std::uint8_t* data, std::size_t size, std::int64_t pts, std::int64_t dts,
                                  bool key)
{
    // Drop what has been sent once it is most of the buffer, so it stays small.
    if (videoRead_ > 65536 && videoRead_ * 2 > videoBytes_.size()) {
        videoBytes_.erase(videoBytes_.begin(), videoBytes_.begin() + static_cast<std::ptrdiff_t>(videoRead_));
        videoBase_ += videoRead_;
        videoRead_ = 0;
    }
    units_.push_back(AccessUnit{videoBase_ + videoBytes_.size(), pts, dts, key});
    videoBytes_.insert(videoBytes_.end(), data, data + size);
}

void ProgramStreamMuxer::AddAudio(const std::int16_t* samples, std::size_t frames, std::int64_t pts, bool mute)
{
    if (audioRead_ > 65536) {
        audioBytes_.erase(audioBytes_.begin(), audioBytes_.begin() + static_cast<std::ptrdiff_t>(audioRead_));
        audioRead_ = 0;
    }
    // Samples follow one another without gaps: only an empty queue takes the
    // caller's time; later packets count their time from the samples before them.
    if (audioRead_ == audioBytes_.size()) audioPts_ = pts;
    mute_ = mute;
    audioBytes_.reserve(audioBytes_.size() + frames * kBytesPerSample);
    for (std::size_t i = 0; i < frames * 2; ++i) {
        const auto s = static_cast<std::uint16_t>(samples[i]);
        audioBytes_.push_back(static_cast<std::uint8_t>(s >> 8));
        audioBytes_.push_back(static_cast<std::uint8_t>(s));
    }
}

std::int64_t ProgramStreamMuxer::NextScr(std::int64_t now)
{
    const std::int64_t packTicks = static_cast<std::int64_t>(kPackSize) * 27000000 / muxRate_;
    lastScr_ = lastScr_ < 0 ? now : std::max(now, lastScr_ + packTicks);
    return lastScr_;
}

void ProgramStreamMuxer::WritePackHeader(std::int64_t scr27, std::vector<std::uint8_t>& out) const
{
    const std::uint64_t base = static_cast<std::uint64_t>((scr27 / kTicks27PerTick90) & kTimeStampMask);
    const std::uint64_t ext = static_cast<std::uint64_t>(scr27 % kTicks27PerTick90);
    const std::uint32_t rate = (muxRate_ + 49) / 50;  // units of 50 bytes/s
    PutStartCode(out, mpeg::kPackHeaderCode);
    out.push_back(static_cast<std::uint8_t>(0x44 | ((base >> 27) & 0x38) | ((base >> 28) & 0x03)));
    out.push_back(static_cast<std::uint8_t>(base >> 20));
    out.push_back(static_cast<std::uint8_t>(((base >> 12) & 0xF8) | 0x04 | ((base >> 13) & 0x03)));
    out.push_back(static_cast<std::uint8_t>(base >> 5));
    out.push_back(static_cast<std::uint8_t>(((base << 3) & 0xF8) | 0x04 | ((ext >> 7) & 0x03)));
    out.push_back(static_cast<std::uint8_t>(((ext << 1) & 0xFE) | 0x01));
    out.push_back(static_cast<std::uint8_t>(rate >> 14));
    out.push_back(static_cast<std::uint8_t>(rate >> 6));
    out.push_back(static_cast<std::uint8_t>(((rate << 2) & 0xFC) | 0x03));
    out.push_back(0xF8);  // reserved bits, no pack stuffing
}

void ProgramStreamMuxer::WriteSystemHeader(std::vector<std::uint8_t>& out) const
{
    const std::uint32_t rate = (muxRate_ + 49) / 50;
    PutStartCode(out, mpeg::kSystemHeaderCode);
    Put16(out, kSystemHeaderSize - 6);
    out.push_back(static_cast<std::uint8_t>(0x80 | (rate >> 15)));
    out.push_back(static_cast<std::uint8_t>(rate >> 7));
    out.push_back(static_cast<std::uint8_t>(((rate << 1) & 0xFE) | 0x01));
    out.push_back(0x04);  // audio bound 1, variable rate, not constrained
    out.push_back(0xE1);  // audio and video locked, marker, video bound 1
    out.push_back(0x7F);  // no packet rate restriction
    // Buffer bounds: video 232 KiB, private stream 1 58 KiB (units of 1024).
    out.insert(out.end(), {kVideoStream, 0xE0 | (232 >> 8), 232 & 0xFF});
    out.insert(out.end(), {kPrivateStream1, 0xE0 | (58 >> 8), 58});
}

bool ProgramStreamMuxer::WriteAudioPack(std::int64_t now, bool final, std::vector<std::uint8_t>& out)
{
    const std::size_t queued = audioBytes_.size() - audioRead_;
    const std::size_t full = kAudioFramesPerPacket * kSamplesPerAudioFrame * kBytesPerSample;
    if (queued == 0 || (queued < full && !final)) return false;
    const std::size_t payload = std::min(queued, full);
    const std::size_t samples = payload / kBytesPerSample;
    const std::size_t frames = (samples + kSamplesPerAudioFrame - 1) / kSamplesPerAudioFrame;

    const std::size_t used = kPackHeaderSize + kPesHeaderSize + 5 + kLpcmHeaderSize + payload;
    const std::size_t stuffing = StuffingFor(used);
    WritePackHeader(NextScr(now), out);
    PutStartCode(out, kPrivateStream1);
    Put16(out, 3 + 5 + stuffing + kLpcmHeaderSize + payload);
    out.push_back(0x81);  // original
    out.push_back(0x80);  // PTS only
    out.push_back(static_cast<std::uint8_t>(5 + stuffing));
    std::uint8_t ts[5];
    WriteTimeStamp(0x2, audioPts_, ts);
    out.insert(out.end(), ts, ts + 5);
    out.insert(out.end(), stuffing, 0xFF);
    // DVD audio header: substream, frames starting here, pointer to the first of
    // them (counted from the pointer's last byte: 3 header bytes follow), then
    // emphasis/mute/frame number, 16 bit/48 kHz/2 channels, no range control.
    out.push_back(kLpcmSubstream);
    out.push_back(static_cast<std::uint8_t>(frames));
    Put16(out, 4);
    out.push_back(static_cast<std::uint8_t>((mute_ ? 0x40 : 0x00) | (audioFramesSent_ % 20)));
    out.push_back(0x01);
    out.push_back(0x80);
    out.insert(out.end(), audioBytes_.begin() + static_cast<std::ptrdiff_t>(audioRead_),
               audioBytes_.begin() + static_cast<std::ptrdiff_t>(audioRead_ + payload));
    if (stuffing == 0 && used < kPackSize) WritePadding(kPackSize - used, out);

    audioRead_ += payload;
    audioPts_ += static_cast<std::int64_t>(samples) * 90000 / 48000;
    audioFramesSent_ += frames;
    return true;
}

bool ProgramStreamMuxer::WriteVideoPack(std::int64_t now, std::vector<std::uint8_t>& out,
                                        std::vector<std::size_t>* pictureEnds)
{
    const std::size_t queued = VideoQueued();
    if (queued == 0) return false;
    const std::size_t pos = videoBase_ + videoRead_;
    while (!units_.empty() && units_.front().start < pos) units_.pop_front();

    // A pack holds bytes of one picture only: each picture starts a pack (a group
    // then begins its pack with the sequence header) and its last pack is padded
    // out at once, so a stream cut after any picture holds all of it.
    constexpr std::size_t kMaxPayload = kPackSize - kPackHeaderSize - kPesHeaderSize;  // no extras
    const AccessUnit* unit = !units_.empty() && units_.front().start == pos ? &units_.front() : nullptr;
    std::size_t limit = queued;  // bytes up to the end of this picture
    for (const AccessUnit& next : units_) {
        if (next.start > pos) {
            limit = next.start - pos;
            break;
        }
    }
    const bool system = firstPack_ || (unit && unit->key);
    const bool both = unit && unit->pts != unit->dts;
    const std::size_t tsSize = unit ? (both ? 10 : 5) : 0;
    const std::size_t capacity = kMaxPayload - (system ? kSystemHeaderSize : 0) - tsSize;
    const std::size_t payload = std::min(capacity, limit);

    const std::size_t used = kPackHeaderSize + (system ? kSystemHeaderSize : 0) + kPesHeaderSize + tsSize + payload;
    const std::size_t stuffing = StuffingFor(used);
    WritePackHeader(NextScr(now), out);
    if (system) WriteSystemHeader(out);
    PutStartCode(out, kVideoStream);
    Put16(out, 3 + tsSize + stuffing + payload);
    out.push_back(unit && unit->start == pos ? 0x85 : 0x81);  // aligned when a picture starts here
    out.push_back(unit ? (both ? 0xC0 : 0x80) : 0x00);
    out.push_back(static_cast<std::uint8_t>(tsSize + stuffing));
    if (unit) {
        std::uint8_t ts[10];
        WriteTimeStamp(both ? 0x3 : 0x2, unit->pts, ts);
        if (both) WriteTimeStamp(0x1, unit->dts, ts + 5);
        out.insert(out.end(), ts, ts + tsSize);
    }
    out.insert(out.end(), stuffing, 0xFF);
    out.insert(out.end(), videoBytes_.begin() + static_cast<std::ptrdiff_t>(videoRead_),
               videoBytes_.begin() + static_cast<std::ptrdiff_t>(videoRead_ + payload));
    if (stuffing == 0 && used < kPackSize) WritePadding(kPackSize - used, out);

    videoRead_ += payload;
    firstPack_ = false;
    if (pictureEnds && payload == limit) pictureEnds->push_back(out.size());
    return true;
}

void ProgramStreamMuxer::Emit(std::int64_t now, std::vector<std::uint8_t>& out, std::vector<std::size_t>* pictureEnds)
{
    // The stream begins at a start point, as a hardware encoder's does: its first pack
    // carries the system header and the first picture's sequence header, so sound
    // that comes before the first picture waits for it.
    if (firstPack_) {
        if (VideoQueued() == 0) return;
        WriteVideoPack(now, out, pictureEnds);
    }
    while (WriteAudioPack(now, false, out)) {}
    while (WriteVideoPack(now, out, pictureEnds)) {}
}

void ProgramStreamMuxer::Finish(std::int64_t now, std::vector<std::uint8_t>& out)
{
    while (WriteAudioPack(now, true, out)) {}
    while (WriteVideoPack(now, out, nullptr)) {}
    PutStartCode(out, mpeg::kProgramEndCode);
}

}  // namespace quvo::board
