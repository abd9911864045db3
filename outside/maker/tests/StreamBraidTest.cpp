// The braid writes what the board records: an MPEG-2 program stream with the
// video of a file made by ffmpeg (cut into access units, its times as PTS/DTS)
// and 48 kHz stereo linear PCM. ffprobe and ffmpeg, the independent reference,
// read it: both streams, every picture, no decoding error, pictures in time order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "outside/maker/AccessUnits.h"
#include "outside/maker/StreamBraid.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/TimeStampClock.h"

namespace quvo::maker {
namespace {

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string Temp(const std::string& name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

// The braid of `source`'s video and two seconds of tone.
std::vector<std::uint8_t> Braid(const std::string& source)
{
    std::ifstream in(source, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint8_t> out;
    StreamBraid braid;
    AccessUnitCutter cutter(400000, [&](AccessUnit& u) {
        braid.AddVideo(u.bytes.data(), u.bytes.size(), u.hasTime, u.pts, u.dts, u.key, out);
    });
    mpeg::TimeStampClock clock;
    mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& p) {
        if (p.streamId == 0xE0) cutter.Push(p.data, p.size, p.hasPts, p.hasPts ? clock.ToReferenceTime(p.pts) : 0);
    });
    // Audio first for the first 0.2 s, then a video block and the audio up to it,
    // as two upstream threads might deliver.
    std::vector<std::int16_t> tone(1600 * 2);
    int chunk = 0;
    auto addAudioUpTo = [&](double seconds) {
        for (; chunk < 60 && chunk * 1600 < seconds * 48000; ++chunk) {
            for (int i = 0; i < 1600; ++i)
                tone[2 * i] = tone[2 * i + 1] =
                    static_cast<std::int16_t>(8000 * std::sin((chunk * 1600 + i) * 2 * M_PI * 440 / 48000));
            braid.AddAudio(tone.data(), 1600, chunk % 3 == 0, chunk * 1600 * 10000000LL / 48000, out);
        }
    };
    addAudioUpTo(0.2);
    for (std::size_t at = 0; at < file.size(); at += 4096) {
        parser.Push(file.data() + at, std::min<std::size_t>(4096, file.size() - at));
        addAudioUpTo(0.2 + static_cast<double>(at) / static_cast<double>(file.size()) * 2.0);
    }
    cutter.Finish();
    braid.EndVideo(out);
    addAudioUpTo(2.0);
    braid.EndAudio(out);
    EXPECT_TRUE(braid.Finished());
    return out;
}

TEST(StreamBraid, FfmpegReadsEveryPictureAndTheBoardsAudio)
{
    const std::string source = Temp("braid-source.mpg");
    const std::string braided = Temp("braided.mpg");
    ASSERT_EQ(Shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=352x288:rate=25 -t 2 -c:v mpeg2video "
                  "-bf 2 -g 12 -b:v 3M -an -f vob '" + source + "'"),
              "");
    const std::vector<std::uint8_t> bytes = Braid(source);
    ASSERT_GT(bytes.size(), 2048u);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[3], 0xBA);  // a pack header first
    std::ofstream(braided, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));

    const std::string streams = Shell("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels "
                                    "-of csv=p=0 '" + braided + "'");
    EXPECT_NE(streams.find("mpeg2video"), std::string::npos) << streams;
    EXPECT_NE(streams.find("pcm_dvd,48000,2"), std::string::npos) << streams;
    EXPECT_EQ(Shell("ffmpeg -nostdin -v error -i '" + braided + "' -f null -"), "");

    const std::string times = Shell("ffprobe -v error -select_streams v -show_entries frame=pts_time -of csv=p=0 '"
                                  + braided + "'");
    std::istringstream lines(times);
    double last = -1;
    int pictures = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        EXPECT_NE(line.substr(0, 3), "N/A") << "picture " << pictures;
        const double t = std::atof(line.c_str());
        EXPECT_GT(t, last) << "picture " << pictures;
        last = t;
        ++pictures;
    }
    EXPECT_EQ(pictures, 50);
    const std::string audio = Shell("ffprobe -v error -select_streams a -show_entries stream=duration -of csv=p=0 '"
                                  + braided + "'");
    EXPECT_NEAR(std::atof(audio.c_str()), 2.0, 0.05) << audio;
}

}  // namespace
}  // namespace quvo::maker
