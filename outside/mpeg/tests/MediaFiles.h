// Short program streams made by ffmpeg from its test sources, and helpers that
// run ffmpeg/ffprobe as the independent reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quvo::mpegdec::test {

// Runs a shell command and returns its standard output.
std::string Run(const std::string& command);
std::string TempPath(const std::string& name);

// `preset`: an ffmpeg -target name ("pal-dvd", "pal-svcd", "pal-vcd"); `extra` more
// options (e.g. "-acodec pcm_dvd -ac 2"). Empty on failure.
std::string MakeProgramStream(const std::string& name, const std::string& preset, double seconds,
                              const std::string& extra = "");

std::vector<std::uint8_t> ReadFile(const std::string& path);

}  // namespace quvo::mpegdec::test
