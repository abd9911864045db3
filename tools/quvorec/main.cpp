// quvorec: records the encoder board to an MPEG file through QuvoSDK's exports.
//
//   quvorec [--preset vcd|svcd|dvd] [--seconds N] [--size MB] [--fragment MB]
//           [--on-the-fly] [--preview] [--log LEVEL] FILE
//
// Stops after the given time or size, or on Ctrl-C, whichever comes first, or when
// the graph reports that it stopped or failed; prints size, rate and signal once a
// second. --on-the-fly starts a preview and records
// from it with QuvoStartRecording, as the desktop program does.
//
// Exit status: 0 recorded, 1 bad arguments, 2 the board cannot be used (the reasons
// QuvoInitialize gives, in words), 3 a later step failed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <quvo/QuvoSDK.h>
#include <quvo/QuvoWindow.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// Set by the SDK's posting thread when the graph has queued an event; the main
// loop then asks for the status.
std::atomic<bool> graphEvent{false};

void OnGraphMessage(QUVO_WINDOW, uint32_t, uintptr_t, intptr_t, void*) { graphEvent = true; }

struct Options {
    std::string file;
    std::string preset = "dvd";
    double seconds = 0;      // 0: no time limit
    double sizeMB = 0;       // 0: no size limit
    double fragmentMB = 0;   // 0: the writer's default for the file system
    bool onTheFly = false;
    bool preview = false;
    int logLevel = -1;
};

struct PresetValues {
    const char* name;
    uint32_t standard, resolution, rateMode, bitrate;
};
constexpr PresetValues kPresets[] = {
    {"vcd", QUVO_STANDARD_MPEG1, QUVO_RESOLUTION_352x288, QUVO_RATE_CONSTANT, 1150000},
    {"svcd", QUVO_STANDARD_MPEG2, QUVO_RESOLUTION_480x576, QUVO_RATE_VARIABLE, 2375000},
    {"dvd", QUVO_STANDARD_MPEG2, QUVO_RESOLUTION_720x576, QUVO_RATE_VARIABLE, 6000000},
};

int Usage(const char* message)
{
    if (message) std::fprintf(stderr, "quvorec: %s\n", message);
    std::fprintf(stderr,
                 "usage: quvorec [--preset vcd|svcd|dvd] [--seconds N] [--size MB] [--fragment MB]\n"
                 "               [--on-the-fly] [--preview] [--log LEVEL] FILE\n");
    return 1;
}

bool ParseNumber(const char* text, double* out)
{
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end && *end == 0 && *out >= 0;
}

std::string InitMaskWords(uint32_t mask)
{
    static const struct {
        uint32_t bit;
        const char* words;
    } kBits[] = {
        {QUVO_INIT_BAD_WINDOWS, "unsupported operating system"},
        {QUVO_INIT_BAD_DIRECTX, "video output library missing"},
        {QUVO_INIT_OWN_FILTERS_MISSING, "own filters not registered"},
        {QUVO_INIT_MPEG_FILTERS_MISSING, "MPEG splitter or decoders not registered"},
        {QUVO_INIT_DEVICE_NOT_FOUND, "no encoder board found"},
        {QUVO_INIT_MULTIPLE_DEVICES, "more than one encoder board found"},
        {QUVO_INIT_COM_FAILED, "component library did not start"},
        {QUVO_INIT_CAPTURE_FILTERS_FAILED, "board could not be opened"},
    };
    std::string words;
    for (const auto& b : kBits) {
        if (!(mask & b.bit)) continue;
        if (!words.empty()) words += ", ";
        words += b.words;
    }
    return words.empty() ? "unknown reason" : words;
}

// Keeps the library's state straight on every way out.
struct Session {
    bool graph = false;
    bool recording = false;
    QUVO_WINDOW events = nullptr;
    ~Session()
    {
        if (recording) QuvoStopRecording();
        if (graph) QuvoStopCapture();  // stops a preview as well
        QuvoUninitialize();
        if (events) QuvoWindowDestroy(events);
    }
};

int Fail(const char* what, QUVO_RESULT r)
{
    std::fprintf(stderr, "quvorec: %s failed (result 0x%08X)\n", what, r);
    return 3;
}

int ParseArguments(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](double* out) {
            return i + 1 < argc && ParseNumber(argv[++i], out);
        };
        if (a == "--preset" && i + 1 < argc) {
            o->preset = argv[++i];
        } else if (a == "--seconds") {
            if (!value(&o->seconds)) return Usage("--seconds takes a number");
        } else if (a == "--size") {
            if (!value(&o->sizeMB)) return Usage("--size takes a number of megabytes");
        } else if (a == "--fragment") {
            if (!value(&o->fragmentMB)) return Usage("--fragment takes a number of megabytes");
        } else if (a == "--log") {
            double level = 0;
            if (!value(&level)) return Usage("--log takes a level from 0 to 6");
            o->logLevel = static_cast<int>(level);
        } else if (a == "--on-the-fly") {
            o->onTheFly = true;
        } else if (a == "--preview") {
            o->preview = true;
        } else if (a == "-h" || a == "--help") {
            return Usage(nullptr);
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else if (o->file.empty()) {
            o->file = a;
        } else {
            return Usage("only one output file");
        }
    }
    if (o->file.empty()) return Usage("no output file given");
    return 0;
}

