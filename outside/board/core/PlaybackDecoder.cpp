#include "outside/board/core/PlaybackDecoder.h"

namespace quvo::board {
namespace {

bool IsVideo(std::uint8_t id) { return id >= 0xE0 && id <= 0xEF; }

mpegdec::AudioCoding CodingOf(mpegdec::ProbedAudio a)
{
    return a == mpegdec::ProbedAudio::Ac3 ? mpegdec::AudioCoding::Ac3
        : a == mpegdec::ProbedAudio::Mpeg ? mpegdec::AudioCoding::MpegAudio
                                          : mpegdec::AudioCoding::Lpcm;
}

}  // namespace

PlaybackDecoder::PlaybackDecoder(UnitSink sink)
    : sink_(std::move(sink)), parser_([this](const mpeg::PesPayload& p) { OnPayload(p); })
{
}

void PlaybackDecoder::Push(const std::uint8_t* data, std::size_t size)
{
    if (!stopped_ && size > 0) parser_.Push(data, size);
}

void PlaybackDecoder::Finish()
{
    if (stopped_) return;
    parser_.Reset();
    video_.Drain([this](const mpegdec::DecodedPicture& p) { return EmitPicture(p); });
    audio_.Drain([this](const mpegdec::PcmBlock& b) { return EmitSound(b); });
}

void PlaybackDecoder::Reset()
{
    parser_.Reset();
    clock_.Reset();
    video_.Close();
    audio_.Close();
    videoId_ = -1;
    audioChosen_ = false;
    stopped_ = false;
}

std::uint64_t PlaybackDecoder::Errors() const
{
    return parser_.Counters().damagedUnits + video_.Errors() + audio_.Errors();
}

void PlaybackDecoder::OnPayload(const mpeg::PesPayload& payload)
{
    if (stopped_) return;
    const bool hasTime = payload.hasPts;
    const std::int64_t time = hasTime ? clock_.ToReferenceTime(payload.pts) : 0;
    if (IsVideo(payload.streamId)) {
        if (videoId_ < 0) {
            // The frame rate comes from the sequence header; 25 per second until then.
            if (!video_.Open(0)) return;
            videoId_ = payload.streamId;
        }
        if (payload.streamId != videoId_) return;
        video_.Decode(payload.data, payload.size, hasTime, time,
                      [this](const mpegdec::DecodedPicture& p) { return EmitPicture(p); });
        return;
    }
    OnAudio(payload, hasTime, time);
}

void PlaybackDecoder::OnAudio(const mpeg::PesPayload& payload, bool hasTime, std::int64_t time)
{
    if (!audioChosen_) {
        mpegdec::StreamProbe probe;
        if (!mpegdec::ProbeAudioPayload(payload, &probe)) return;
        if (!audio_.Open(CodingOf(probe.audio), probe.channels, probe.rate, probe.bits)) return;
        audioProbe_ = probe;
        audioChosen_ = true;
    }
    if (payload.streamId != audioProbe_.audioId) return;
    if (payload.streamId == 0xBD && payload.substreamId != audioProbe_.substream) return;
    const std::size_t offset = static_cast<std::size_t>(audioProbe_.dataOffset);
    if (payload.size <= offset) return;
    audio_.Decode(payload.data + offset, payload.size - offset, hasTime, time,
                  [this](const mpegdec::PcmBlock& b) { return EmitSound(b); });
}

bool PlaybackDecoder::EmitPicture(const mpegdec::DecodedPicture& picture)
{
    OutputUnit unit;
    unit.picture = true;
    unit.start = picture.start;
    unit.duration = picture.duration;
    unit.frame = picture.frame;
    stopped_ = stopped_ || !sink_(unit);
    return !stopped_;
}

bool PlaybackDecoder::EmitSound(const mpegdec::PcmBlock& block)
{
    OutputUnit unit;
    unit.start = block.start;
    unit.duration = static_cast<std::int64_t>(block.frames) * 10000000 / audio_.Rate();
    unit.audioFrames = block.frames;
    stopped_ = stopped_ || !sink_(unit);
    return !stopped_;
}

}  // namespace quvo::board
