// soak_driver: the long run of bench/soak/soak.sh, through QuvoSDK's exports only.
//
//   soak_driver --dir DIR [--seconds N] [--capture-share F] [--fragment MIB]
//               [--switch S] [--pause S] [--bitrate BPS]
//
// Two halves in one process, so its memory and descriptors are watched over both:
//  1. a capture (QuvoStartCapture) into DIR/capture.mpg for F of the N seconds, with
//     fragments of MIB MiB and the capture limit raised to the largest value;
//  2. a preview for the rest, from which recordings are switched on for S seconds and
//     off for P seconds, each under a new name (DIR/rec_<n>.mpg).
// Prints one line per step ("capture ..." and "recording ..." with the bytes the
// writer counted: for the capture read just before it stops, so the files may hold a
// little more) and exits 0 only when every call succeeded and no graph event
// reported a failure.
#include <dirent.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <quvo/QuvoSDK.h>
#include <quvo/QuvoWindow.h>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> graphEvents{0};
void OnGraphMessage(QUVO_WINDOW, uint32_t, uintptr_t, intptr_t, void*) { graphEvents.fetch_add(1); }

struct Options {
    std::string dir;
    double seconds = 3600;
    double captureShare = 0.5;
    double fragmentMiB = 650;
    double switchSeconds = 180;
    double pauseSeconds = 30;
    uint32_t bitrate = 6000000;
};

bool Ok(QUVO_RESULT r, const char* what)
{
    if (r == QUVO_SUCCESS) return true;
    std::fprintf(stderr, "soak_driver: %s failed (result 0x%08X)\n", what, r);
    return false;
}

// Waits `seconds`, watching the graph: false when an event says it failed or stopped.
bool Run(double seconds, const char* what)
{
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (graphEvents.exchange(0) == 0) continue;
        uint32_t state = 0;
        QuvoGetCurrentGraphStatus(&state, 0);
        if (state == QUVO_GRAPH_STATE_FAILED || state == QUVO_GRAPH_STATE_STOPPED) {
            std::fprintf(stderr, "soak_driver: the graph went to state %u during %s\n", state, what);
            return false;
        }
    }
    return true;
}

uint64_t BytesStreamed()
{
    uint64_t bytes = 0;
    QuvoGetBytesStreamed(&bytes);
    return bytes;
}

// Resident memory (KiB) and open descriptors of this process, printed at points
// that are alike (a capture after its first minute and at its end, the preview after
// each recording), so the script can tell whether they grew.
void PrintUse(const char* when)
{
    long rssKiB = -1;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmRSS: %ld", &rssKiB) == 1) break;
        std::fclose(f);
    }
    int fds = -1;
    if (DIR* d = opendir("/proc/self/fd")) {
        fds = 0;
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++fds;
        closedir(d);
        --fds;  // the one opendir holds
    }
    std::printf("use %s rss_kib %ld fds %d\n", when, rssKiB, fds);
    std::fflush(stdout);
}

bool SetName(const std::string& path)
{
    return Ok(QuvoSetCaptureFileName(path.c_str(), static_cast<uint32_t>(path.size())), "QuvoSetCaptureFileName");
}

