// Benchmark: how many times faster than real time the virtual board's encoder
// core makes the DVD preset (MPEG-2 720x576, 6 Mbit/s peak, PAL, one thread:
// test picture, video encoding, audio and multiplexing), beside
//   ffmpeg -f rawvideo ... -c:v mpeg2video (same rate control and groups) -threads 1 -f null -
// encoding the same pictures, written to a raw file first. Both are measured in
// CPU seconds with getrusage (ours for this process, ffmpeg's as a child).
// Goals: at least 4x real time, and within 10 % of ffmpeg.
//
//   board_bench [seconds]     (default 12 s of video)
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "outside/board/core/BoardEncoder.h"
#include "outside/board/core/Overlay.h"
#include "outside/board/core/TestPattern.h"
#include "outside/board/core/VideoEncoder.h"

namespace {

using namespace quvo::board;

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

VideoFormat DvdPreset()
{
    VideoFormat f;
    f.width = 720;
    f.height = 576;
    f.mpeg1 = false;
    f.vbr = true;
    f.bitRate = f.peakBitRate = 6000000;
    f.tv = TvSystem::Pal;
    return f;
}

// The pictures the board draws for `frames` frames, as raw 4:2:0.
bool WriteRawPictures(const std::string& path, int frames)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    TestPattern pattern;
    pattern.Configure(720, 576, PictureSettings{});
    Picture frame(720, 576);
    for (int i = 0; i < frames; ++i) {
        CopyPicture(pattern.Still(i), frame.View());
        DrawOverlays(frame.View(), i, TimeCodeOf(i, RateOf(TvSystem::Pal)), pattern.ProcessLuma(235),
                     pattern.ProcessLuma(235), pattern.ProcessLuma(16));
        PlaneView v = frame.View();
        for (int p = 0; p < 3; ++p) {
            const std::size_t size = p == 0 ? 720u * 576 : 360u * 288;
            if (std::fwrite(v.data[p], 1, size, f) != size) {
                std::fclose(f);
                return false;
            }
        }
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 12.0;
    const int frames = static_cast<int>(seconds * 25);
    const char* tmp = std::getenv("TMPDIR");
    const std::string raw = std::string(tmp && *tmp ? tmp : "/tmp") + "/board_bench_" +
                            std::to_string(static_cast<long>(getpid())) + ".yuv";

    // Ours: the whole board encoder, frame by frame as the capture pin drives it.
    BoardEncoder encoder;
    encoder.SetVideoFormat(DvdPreset());
    std::vector<std::uint8_t> out;
    std::size_t bytes = 0;
    const double before = CpuSeconds(RUSAGE_SELF);
    for (int i = 0; i < frames; ++i) {
        out.clear();
        if (!encoder.EncodeFrame(BoardEncoder::FrameTime(i, TvSystem::Pal), out)) {
            std::fprintf(stderr, "board_bench: encoding failed\n");
            return 1;
        }
        bytes += out.size();
    }
    out.clear();
    encoder.Finish(BoardEncoder::FrameTime(frames, TvSystem::Pal), out);
    bytes += out.size();
    const double ours = CpuSeconds(RUSAGE_SELF) - before;

    if (!WriteRawPictures(raw, frames)) {
        std::fprintf(stderr, "board_bench: cannot write %s\n", raw.c_str());
        return 1;
    }
    const VideoFormat f = DvdPreset();
    const int buffer = VideoEncoder::BufferSizeBits(f);
    const std::string command =
        "ffmpeg -v error -nostdin -f rawvideo -pix_fmt yuv420p -s 720x576 -r 25 -i '" + raw +
        "' -c:v mpeg2video -b:v 6000000 -maxrate 6000000 -bufsize " + std::to_string(buffer) +
        " -rc_init_occupancy " + std::to_string(buffer * 3 / 4) +
        " -g 12 -bf 2 -flags +cgop -sc_threshold 1000000000 -aspect 4:3 -threads 1 -f null -";
    const double childBefore = CpuSeconds(RUSAGE_CHILDREN);
    const int rc = std::system(command.c_str());
    const double theirs = CpuSeconds(RUSAGE_CHILDREN) - childBefore;
    std::remove(raw.c_str());
    if (rc != 0) {
        std::fprintf(stderr, "board_bench: ffmpeg failed: %s\n", command.c_str());
        return 1;
    }

    std::printf("DVD preset, %.1f s of video (%d frames), one thread\n", seconds, frames);
    std::printf("  board encoder: %.2f CPU s, %.1fx real time (%.0f kbit/s multiplexed)\n", ours, seconds / ours,
                bytes * 8.0 / seconds / 1000.0);
    std::printf("  ffmpeg:        %.2f CPU s, %.1fx real time\n", theirs, seconds / theirs);
    std::printf("  ratio board/ffmpeg CPU: %.2f (goal <= 1.10; real time goal >= 4x)\n", ours / theirs);
    return 0;
}
