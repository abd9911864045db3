// Helpers for the board's tests: run the encoder core for a while, write what it
// makes to a file, and read it back with independent parsers (ffprobe as a
// subprocess, libavformat/libavcodec in process).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "outside/board/core/BoardEncoder.h"

namespace quvo::board::test {

// Encodes `seconds` of stream at nominal frame times; `perFrame` (may be empty)
// is called before each frame with its number, to change settings on the way.
std::vector<std::uint8_t> EncodeSeconds(BoardEncoder& encoder, double seconds, TvSystem tv,
                                        const std::function<void(int)>& perFrame = {});

std::string TempPath(const std::string& name);
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// What a shell command prints on its standard output.
std::string CommandOutput(const std::string& command);
// A file made by ffmpeg from its test picture and a 1 kHz tone, `seconds` long,
// with output `options` (e.g. "-target pal-dvd"); empty on failure.
std::string MakeTestFile(const std::string& name, double seconds, const std::string& options);

// `ffprobe -v error -show_streams -show_format -of json FILE`; empty on failure.
std::string Ffprobe(const std::string& path);
// What `ffmpeg -v error -i FILE -f null -` prints decoding the whole file
// (empty: it decodes cleanly).
std::string FfmpegErrors(const std::string& path);
// Pictures of the first video stream and samples per channel of the first audio
// stream, as ffprobe decodes them (0 without such a stream).
long PictureCount(const std::string& path);
long long AudioSampleCount(const std::string& path);
// The value of "key": in the JSON object of the stream whose codec_type is `type`.
std::string StreamField(const std::string& json, const std::string& type, const std::string& key);

struct DecodedVideo {
    int width = 0;
    int height = 0;
    bool key = false;
    double meanLuma = 0;
};
struct DecodedMedia {
    std::vector<DecodedVideo> pictures;
    std::vector<std::int16_t> samples;  // interleaved stereo
    int sampleRate = 0;
    int channels = 0;
};
// Demultiplexes and decodes a whole file with libavformat and libavcodec.
DecodedMedia DecodeFile(const std::string& path);

}  // namespace quvo::board::test