bool ParseArguments(int argc, char** argv, Options* o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const char* v = argv[i + 1];
        if (a == "--dir") o->dir = v;
        else if (a == "--seconds") o->seconds = std::atof(v);
        else if (a == "--capture-share") o->captureShare = std::atof(v);
        else if (a == "--fragment") o->fragmentMiB = std::atof(v);
        else if (a == "--switch") o->switchSeconds = std::atof(v);
        else if (a == "--pause") o->pauseSeconds = std::atof(v);
        else if (a == "--bitrate") o->bitrate = static_cast<uint32_t>(std::atol(v));
        else return false;
    }
    return !o->dir.empty() && o->seconds > 0 && o->fragmentMiB >= 0.25 && o->switchSeconds > 0 &&
           o->captureShare >= 0 && o->captureShare <= 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArguments(argc, argv, &o)) {
        std::fprintf(stderr,
                     "usage: soak_driver --dir DIR [--seconds N] [--capture-share F] [--fragment MIB]\n"
                     "                   [--switch S] [--pause S] [--bitrate BPS]\n");
        return 1;
    }
    uint32_t mask = 0;
    if (!Ok(QuvoInitialize(&mask), "QuvoInitialize")) return 2;
    bool ok = Ok(QuvoSetVideoCompressionStandard(QUVO_STANDARD_MPEG2), "standard") &&
              Ok(QuvoSetVideoResolution(QUVO_RESOLUTION_720x576), "frame size") &&
              Ok(QuvoSetVideoBitrate(QUVO_RATE_VARIABLE, o.bitrate, o.bitrate), "bit rate") &&
              Ok(QuvoSetAudioSamplingRate(QUVO_AUDIO_RATE_48000), "sampling rate") &&
              Ok(QuvoSetFileSizeLimit(static_cast<uint32_t>(o.fragmentMiB * 4 + 0.5)), "fragment size") &&
              Ok(QuvoSetCaptureLimit(0xFFFFFFFFu), "capture limit");
    QUVO_WINDOW events = QuvoWindowCreate(&OnGraphMessage, nullptr, nullptr);
    ok = ok && events && Ok(QuvoSetEventNotificationWindow(events, QUVO_WM_DEVICE_EVENT), "event window");

    // 1. The capture.
    const double captureSeconds = o.seconds * o.captureShare;
    if (ok && captureSeconds > 0) {
        ok = Ok(QuvoSetPreviewMode(QUVO_PREVIEW_NONE), "preview mode") && SetName(o.dir + "/capture.mpg") &&
             Ok(QuvoStartCapture(), "QuvoStartCapture");
        if (ok) {
            const double warm = captureSeconds > 120 ? 60 : captureSeconds / 2;
            ok = Run(warm, "the capture");
            PrintUse("capture-start");
            ok = ok && Run(captureSeconds - warm, "the capture");
            PrintUse("capture-end");
            const uint64_t bytes = BytesStreamed();
            ok = Ok(QuvoStopCapture(), "QuvoStopCapture") && ok;
            std::printf("capture capture.mpg %llu\n", static_cast<unsigned long long>(bytes));
            std::fflush(stdout);
        }
    }

    // 2. Recordings from a running preview. The event window is registered again:
    // the registration lasts until the graph is torn down.
    const double previewSeconds = o.seconds - captureSeconds;
    if (ok && previewSeconds > 0) {
        ok = Ok(QuvoSetPreviewMode(QUVO_PREVIEW_VIDEO), "preview mode") &&
             Ok(QuvoSetEventNotificationWindow(events, QUVO_WM_DEVICE_EVENT), "event window") &&
             SetName(o.dir + "/rec_1.mpg") && Ok(QuvoStartPreview(), "QuvoStartPreview");
        const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(previewSeconds));
        bool previewing = ok;
        for (int n = 1; ok && Clock::now() < end; ++n) {
            const std::string name = "rec_" + std::to_string(n) + ".mpg";
            // The writer counts over the whole preview: a recording's bytes are the
            // difference, read once it has stopped.
            const uint64_t before = BytesStreamed();
            ok = SetName(o.dir + "/" + name) && Ok(QuvoStartRecording(), "QuvoStartRecording");
            if (!ok) break;
            ok = Run(o.switchSeconds, "a recording");
            ok = Ok(QuvoStopRecording(), "QuvoStopRecording") && ok;
            const uint64_t bytes = BytesStreamed() - before;
            std::printf("recording %s %llu\n", name.c_str(), static_cast<unsigned long long>(bytes));
            std::fflush(stdout);
            PrintUse("preview");
            if (ok && Clock::now() < end) ok = Run(o.pauseSeconds, "the preview");
        }
        if (previewing) ok = Ok(QuvoStopPreview(), "QuvoStopPreview") && ok;
    }
    ok = Ok(QuvoUninitialize(), "QuvoUninitialize") && ok;
    if (events) QuvoWindowDestroy(events);
    return ok ? 0 : 3;
}
