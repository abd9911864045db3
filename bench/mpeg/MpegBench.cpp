// Benchmark: CPU seconds per second of video spent demultiplexing, decoding and
// converting to BGRA a DVD-preset program stream (our parser and decoder cores,
// headless, one thread), beside `ffmpeg -threads 1 -i FILE -pix_fmt bgra -f null -`
// on the same file. Both are measured with getrusage (ours for this process,
// ffmpeg's as a child). Goal: at most 1.2 times ffmpeg.
//
//   mpeg_bench [seconds]     (default 20 s of 720x576 25 fps video)
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "outside/mpeg/AudioDecoderCore.h"
#include "outside/mpeg/VideoDecoderCore.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"

namespace {

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

int main(int argc, char** argv)
{
    using namespace quvo;
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/mpeg_bench_dvd.mpg";
    // A moving, detailed picture so the encoder makes a realistic bit rate.
    if (!Shell("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=720x576:rate=25 "
               "-f lavfi -i sine=frequency=1000:sample_rate=48000 -t " + std::to_string(seconds)
               + " -target pal-dvd -acodec pcm_dvd -ac 2 " + path)) {
        std::fprintf(stderr, "could not make %s\n", path.c_str());
        return 1;
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});

    // Ours: parse in 2 KiB packs as a live source delivers them, decode, convert.
    const double before = CpuSeconds(RUSAGE_SELF);
    mpegdec::VideoDecoderCore video;
    mpegdec::AudioDecoderCore audio;
    video.Open(400000);
    audio.Open(mpegdec::AudioCoding::Lpcm, 2, 48000, 16);
    std::vector<std::uint8_t> picture(720 * 576 * 4);
    std::size_t pictures = 0;
    auto onPicture = [&](const mpegdec::DecodedPicture& p) {
        video.ConvertToBgra(p.frame, picture.data(), 720 * 4, 720, 576);
        ++pictures;
        return true;
    };
    auto onPcm = [](const mpegdec::PcmBlock&) { return true; };
    mpeg::StreamRouter router;
    router.Map({0xE0, 0, 0, 0});
    router.Map({0xBD, 0xA0, 7, 1});
    mpeg::TimeStampClock clock;
    mpeg::ProgramStreamParser parser([&](const mpeg::PesPayload& p) {
        mpeg::RoutedPayload r;
        if (!router.Route(p, &r)) return;
        const std::int64_t t = p.hasPts ? clock.ToReferenceTime(p.pts) : 0;
        if (r.output == 0) video.Decode(r.data, r.size, p.hasPts, t, onPicture);
        else audio.Decode(r.data, r.size, p.hasPts, t, onPcm);
    });
    for (std::size_t pos = 0; pos < data.size(); pos += 2048)
        parser.Push(data.data() + pos, std::min<std::size_t>(2048, data.size() - pos));
    video.Drain(onPicture);
    const double ours = CpuSeconds(RUSAGE_SELF) - before;

    // ffmpeg on the same file, one thread, to BGRA, output discarded.
    const double childBefore = CpuSeconds(RUSAGE_CHILDREN);
    if (!Shell("ffmpeg -nostdin -hide_banner -loglevel error -threads 1 -i " + path
               + " -pix_fmt bgra -f null -")) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }
    const double theirs = CpuSeconds(RUSAGE_CHILDREN) - childBefore;

    std::printf("file: %s (%zu bytes, %d s, %zu pictures, %llu decoder errors)\n", path.c_str(), data.size(),
                seconds, pictures, static_cast<unsigned long long>(video.Errors()));
    std::printf("ours:   %.3f CPU s per s of video (%.2f s total)\n", ours / seconds, ours);
    std::printf("ffmpeg: %.3f CPU s per s of video (%.2f s total)\n", theirs / seconds, theirs);
    std::printf("ratio:  %.2f (goal <= 1.2)\n", theirs > 0 ? ours / theirs : 0.0);
    return 0;
}
