// Streams multiplexed by ffmpeg (DVD preset with AC-3, DVD with linear PCM, VCD)
// parsed in odd block sizes; ffprobe, an independent demultiplexer, gives the byte
// totals and time stamps each elementary stream must add up to.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"

namespace quvo::mpeg {
namespace {

std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string TempDir()
{
    const char* t = std::getenv("TMPDIR");
    return t ? t : "/tmp";
}

std::string MakeFile(const std::string& name, const std::string& options)
{
    const std::string path = TempDir() + "/" + name;
    const std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                            "testsrc=size=352x288:rate=25 -f lavfi -i sine=frequency=800:sample_rate=48000 "
                            "-t 2 " + options + " " + path + " && echo ok";
    return Run(cmd).find("ok") != std::string::npos ? path : std::string();
}

struct ProbeTotals {
    std::map<int, std::uint64_t> bytes;          // by stream index
    std::map<int, std::uint64_t> packets;
    std::map<int, std::set<std::int64_t>> pts;   // 90 kHz
};

ProbeTotals Probe(const std::string& path)
{
    ProbeTotals t;
    std::istringstream lines(Run("ffprobe -v error -show_entries packet=stream_index,pts,size -of csv=p=0 " + path));
    std::string line;
    while (std::getline(lines, line)) {
        int index = 0;
        long long pts = 0, size = 0;
        char ptsText[32] = {0};
        if (sscanf(line.c_str(), "%d,%31[^,],%lld", &index, ptsText, &size) != 3) continue;
        t.bytes[index] += static_cast<std::uint64_t>(size);
        ++t.packets[index];
        if (sscanf(ptsText, "%lld", &pts) == 1) t.pts[index].insert(pts);
    }
    return t;
}

struct Collected {
    std::map<int, std::uint64_t> bytes;  // by router output
    std::map<int, std::vector<std::int64_t>> pts;
};

Collected ParseFile(const std::string& path, const std::vector<StreamMapping>& map, std::size_t block)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    StreamRouter router;
    for (const StreamMapping& m : map) router.Map(m);
    Collected c;
    ProgramStreamParser parser([&](const PesPayload& p) {
        RoutedPayload r;
        if (!router.Route(p, &r)) return;
        c.bytes[r.output] += r.size;
        if (p.hasPts) c.pts[r.output].push_back(static_cast<std::int64_t>(p.pts));
    });
    for (std::size_t pos = 0; pos < data.size(); pos += block)
        parser.Push(data.data() + pos, std::min(block, data.size() - pos));
    EXPECT_EQ(parser.Counters().damagedUnits, 0u);
    return c;
}

// `headerPerPacket`: bytes of its own header that ffprobe leaves in each packet.
void ExpectMatches(const Collected& c, const ProbeTotals& probe, int output, int streamIndex,
                   std::uint64_t headerPerPacket = 0)
{
    ASSERT_TRUE(probe.bytes.count(streamIndex));
    EXPECT_EQ(c.bytes.at(output), probe.bytes.at(streamIndex) - headerPerPacket * probe.packets.at(streamIndex))
        << "output " << output;
    ASSERT_FALSE(c.pts.at(output).empty());
    for (std::int64_t pts : c.pts.at(output))
        EXPECT_TRUE(probe.pts.at(streamIndex).count(pts)) << "pts " << pts << " output " << output;
}

TEST(RealProgramStreams, DvdWithAc3)
{
    const std::string path = MakeFile("dvd.mpg", "-target pal-dvd");
    ASSERT_FALSE(path.empty());
    const ProbeTotals probe = Probe(path);  // 0 navigation, 1 video, 2 AC-3
    // AC-3 substreams carry 4 header bytes: substream, frame count, first access unit.
    const Collected c = ParseFile(path, {{0xE0, 0, 0, 0}, {0xBD, 0x80, 4, 1}}, 1316);
    ExpectMatches(c, probe, 0, 1);
    ExpectMatches(c, probe, 1, 2);
}

TEST(RealProgramStreams, DvdWithLinearPcm)
{
    const std::string path = MakeFile("lpcm.mpg", "-target pal-dvd -acodec pcm_dvd -ac 2");
    ASSERT_FALSE(path.empty());
    const ProbeTotals probe = Probe(path);
    const Collected c = ParseFile(path, {{0xE0, 0, 0, 0}, {0xBD, 0xA0, 7, 1}}, 777);
    ExpectMatches(c, probe, 0, 1);
    // ffprobe keeps the 3-byte linear PCM header that our offset of 7 drops.
    ExpectMatches(c, probe, 1, 2, 3);
    EXPECT_EQ(c.bytes.at(1), 2u * 48000u * 4u);  // two seconds of 16-bit stereo
}

TEST(RealProgramStreams, VcdMpeg1SystemStream)
{
    const std::string path = MakeFile("vcd.mpg", "-target pal-vcd");
    ASSERT_FALSE(path.empty());
    const ProbeTotals probe = Probe(path);  // 0 video, 1 MPEG audio
    const Collected c = ParseFile(path, {{0xE0, 0, 0, 0}, {0xC0, 0, 0, 1}}, 5000);
    ExpectMatches(c, probe, 0, 0);
    ExpectMatches(c, probe, 1, 1);
}

}  // namespace
}  // namespace quvo::mpeg
