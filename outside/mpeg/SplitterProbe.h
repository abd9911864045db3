// What the splitter learns from the start of a program-stream file before the
// graph runs: the first video stream with its sequence header, and the first audio
// stream (linear PCM, AC-3 or MPEG audio) with its rate and channels. Plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/graph/MpegStartCodes.h"

namespace quvo::mpegdec {

enum class ProbedAudio { None, Lpcm, Ac3, Mpeg };

struct StreamProbe {
    bool video = false;
    std::uint8_t videoId = mpeg::kFirstVideoStream;
    int width = 720;
    int height = 576;
    std::int64_t frameDuration = 400000;  // 100 ns
    std::vector<std::uint8_t> sequenceHeader;

    ProbedAudio audio = ProbedAudio::None;
    std::uint8_t audioId = mpeg::kPrivateStream1;
    std::uint32_t substream = mpeg::kFirstLpcmSubstream;
    int dataOffset = 7;
    int rate = 48000;
    int channels = 2;
    int bits = 16;
};

// Reads the audio coding, rate and channels from one PES payload into `probe`;
// false (probe unchanged) when the packet is no audio the splitter knows.
bool ProbeAudioPayload(const mpeg::PesPayload& pes, StreamProbe* probe);

// Looks at up to the first few megabytes of `data`.
StreamProbe ProbeProgramStream(const std::uint8_t* data, std::size_t size);
// Reads the start of the file and probes it; defaults (PAL MPEG-2 video, 48 kHz
// stereo linear PCM) when the file cannot be read.
StreamProbe ProbeProgramStreamFile(const std::string& path);

}  // namespace quvo::mpegdec
