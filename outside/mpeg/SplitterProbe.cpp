#include "outside/mpeg/SplitterProbe.h"

#include <algorithm>
#include <fstream>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/graph/MpegStartCodes.h"

namespace quvo::mpegdec {
namespace {

constexpr std::size_t kProbeBytes = 4u << 20;

// Frame durations (100 ns) by the sequence header's frame rate code.
constexpr std::int64_t kFrameDurations[9] = {0, 417083, 416667, 400000, 333667, 333333, 200000, 166833, 166667};

bool ReadSequenceHeader(const std::uint8_t* p, std::size_t size, StreamProbe* probe)
{
    for (std::size_t i = mpeg::FindStartCode(p, size, 0); i + 12 <= size; i = mpeg::FindStartCode(p, size, i + 1)) {
        if (p[i + 3] != mpeg::kSequenceHeaderCode) continue;
        const std::uint8_t* h = p + i;
        const int width = (h[4] << 4) | (h[5] >> 4);
        const int height = ((h[5] & 0x0F) << 8) | h[6];
        const int rateCode = h[7] & 0x0F;
        if (width == 0 || height == 0) return false;
        probe->width = width;
        probe->height = height;
        if (rateCode >= 1 && rateCode <= 8) probe->frameDuration = kFrameDurations[rateCode];
        // The header runs to the next start code (quantiser matrices included).
        const std::size_t end = mpeg::FindStartCode(p, size, i + 12);
        probe->sequenceHeader.assign(h, p + end);
        probe->video = true;
        return true;
    }
    return false;
}

}  // namespace

bool ProbeAudioPayload(const mpeg::PesPayload& pes, StreamProbe* probe)
{
    const std::uint8_t* p = pes.data;
    const std::size_t n = pes.size;
    if (pes.streamId == mpeg::kPrivateStream1 && pes.substreamId >= mpeg::kFirstLpcmSubstream && pes.substreamId <= mpeg::kLastLpcmSubstream && n > 7) {
        probe->audio = ProbedAudio::Lpcm;
        probe->audioId = mpeg::kPrivateStream1;
        probe->substream = pes.substreamId;
        probe->dataOffset = 7;
        const std::uint8_t format = p[5];
        static constexpr int kBits[4] = {16, 20, 24, 16};
        probe->bits = kBits[format >> 6];
        probe->rate = ((format >> 4) & 3) == 1 ? 96000 : 48000;
        probe->channels = (format & 7) + 1;
    } else if (pes.streamId == mpeg::kPrivateStream1 && pes.substreamId >= mpeg::kFirstAc3Substream && pes.substreamId <= mpeg::kLastAc3Substream && n > 8) {
        probe->audio = ProbedAudio::Ac3;
        probe->audioId = mpeg::kPrivateStream1;
        probe->substream = pes.substreamId;
        probe->dataOffset = 4;
        probe->channels = 2;
        // Sync word 0B 77 at the first access unit when it starts the payload.
        if (p[4] == 0x0B && p[5] == 0x77 && n > 8) {
            static constexpr int kRates[4] = {48000, 44100, 32000, 48000};
            probe->rate = kRates[p[8] >> 6];
        }
    } else if (pes.streamId >= 0xC0 && pes.streamId <= 0xDF && n >= 4) {
        probe->audio = ProbedAudio::Mpeg;
        probe->audioId = pes.streamId;
        probe->substream = 0x10000000;
        probe->dataOffset = 0;
        probe->channels = 2;
        for (std::size_t i = 0; i + 3 < n; ++i) {
            if (p[i] != 0xFF || (p[i + 1] & 0xE0) != 0xE0) continue;
            const bool mpeg1 = (p[i + 1] >> 3) & 1;
            const int index = (p[i + 2] >> 2) & 3;
            if (index == 3) continue;
            static constexpr int kMpeg1[3] = {44100, 48000, 32000};
            static constexpr int kMpeg2[3] = {22050, 24000, 16000};
            probe->rate = mpeg1 ? kMpeg1[index] : kMpeg2[index];
            break;
        }
    } else {
        return false;
    }
    return true;
}

StreamProbe ProbeProgramStream(const std::uint8_t* data, std::size_t size)
{
    StreamProbe probe;
    bool videoDone = false;
    bool audioDone = false;
    mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& pes) {
        if (!videoDone && pes.streamId >= mpeg::kFirstVideoStream && pes.streamId <= mpeg::kLastVideoStream) {
            probe.videoId = pes.streamId;
            videoDone = ReadSequenceHeader(pes.data, pes.size, &probe);
        } else if (!audioDone) {
            audioDone = ProbeAudioPayload(pes, &probe);
        }
    });
    const std::size_t n = std::min(size, kProbeBytes);
    for (std::size_t pos = 0; pos < n && !(videoDone && audioDone); pos += 65536)
        parser.Push(data + pos, std::min<std::size_t>(65536, n - pos));
    return probe;
}

StreamProbe ProbeProgramStreamFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> data(kProbeBytes);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    StreamProbe probe = ProbeProgramStream(data.data(), data.size());
    if (probe.audio == ProbedAudio::None) probe.audio = ProbedAudio::Lpcm;
    return probe;
}

}  // namespace quvo::mpegdec