const PresetValues* FindPreset(const std::string& name)
{
    for (const auto& p : kPresets)
        if (name == p.name) return &p;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (int status = ParseArguments(argc, argv, &o)) return status;
    const PresetValues* preset = FindPreset(o.preset);
    if (!preset) return Usage("preset must be vcd, svcd or dvd");

    std::signal(SIGINT, OnInterrupt);
    if (o.logLevel >= 0) {
        QuvoSetDebugLevel(static_cast<uint32_t>(o.logLevel));
        QuvoSetDebugTarget(QUVO_DEBUG_TARGET_FILE);
    }
    Session session;
    uint32_t mask = 0;
    if (QuvoInitialize(&mask) != QUVO_SUCCESS) {
        std::fprintf(stderr, "quvorec: the board cannot be used: %s (status 0x%03X)\n", InitMaskWords(mask).c_str(),
                     mask);
        return 2;
    }
    if (mask) std::fprintf(stderr, "quvorec: warning: %s\n", InitMaskWords(mask).c_str());

    QUVO_RESULT r;
    if ((r = QuvoSetVideoCompressionStandard(preset->standard)) != QUVO_SUCCESS) return Fail("compression standard", r);
    if ((r = QuvoSetVideoResolution(preset->resolution)) != QUVO_SUCCESS) return Fail("frame size", r);
    if ((r = QuvoSetVideoBitrate(preset->rateMode, preset->bitrate, preset->bitrate)) != QUVO_SUCCESS)
        return Fail("bit rate", r);
    if ((r = QuvoSetAudioFormat(QUVO_AUDIO_FORMAT_DEFAULT)) != QUVO_SUCCESS) return Fail("audio format", r);
    if ((r = QuvoSetAudioSamplingRate(QUVO_AUDIO_RATE_48000)) != QUVO_SUCCESS) return Fail("audio sampling rate", r);
    QuvoSetPreviewMode(o.preview ? QUVO_PREVIEW_VIDEO_AUDIO : QUVO_PREVIEW_NONE);
    // 256 KiB units; no fragment size leaves the largest file of the file system.
    uint32_t units = 0xFFFFFFFFu;
    if (o.fragmentMB > 0) units = std::max<uint32_t>(1, static_cast<uint32_t>(o.fragmentMB * 4 + 0.5));
    QuvoSetFileSizeLimit(units);
    QuvoSetCaptureLimit(0xFFFFFFFFu);
    if ((r = QuvoSetCaptureFileName(o.file.c_str(), static_cast<uint32_t>(o.file.size()))) != QUVO_SUCCESS)
        return Fail("file name", r);

    // Graph events come as messages to a window of ours (the registration lasts
    // until the graph is torn down).
    if (!(session.events = QuvoWindowCreate(&OnGraphMessage, nullptr, nullptr))) return Fail("creating a window", 0);
    if ((r = QuvoSetEventNotificationWindow(session.events, QUVO_WM_DEVICE_EVENT)) != QUVO_SUCCESS)
        return Fail("registering for graph events", r);

    if (o.onTheFly) {
        if ((r = QuvoStartPreview()) != QUVO_SUCCESS) return Fail("starting the preview", r);
        session.graph = true;
        if ((r = QuvoStartRecording()) != QUVO_SUCCESS) return Fail("starting the recording", r);
        session.recording = true;
    } else {
        if ((r = QuvoStartCapture()) != QUVO_SUCCESS) return Fail("starting the capture", r);
        session.graph = true;
    }
    std::printf("recording %s%s to %s\n", preset->name, o.onTheFly ? " from the preview" : "", o.file.c_str());

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextReport = start + std::chrono::seconds(1);
    uint64_t lastBytes = 0;
    const uint64_t sizeLimit = static_cast<uint64_t>(o.sizeMB * 1000000.0);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        uint64_t bytes = 0;
        if ((r = QuvoGetBytesStreamed(&bytes)) != QUVO_SUCCESS) return Fail("reading the byte count", r);
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (Clock::now() >= nextReport) {
            uint32_t signal = 0;
            QuvoIsSignalDetected(&signal);
            std::printf("%6.0f s  %9.2f MB  %6.2f Mbit/s  signal: %s\n", elapsed, bytes / 1e6,
                        (bytes - lastBytes) * 8 / 1e6, signal ? "yes" : "no");
            std::fflush(stdout);
            lastBytes = bytes;
            nextReport += std::chrono::seconds(1);
        }
        uint32_t state = QUVO_GRAPH_STATE_RUNNING;
        if (graphEvent.exchange(false)) QuvoGetCurrentGraphStatus(&state, 0);
        if (state == QUVO_GRAPH_STATE_FAILED) {
            std::fprintf(stderr, "quvorec: the graph failed after %.1f s with %.2f MB written (--log 5 says why)\n",
                         elapsed, bytes / 1e6);
            return 3;
        }
        if (interrupted || state == QUVO_GRAPH_STATE_STOPPED || (o.seconds > 0 && elapsed >= o.seconds) ||
            (sizeLimit > 0 && bytes >= sizeLimit)) {
            if (session.recording && (r = QuvoStopRecording()) != QUVO_SUCCESS) return Fail("stopping the recording", r);
            session.recording = false;
            if ((r = QuvoStopCapture()) != QUVO_SUCCESS) return Fail("stopping", r);
            session.graph = false;
            const char* how = interrupted ? "interrupted" : state == QUVO_GRAPH_STATE_STOPPED ? "stream ended" : "done";
            std::printf("%s after %.1f s: %.2f MB written\n", how, elapsed, bytes / 1e6);
            return 0;
        }
    }
}
