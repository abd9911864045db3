// Benchmark: the cost of a DVD-preset capture with preview through QuvoSDK, and how
// soon a preview shows its first picture.
//
//  1. CPU seconds per second of a capture (MPEG-2 720x576, 6 Mbit/s VBR, LPCM) with
//     video and audio preview, rendered headless (the window's surface only counts
//     pictures). Everything in the process counts: the board's encoder, the tee, the
//     writer, the demultiplexer, both decoders and both renderers. Beside it, the
//     CPU that `ffmpeg -threads 1` needs to decode the recorded file, per second of
//     content: the decoding share of the preview done by a reference decoder.
//  2. Time from QuvoStartPreview to the first picture presented, over several starts.
//
//   capture_bench [seconds] [starts]     (default 20 s and 10 starts)
//
// Uses the build tree's registry unless QUVO_REGISTRY_DIR is set.
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <quvo/QuvoSDK.h>
#include <quvo/QuvoWindow.h>

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts pictures and remembers when the first one came: a window of the C
// window API whose frame callback only counts, as a host's would before painting.
struct Surface {
    Surface() : window(QuvoWindowCreate(nullptr, &OnFrame, this)) { QuvoWindowSetClientSize(window, 720, 576); }
    ~Surface() { QuvoWindowDestroy(window); }
    static void OnFrame(QUVO_WINDOW, const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                        void* context)
    {
        auto* self = static_cast<Surface*>(context);
        if (self->frames.fetch_add(1) == 0) self->first.store(Clock::now().time_since_epoch().count());
    }
    QUVO_WINDOW window;
    std::atomic<int> frames{0};
    std::atomic<Clock::rep> first{0};
};

bool Check(QUVO_RESULT r, const char* what)
{
    if (r == QUVO_SUCCESS) return true;
    std::fprintf(stderr, "capture_bench: %s failed (0x%08X)\n", what, r);
    return false;
}

bool SetDvdPreset()
{
    return Check(QuvoSetVideoCompressionStandard(2), "standard") && Check(QuvoSetVideoResolution(8192), "frame size") &&
           Check(QuvoSetVideoBitrate(1, 6000000, 6000000), "bit rate") &&
           Check(QuvoSetAudioSamplingRate(32), "sampling rate");
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 10;
    setenv("QUVO_REGISTRY_DIR", QUVO_BUILD_REGISTRY, 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    uint32_t mask = 0;
    if (!Check(QuvoInitialize(&mask), "QuvoInitialize")) return 1;
    if (!SetDvdPreset() || !Check(QuvoSetPreviewMode(8), "preview mode")) return 1;

    // The preview graph holds a writer too (it writes nothing): its file goes to
    // the temporary folder, not the current one.
    const char* dir = std::getenv("TMPDIR");
    const std::string file = std::string(dir ? dir : "/tmp") + "/capture_bench.mpg";
    if (!Check(QuvoSetCaptureFileName(file.c_str(), 0), "file name")) return 1;

    // 2. First picture after QuvoStartPreview.
    std::vector<double> firstMs;
    for (int i = 0; i < starts; ++i) {
        auto surface = std::make_unique<Surface>();
        if (!Check(QuvoSetPreviewWindow(surface->window, 0, 0, 720, 576), "preview window")) return 1;
        const auto t0 = Clock::now();
        if (!Check(QuvoStartPreview(), "QuvoStartPreview")) return 1;
        while (surface->frames.load() == 0 && Clock::now() - t0 < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto first = Clock::time_point(Clock::duration(surface->first.load()));
        if (surface->frames.load() > 0) firstMs.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
        QuvoStopPreview();
    }
    std::sort(firstMs.begin(), firstMs.end());

    // 1. CPU per second of a capture with preview.
    auto surface = std::make_unique<Surface>();
    QuvoSetPreviewWindow(surface->window, 0, 0, 720, 576);
    if (!Check(QuvoStartCapture(), "QuvoStartCapture")) return 1;
    std::this_thread::sleep_for(std::chrono::seconds(1));  // past the start-up
    const int framesBefore = surface->frames.load();
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const int frames = surface->frames.load() - framesBefore;
    uint64_t bytes = 0;
    QuvoGetBytesStreamed(&bytes);
    QuvoStopCapture();
    surface.reset();
    QuvoUninitialize();

    // Reference: one-thread ffmpeg decoding the same recording.
    const double child0 = CpuSeconds(RUSAGE_CHILDREN);
    const std::string command = "ffmpeg -nostdin -v quiet -threads 1 -i '" + file + "' -f null - >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const double ffmpegCpu = CpuSeconds(RUSAGE_CHILDREN) - child0;
    const double content = wall + 1.0;  // the file also holds the first second

    std::printf("DVD capture with preview, headless, %.1f s:\n", wall);
    std::printf("  CPU: %.3f s per second (%.2f s in %.1f s)\n", cpu / wall, cpu, wall);
    std::printf("  pictures presented: %.2f per second; written %.2f Mbit/s\n", frames / wall,
                static_cast<double>(bytes) * 8 / 1e6 / content);
    if (status == 0)
        std::printf("  reference, ffmpeg -threads 1 decoding the recording: %.3f CPU s per second of content\n",
                    ffmpegCpu / content);
    if (!firstMs.empty())
        std::printf("QuvoStartPreview to first picture over %zu starts: median %.1f ms, min %.1f ms, max %.1f ms\n",
                    firstMs.size(), firstMs[firstMs.size() / 2], firstMs.front(), firstMs.back());
    else
        std::printf("QuvoStartPreview: no picture within 10 s\n");
    std::remove(file.c_str());
    std::remove((file.substr(0, file.size() - 4) + ".mzl").c_str());
    return 0;
}
