// Benchmark: the cost of playing a DVD file back through QuvoSDK, and how soon
// playback shows its first picture.
//
//  1. CPU seconds per second of playback, headless (the window's surface only
//     counts pictures, sound goes to the null sink): to the screen (mode 8), to
//     the sound output (mode 4) and to both (mode 2). Everything in the process
//     counts: reader, splitter, tees, decoders, conversion, renderers. Beside each,
//     in the same run, the CPU that `ffmpeg -threads 1` needs to decode the same
//     file to the same output: BGRA pictures, 16-bit PCM, or both.
//  2. Time from QuvoStartPlayback to the first picture presented, over several starts.
//
//   playback_bench [seconds] [starts] [FILE]   (default 20 s, 10 starts, and a
//   pal-dvd file made by ffmpeg from its test sources)
//
// Uses the build tree's registry unless QUVO_REGISTRY_DIR is set.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Window.h"
#include <quvo/QuvoSDK.h>

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Surface : IVideoSurface {
    void PresentFrame(const std::uint8_t*, int, int, int, RECT) override
    {
        if (frames.fetch_add(1) == 0) first.store(Clock::now().time_since_epoch().count());
    }
    std::atomic<int> frames{0};
    std::atomic<Clock::rep> first{0};
};

// Posted messages count the graph's events; EC_COMPLETE comes once per renderer.
std::atomic<int> eventMessages{0};
void OnMessage(HWND, UINT message, WPARAM, LPARAM, void*)
{
    if (message == 1224) eventMessages.fetch_add(1);
}

bool Check(QUVO_RESULT r, const char* what)
{
    if (r == QUVO_SUCCESS) return true;
    std::fprintf(stderr, "playback_bench: %s failed (0x%08X)\n", what, r);
    return false;
}

struct Run {
    bool ok = false;
    double wall = 0;
    double cpu = 0;
    int frames = 0;
};

// Plays the file in `mode` to its end (every renderer's EC_COMPLETE) or `limit`.
Run Play(const std::string& file, uint32_t mode, int renderers, double limit)
{
    Run run;
    auto surface = std::make_shared<Surface>();
    HWND window = RegisterWindow(&OnMessage, nullptr, surface, 720, 576);
    eventMessages = 0;
    if (!Check(QuvoSetPlaybackFileName(file.c_str(), 0), "file name") || !Check(QuvoSetPlaybackMode(mode), "mode") ||
        !Check(QuvoSetPreviewWindow(window, 0, 0, 720, 576), "preview window") ||
        !Check(QuvoSetEventNotificationWindow(window, 1224), "event window")) {
        UnregisterWindow(window);
        return run;
    }
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const auto t0 = Clock::now();
    if (!Check(QuvoStartPlayback(), "QuvoStartPlayback")) {
        UnregisterWindow(window);
        return run;
    }
    int completes = 0;
    while (completes < renderers && Clock::now() - t0 < std::chrono::duration<double>(limit)) {
        uint32_t state = 0;
        if (eventMessages.load() > 0) {
            eventMessages.fetch_sub(1);
            if (QuvoGetCurrentGraphStatus(&state, 0) == QUVO_SUCCESS && state == 2) ++completes;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    run.wall = std::chrono::duration<double>(Clock::now() - t0).count();
    run.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    run.frames = surface->frames.load();
    run.ok = completes == renderers;
    QuvoStopPlayback();
    UnregisterWindow(window);
    return run;
}

double FfmpegCpu(const std::string& file, const std::string& outputs)
{
    const double child0 = CpuSeconds(RUSAGE_CHILDREN);
    const std::string command = "ffmpeg -nostdin -y -v quiet -threads 1 -i '" + file + "' " + outputs + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return -1;
    return CpuSeconds(RUSAGE_CHILDREN) - child0;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 10;
    setenv("QUVO_REGISTRY_DIR", QUVO_BUILD_REGISTRY, 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    std::string file;
    if (argc > 3) {
        file = argv[3];
    } else {
        const char* dir = std::getenv("TMPDIR");
        file = std::string(dir ? dir : "/tmp") + "/playback_bench.mpg";
        const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi "
                                 "-i sine=frequency=1000:sample_rate=48000 -t " + std::to_string(seconds)
                                 + " -target pal-dvd '" + file + "'";
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "playback_bench: ffmpeg could not make %s\n", file.c_str());
            return 1;
        }
    }

    uint32_t mask = 0;
    if (!Check(QuvoInitialize(&mask), "QuvoInitialize")) return 1;

    struct Case {
        const char* what;
        uint32_t mode;
        int renderers;
        const char* ffmpegOutputs;
    };
    const Case cases[] = {
        {"screen (mode 8)", 8, 1, "-map 0:v:0 -pix_fmt bgra -f rawvideo /dev/null"},
        {"sound (mode 4)", 4, 1, "-map 0:a:0 -ac 2 -f s16le /dev/null"},
        {"screen and sound (mode 2)", 2, 2,
         "-map 0:v:0 -pix_fmt bgra -f rawvideo /dev/null -map 0:a:0 -ac 2 -f s16le /dev/null"},
    };
    std::printf("file: %s\n", file.c_str());
    for (const Case& c : cases) {
        const Run run = Play(file, c.mode, c.renderers, seconds * 3 + 10);
        const double ffmpeg = FfmpegCpu(file, c.ffmpegOutputs);
        if (!run.ok) {
            std::printf("%s: no end of playback within the limit\n", c.what);
            continue;
        }
        std::printf("%s: %.1f s, %d pictures\n", c.what, run.wall, run.frames);
        std::printf("  CPU: %.3f s per second of playback; ffmpeg -threads 1: %.3f s per second; ratio %.2f\n",
                    run.cpu / run.wall, ffmpeg / run.wall, ffmpeg > 0 ? run.cpu / ffmpeg : 0.0);
    }

    std::vector<double> firstMs;
    for (int i = 0; i < starts; ++i) {
        auto surface = std::make_shared<Surface>();
        HWND window = RegisterWindow(nullptr, nullptr, surface, 720, 576);
        QuvoSetPlaybackFileName(file.c_str(), 0);
        QuvoSetPlaybackMode(2);
        QuvoSetPreviewWindow(window, 0, 0, 720, 576);
        const auto t0 = Clock::now();
        if (!Check(QuvoStartPlayback(), "QuvoStartPlayback")) return 1;
        while (surface->frames.load() == 0 && Clock::now() - t0 < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto first = Clock::time_point(Clock::duration(surface->first.load()));
        if (surface->frames.load() > 0) firstMs.push_back(std::chrono::duration<double, std::milli>(first - t0).count());
        QuvoStopPlayback();
        UnregisterWindow(window);
    }
    QuvoUninitialize();
    std::sort(firstMs.begin(), firstMs.end());
    if (!firstMs.empty())
        std::printf("QuvoStartPlayback to first picture (mode 2) over %zu starts: median %.1f ms, min %.1f ms, "
                    "max %.1f ms\n",
                    firstMs.size(), firstMs[firstMs.size() / 2], firstMs.front(), firstMs.back());
    else
        std::printf("QuvoStartPlayback: no picture within 10 s\n");
    return 0;
}
