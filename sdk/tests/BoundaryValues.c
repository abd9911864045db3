/* Every export as a C host calls it, with the edge values of each argument: 0, 1,
 * the largest and the sign boundaries of 32-bit numbers, -1 and the extremes where an
 * argument is signed, huge and empty names, null where a null check is part of the
 * call's contract, and out records allocated at exactly their size (so a write past
 * one is an ASan report). First without a device, then with the virtual board, then
 * through graphs started with edge limits and preview rectangles.
 *
 * Besides "no crash" it holds the results to what they claim: every result is one of
 * the defined codes; without a device nothing that needs one succeeds; a setter that
 * answers success reads back what it was given and keeps to the supported mask, one
 * that fails leaves the value as it was; a start that succeeds leaves a running graph.
 *
 * Waiting calls take only short time-outs: from 0xFFFFFFFF (wait for ever) down,
 * a long time-out waits that long when no event comes, as it is meant to. */
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <quvo/QuvoSDK.h>
#include <quvo/QuvoWindow.h>

static int failures = 0;
static void* lib;

#define CHECK(cond, ...)                                                     \
    do {                                                                     \
        if (!(cond)) {                                                       \
            fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, #cond); \
            fprintf(stderr, __VA_ARGS__);                                    \
            fputc('\n', stderr);                                             \
            ++failures;                                                      \
        }                                                                    \
    } while (0)

#define FN(name) ((__typeof__(&name))lookup(#name))

static void* lookup(const char* name)
{
    void* p = dlsym(lib, name);
    if (!p) {
        fprintf(stderr, "missing export %s\n", name);
        exit(1);
    }
    return p;
}

static const uint32_t kUnsigned[] = {0u, 1u, 2u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
static const int32_t kSigned[] = {0, 1, -1, INT32_MIN, INT32_MAX};
#define COUNT(a) (sizeof(a) / sizeof((a)[0]))

static int known(QUVO_RESULT r)
{
    switch (r) {
    case QUVO_SUCCESS: case QUVO_INFO_NO_SIGNAL: case QUVO_WARN_TV_STANDARD_MISMATCH:
    case QUVO_WARN_INVALID_SERIAL_LENGTH: case QUVO_ERR_FAILED: case QUVO_ERR_INVALID_PARAMETER:
    case QUVO_ERR_INVALID_POINTER: case QUVO_ERR_BUFFER_TOO_SMALL: case QUVO_ERR_DEVICE_NOT_FOUND:
    case QUVO_ERR_NOT_SUPPORTED: case QUVO_ERR_NOT_IMPLEMENTED:
        return 1;
    }
    return 0;
}

static void sleep_ms(long ms)
{
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

/* Exports of one 32-bit unsigned argument, and those that fill one 32-bit value. */
typedef QUVO_RESULT (*SetU32)(uint32_t);
typedef QUVO_RESULT (*GetU32)(uint32_t*);
static const char* const kSetters[] = {
    "QuvoSetVideoCompressionStandard", "QuvoSetVideoResolution", "QuvoSetAudioFormat", "QuvoSetAudioBitrate",
    "QuvoSetAudioSamplingRate", "QuvoSetTVStandard", "QuvoSetInputChannel", "QuvoSetOutputChannel",
    "QuvoGetCurrentOutputChannel", "QuvoSetCurrentOutput", "QuvoSetPreviewMode", "QuvoSetPreviewToFullScreen",
    "QuvoSetFileSizeLimit", "QuvoSetCaptureLimit", "QuvoSetPlaybackMode", "QuvoGetPlaybackCurrentPos",
    "QuvoGetPlaybackFileDuration", "QuvoSetPlaybackCurrentPos", "QuvoSetDebugLevel", "QuvoSetDebugTarget",
};
static const char* const kGetters[] = {
    "QuvoGetDeviceCapabilities", "QuvoGetPlaybackCapabilities", "QuvoGetSupportedVideoCompressionStandards",
    "QuvoGetCurrentVideoCompressionStandard", "QuvoGetSupportedVideoResolutions", "QuvoGetCurrentVideoResolution",
    "QuvoGetCurrentAudioFormat", "QuvoGetCurrentAudioBitrate", "QuvoGetSupportedAudioBitrates",
    "QuvoGetSupportedAudioSamplingRates", "QuvoGetCurrentAudioSamplingRate", "QuvoGetSupportedTVStandards",
    "QuvoGetCurrentTVStandard", "QuvoGetNumberOfLinesDetected", "QuvoIsSignalDetected", "QuvoGetProcAmpCapabilities",
    "QuvoGetSupportedInputChannels", "QuvoGetCurrentInputChannel", "QuvoGetSupportedOutputChannels",
    "QuvoGetCurrentOutput", "QuvoGetAudioCapabilities", "QuvoGetAudioMuteCapabilities", "QuvoGetPreviewCapabilities",
    "QuvoGetGraphState", "QuvoGetFilterGraphEvent",
};
static const char* const kNoArgument[] = {
    "QuvoEnableVCRSource", "QuvoDisableVCRSource", "QuvoEnableAnalogVideoDecoder", "QuvoDisableAnalogVideoDecoder",
    "QuvoStartRecording", "QuvoStopRecording", "QuvoStopPreview", "QuvoStopCapture", "QuvoStopPlayback",
};

/* Calls every export that takes values and no graph with every edge value. Results
 * must be defined codes; without a device, only what needs none may succeed. */
static void call_everything(int device)
{
    /* The exports of one number that work without a device. */
    const char* const noDevice[] = {"QuvoSetDebugLevel", "QuvoSetDebugTarget", "QuvoGetSupportedInputChannels"};
    for (size_t i = 0; i < COUNT(kSetters); ++i) {
        SetU32 f = (SetU32)lookup(kSetters[i]);
        for (size_t v = 0; v < COUNT(kUnsigned); ++v) {
            const QUVO_RESULT r = f(kUnsigned[v]);
            CHECK(known(r), "%s(0x%X) = 0x%X", kSetters[i], kUnsigned[v], r);
            if (!device && strcmp(kSetters[i], noDevice[0]) != 0 && strcmp(kSetters[i], noDevice[1]) != 0)
                CHECK(QUVO_FAILED(r), "%s(0x%X) = 0x%X without a device", kSetters[i], kUnsigned[v], r);
        }
    }
    FN(QuvoSetDebugLevel)(0);
    FN(QuvoSetDebugTarget)(QUVO_DEBUG_TARGET_NONE);
    FN(QuvoSetPreviewToFullScreen)(0);
    for (size_t i = 0; i < COUNT(kGetters); ++i) {
        GetU32 f = (GetU32)lookup(kGetters[i]);
        uint32_t* out = malloc(sizeof *out);
        const QUVO_RESULT r = f(out);
        CHECK(known(r), "%s = 0x%X", kGetters[i], r);
        if (!device && strcmp(kGetters[i], noDevice[2]) != 0)
            CHECK(QUVO_FAILED(r), "%s = 0x%X without a device", kGetters[i], r);
        free(out);
    }
    for (size_t i = 0; i < COUNT(kNoArgument); ++i) {
        const QUVO_RESULT r = ((QUVO_RESULT(*)(void))lookup(kNoArgument[i]))();
        CHECK(known(r) && QUVO_FAILED(r), "%s = 0x%X with no graph", kNoArgument[i], r);
    }
    CHECK(FN(QuvoGetFilterGraphEvent)(NULL) != QUVO_SUCCESS, "null event handle accepted");

    SdkVersion* version = malloc(sizeof *version);
    CHECK(FN(QuvoGetSDKVersion)(version) == QUVO_SUCCESS, "version");
    free(version);
    double* fps = malloc(sizeof *fps);
    CHECK(known(FN(QuvoGetCurrentFrameRate)(fps)), "frame rate");
    free(fps);
    SupportedVideoBitrates* rates = malloc(sizeof *rates);
    CHECK(known(FN(QuvoGetSupportedVideoBitrates)(rates)), "supported bit rates");
    free(rates);
    AudioParameters* audio = malloc(sizeof *audio);
    CHECK(known(FN(QuvoGetSupportedAudioParameters)(audio)), "audio parameters");
    free(audio);

    /* The device name: null buffer, sizes 0, exact, one short, huge. */
    uint32_t* length = malloc(sizeof *length);
    QUVO_RESULT r = FN(QuvoGetDeviceName)(NULL, 0xFFFFFFFFu, length);
    CHECK(r == (device ? QUVO_ERR_INVALID_POINTER : QUVO_ERR_DEVICE_NOT_FOUND), "null name buffer: 0x%X", r);
    if (device) {
        const uint32_t n = *length;
        QUVO_WCHAR* name = malloc((n + 1) * sizeof *name);
        CHECK(FN(QuvoGetDeviceName)(name, 0, length) == QUVO_ERR_BUFFER_TOO_SMALL, "size 0");
        CHECK(FN(QuvoGetDeviceName)(name, n, length) == QUVO_ERR_BUFFER_TOO_SMALL, "size without the zero");
        CHECK(FN(QuvoGetDeviceName)(name, n + 1, length) == QUVO_SUCCESS && name[n] == 0, "exact size");
        free(name);
    }
    free(length);

    /* Property codes and signed values at their edges; each result defined, and a
     * value a setter accepted reads back. */
    static const uint32_t kProperties[] = {QUVO_PROCAMP_BRIGHTNESS, QUVO_PROCAMP_CONTRAST, QUVO_PROCAMP_HUE,
                                           QUVO_PROCAMP_SATURATION, QUVO_PROCAMP_SHARPNESS, QUVO_AUDIO_MUTE};
    for (size_t p = 0; p < COUNT(kUnsigned) + COUNT(kProperties); ++p) {
        const uint32_t property = p < COUNT(kUnsigned) ? kUnsigned[p] : kProperties[p - COUNT(kUnsigned)];
        ControlRange* range = malloc(sizeof *range);
        CHECK(known(FN(QuvoGetProcAmpRange)(property, range)), "proc-amp range %u", property);
        CHECK(known(FN(QuvoGetSupportedAudioPropertyRange)(property, range)), "audio range %u", property);
        free(range);
        int32_t* value = malloc(sizeof *value);
        uint32_t* mute = malloc(sizeof *mute);
        for (size_t v = 0; v < COUNT(kSigned); ++v) {
            r = FN(QuvoSetProcAmpValue)(property, kSigned[v]);
            CHECK(known(r) && (device || QUVO_FAILED(r)), "proc-amp %u = %d: 0x%X", property, kSigned[v], r);
            if (r == QUVO_SUCCESS)
                CHECK(FN(QuvoGetCurrentProcAmpValue)(property, value) == QUVO_SUCCESS && *value == kSigned[v],
                      "proc-amp %u took %d, reads %d", property, kSigned[v], *value);
            r = FN(QuvoSetAudioPropertyValue)(property, kSigned[v]);
            CHECK(known(r) && (device || QUVO_FAILED(r)), "audio property %u = %d: 0x%X", property, kSigned[v], r);
            if (r == QUVO_SUCCESS)
                CHECK(FN(QuvoGetCurrentAudioPropertyValue)(property, value) == QUVO_SUCCESS && *value == kSigned[v],
                      "audio property %u took %d, reads %d", property, kSigned[v], *value);
        }
        for (size_t v = 0; v < COUNT(kUnsigned); ++v) {
            r = FN(QuvoSetAudioMute)(property, kUnsigned[v]);
            CHECK(known(r) && (device || QUVO_FAILED(r)), "mute %u = %u: 0x%X", property, kUnsigned[v], r);
        }
        CHECK(known(FN(QuvoGetAudioMute)(property, mute)), "mute %u", property);
        CHECK(known(FN(QuvoGetCurrentProcAmpValue)(property, value)), "proc-amp value %u", property);
        free(value);
        free(mute);
    }
    for (size_t a = 0; a < COUNT(kUnsigned); ++a)
        for (size_t b = 0; b < COUNT(kUnsigned); b += 2) {
            r = FN(QuvoSetVideoBitrate)(kUnsigned[a], kUnsigned[b], kUnsigned[(b + a) % COUNT(kUnsigned)]);
            CHECK(known(r) && (device || QUVO_FAILED(r)), "bit rate 0x%X 0x%X: 0x%X", kUnsigned[a], kUnsigned[b], r);
        }
    VideoBitrate* current = malloc(sizeof *current);
    CHECK(known(FN(QuvoGetCurrentVideoBitrate)(current)), "current bit rate");
    free(current);

    /* Names: null, empty, a missing folder, one far beyond any path length. */
    char* huge = malloc(70000);
    memset(huge, 'n', 69999);
    huge[69999] = 0;
    const char* names[] = {"", "no/such/folder/x.mpg", huge};
    CHECK(FN(QuvoSetCaptureFileName)(NULL, 0) == (device ? QUVO_ERR_INVALID_POINTER : QUVO_ERR_DEVICE_NOT_FOUND),
          "null capture name");
    CHECK(known(FN(QuvoSetPlaybackFileName)(NULL, 0xFFFFFFFFu)), "null playback name");
    for (size_t i = 0; i < COUNT(names); ++i)
        for (size_t v = 0; v < COUNT(kUnsigned); v += 3) {
            CHECK(known(FN(QuvoSetCaptureFileName)(names[i], kUnsigned[v])), "capture name %zu", i);
            CHECK(known(FN(QuvoSetPlaybackFileName)(names[i], kUnsigned[v])), "playback name %zu", i);
        }
    free(huge);

    /* Window handles: none, never made, and values no window has. */
    void* bogus[] = {NULL, (void*)1, (void*)(intptr_t)-1, (void*)&failures};
    for (size_t i = 0; i < COUNT(bogus); ++i) {
        r = FN(QuvoSetEventNotificationWindow)(bogus[i], 0xFFFFFFFFu);
        CHECK(QUVO_FAILED(r) && known(r), "event window %p: 0x%X", bogus[i], r);
        r = FN(QuvoSetPreviewWindow)(bogus[i], INT32_MIN, INT32_MAX, -1, 0);
        CHECK(QUVO_FAILED(r) && known(r), "preview window %p: 0x%X", bogus[i], r);
        CHECK(FN(QuvoWindowSetClientSize)(bogus[i], 1, 1) == 0, "client size of %p", bogus[i]);
        CHECK(FN(QuvoWindowDestroy)(bogus[i]) == 0, "destroying %p", bogus[i]);
    }
    uint32_t* state = malloc(sizeof *state);
    for (uint32_t t = 0; t < 2; ++t) CHECK(known(FN(QuvoGetCurrentGraphStatus)(state, t)), "status, time-out %u", t);
    free(state);
    uint64_t* bytes = malloc(sizeof *bytes);
    CHECK(QUVO_FAILED(FN(QuvoGetBytesStreamed)(bytes)), "bytes streamed with no graph");
    free(bytes);
}

/* Setters with a getter: success reads back what was given and lies in the supported
 * mask; a refusal leaves the value. */
static void check_setter_pairs(void)
{
    static const struct {
        const char *set, *get, *supported;
        int singleBit;
    } pairs[] = {
        {"QuvoSetVideoCompressionStandard", "QuvoGetCurrentVideoCompressionStandard",
         "QuvoGetSupportedVideoCompressionStandards", 1},
        /* Any code with a frame size goes to the driver, which has the last word. */
        {"QuvoSetVideoResolution", "QuvoGetCurrentVideoResolution", NULL, 0},
        {"QuvoSetAudioSamplingRate", "QuvoGetCurrentAudioSamplingRate", "QuvoGetSupportedAudioSamplingRates", 1},
        {"QuvoSetTVStandard", "QuvoGetCurrentTVStandard", "QuvoGetSupportedTVStandards", 1},
        {"QuvoSetInputChannel", "QuvoGetCurrentInputChannel", "QuvoGetSupportedInputChannels", 1},
        {"QuvoSetAudioFormat", "QuvoGetCurrentAudioFormat", NULL, 0},
        {"QuvoSetAudioBitrate", "QuvoGetCurrentAudioBitrate", NULL, 0},
        {"QuvoSetCurrentOutput", "QuvoGetCurrentOutput", NULL, 0},
    };
    for (size_t i = 0; i < COUNT(pairs); ++i) {
        SetU32 set = (SetU32)lookup(pairs[i].set);
        GetU32 get = (GetU32)lookup(pairs[i].get);
        uint32_t mask = 0xFFFFFFFFu, before = 0, after = 0;
        if (pairs[i].supported) ((GetU32)lookup(pairs[i].supported))(&mask);
        for (size_t v = 0; v < COUNT(kUnsigned) + 32; ++v) {
            const uint32_t value = v < COUNT(kUnsigned) ? kUnsigned[v] : 1u << (v - COUNT(kUnsigned));
            get(&before);
            const QUVO_RESULT r = set(value);
            const QUVO_RESULT g = get(&after);
            if (QUVO_FAILED(r)) {
                CHECK(after == before, "%s(0x%X) failed (0x%X) yet %s went 0x%X -> 0x%X", pairs[i].set, value, r,
                      pairs[i].get, before, after);
                continue;
            }
            CHECK(g == QUVO_SUCCESS && after == value, "%s(0x%X) = 0x%X, then %s reads 0x%X", pairs[i].set, value, r,
                  pairs[i].get, after);
            if (pairs[i].singleBit)
                CHECK((value & mask) == value && value != 0 && (value & (value - 1)) == 0,
                      "%s accepted 0x%X outside the supported mask 0x%X", pairs[i].set, value, mask);
        }
    }
    /* Back to what a capture below needs. */
    FN(QuvoSetTVStandard)(QUVO_TV_PAL_B);
    FN(QuvoSetVideoCompressionStandard)(QUVO_STANDARD_MPEG1);
    FN(QuvoSetVideoResolution)(QUVO_RESOLUTION_352x288);
    FN(QuvoSetVideoBitrate)(QUVO_RATE_CONSTANT, 1150000, 1150000);
    FN(QuvoSetAudioSamplingRate)(QUVO_AUDIO_RATE_48000);
    FN(QuvoSetInputChannel)(QUVO_CHANNEL_COMPOSITE);
}

static int frames = 0;
static void on_frame(QUVO_WINDOW w, const uint8_t* bgra, int32_t width, int32_t height, int32_t stride,
                     int32_t left, int32_t top, int32_t dw, int32_t dh, void* context)
{
    (void)w, (void)left, (void)top, (void)dw, (void)dh, (void)context;
    /* The picture must be readable as described: its last row, last pixel. */
    if (width > 0 && height > 0) {
        volatile uint8_t last = bgra[(size_t)(height - 1) * (size_t)stride + (size_t)width * 4 - 1];
        (void)last;
    }
    __atomic_add_fetch(&frames, 1, __ATOMIC_RELAXED);
}
static int messages = 0;
static void on_message(QUVO_WINDOW w, uint32_t m, uintptr_t wp, intptr_t lp, void* c)
{
    (void)w, (void)m, (void)wp, (void)lp, (void)c;
    __atomic_add_fetch(&messages, 1, __ATOMIC_RELAXED);
}

static void expect_running(QUVO_RESULT r, const char* what)
{
    uint32_t state = 0;
    FN(QuvoGetGraphState)(&state);
    CHECK(known(r), "%s: 0x%X", what, r);
    if (r == QUVO_SUCCESS) CHECK(state == QUVO_GRAPH_STATE_RUNNING, "%s succeeded, graph state %u", what, state);
}

static long long file_size(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 ? (long long)st.st_size : -1;
}

/* Graphs started with edge limits, names and preview rectangles. */
static void run_graphs(void)
{
    QUVO_WINDOW window = FN(QuvoWindowCreate)(&on_message, &on_frame, NULL);
    CHECK(window != NULL, "window");
    CHECK(FN(QuvoWindowSetClientSize)(window, INT32_MAX, INT32_MAX) == 1, "largest client size");
    CHECK(FN(QuvoWindowSetClientSize)(window, -1, 5) == 0, "negative client size");

    /* Captures with the edge fragment and total limits. A capture that reports
     * success runs, and what it wrote is listed in its description. */
    const uint32_t limits[][2] = {{0, 0}, {1, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu}, {1, 0xFFFFFFFFu}};
    char name[64];
    for (size_t i = 0; i < COUNT(limits); ++i) {
        FN(QuvoSetPreviewMode)(QUVO_PREVIEW_NONE);
        CHECK(FN(QuvoSetFileSizeLimit)(limits[i][0]) == QUVO_SUCCESS, "fragment limit");
        CHECK(FN(QuvoSetCaptureLimit)(limits[i][1]) == QUVO_SUCCESS, "capture limit");
        snprintf(name, sizeof name, "limits%zu.mpg", i);
        CHECK(FN(QuvoSetCaptureFileName)(name, 0xFFFFFFFFu) == QUVO_SUCCESS, "capture name");
        const QUVO_RESULT r = FN(QuvoStartCapture)();
        expect_running(r, "capture with edge limits");
        if (r == QUVO_SUCCESS)
            CHECK(FN(QuvoSetEventNotificationWindow)(window, 0xFFFFFFFFu) == QUVO_SUCCESS, "event window");
        sleep_ms(700);
        uint32_t state = 0;
        for (int e = 0; e < 8; ++e) CHECK(known(FN(QuvoGetCurrentGraphStatus)(&state, 0)), "status");
        uint64_t bytes = 0;
        CHECK(FN(QuvoGetBytesStreamed)(&bytes) == QUVO_SUCCESS, "bytes streamed");
        if (r == QUVO_SUCCESS) CHECK(FN(QuvoStopCapture)() == QUVO_SUCCESS, "stop");
        CHECK(QUVO_FAILED(FN(QuvoStopCapture)()), "second stop");
        snprintf(name, sizeof name, "limits%zu.mzl", i);
        if (r == QUVO_SUCCESS && bytes > 0) CHECK(file_size(name) > 0, "%s missing after %llu bytes", name,
                                                  (unsigned long long)bytes);
    }
    FN(QuvoSetFileSizeLimit)(0xFFFFFFFFu);
    FN(QuvoSetCaptureLimit)(0xFFFFFFFFu);

    /* Preview rectangles with each field at its edges, drawn into the window. */
    FN(QuvoSetCaptureFileName)("preview.mpg", 0);
    FN(QuvoSetPreviewMode)(QUVO_PREVIEW_VIDEO);
    for (int field = 0; field < 4; ++field)
        for (size_t v = 0; v < COUNT(kSigned); ++v) {
            int32_t rect[4] = {0, 0, 352, 288};
            rect[field] = kSigned[v];
            QUVO_RESULT r = FN(QuvoSetPreviewWindow)(window, rect[0], rect[1], rect[2], rect[3]);
            CHECK(r == QUVO_SUCCESS, "preview window: 0x%X", r);
            const int before = __atomic_load_n(&frames, __ATOMIC_RELAXED);
            r = FN(QuvoStartPreview)();
            expect_running(r, "preview");
            for (int wait = 0; wait < 40 && __atomic_load_n(&frames, __ATOMIC_RELAXED) == before; ++wait) sleep_ms(50);
            if (r == QUVO_SUCCESS) {
                CHECK(FN(QuvoSetPreviewToFullScreen)(0xFFFFFFFFu) == QUVO_ERR_FAILED, "full screen while running");
                CHECK(FN(QuvoStopPreview)() == QUVO_SUCCESS, "stop preview");
            }
        }

    /* Playback of names that are no media file: never a success that plays nothing. */
    const char* files[] = {"", "missing.mpg", "limits2.mzl"};
    const uint32_t modes[] = {0, QUVO_PLAYBACK_AUDIO_VIDEO, 0xFFFFFFFFu};
    for (size_t i = 0; i < COUNT(files); ++i)
        for (size_t m = 0; m < COUNT(modes); ++m) {
            FN(QuvoSetPlaybackFileName)(files[i], 0);
            FN(QuvoSetPlaybackMode)(modes[m]);
            const QUVO_RESULT r = FN(QuvoStartPlayback)();
            CHECK(known(r) && r != QUVO_SUCCESS, "playback of '%s', mode 0x%X: 0x%X", files[i], modes[m], r);
            if (r == QUVO_SUCCESS) FN(QuvoStopPlayback)();
        }
    CHECK(FN(QuvoWindowDestroy)(window) == 1, "destroy window");
    CHECK(FN(QuvoWindowDestroy)(window) == 0, "destroy window twice");
}

static void register_modules(void)
{
    const char* build = getenv("QUVO_BUILD_DIR");
    const char* modules = getenv("QUVO_MODULE_DIR");
    if (!build || !modules) {
        fprintf(stderr, "QUVO_BUILD_DIR and QUVO_MODULE_DIR must be set\n");
        exit(1);
    }
    const char* names[] = {"KestorBoard", "MpegDecoders", "TvrFileWriter"};
    for (size_t i = 0; i < COUNT(names); ++i) {
        char command[4096];
        snprintf(command, sizeof command, "'%s/tools/regsvr' -s '%s/%s.so'", build, modules, names[i]);
        if (system(command) != 0) {
            fprintf(stderr, "cannot register %s\n", names[i]);
            exit(1);
        }
    }
}

int main(void)
{
    lib = dlopen(QUVO_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "cannot load %s: %s\n", QUVO_SDK_PATH, dlerror());
        return 1;
    }
    call_everything(0);

    register_modules();
    FN(QuvoSetDebugLevel)(0xFFFFFFFFu);
    FN(QuvoSetDebugTarget)(0xFFFFFFFFu);
    uint32_t* status = malloc(sizeof *status);
    QUVO_RESULT r = FN(QuvoInitialize)(status);
    if (r != QUVO_SUCCESS) {
        fprintf(stderr, "QuvoInitialize = 0x%X, status 0x%X\n", r, *status);
        return 1;
    }
    free(status);
    call_everything(1);
    check_setter_pairs();
    run_graphs();

    /* Class identifiers of nothing registered: the next start-up cannot succeed quietly. */
    const QUVO_GUID none = {0xFFFFFFFFu, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    CHECK(FN(QuvoSetFilters)(&none, &none, &none) == QUVO_SUCCESS, "filters");
    CHECK(FN(QuvoUninitialize)() == QUVO_SUCCESS, "uninitialize");
    uint32_t mask = 0;
    r = FN(QuvoInitialize)(&mask);
    CHECK(r != QUVO_SUCCESS || (mask & QUVO_INIT_MPEG_FILTERS_MISSING), "start-up with unknown filters: 0x%X, 0x%X", r,
          mask);
    FN(QuvoUninitialize)();
    CHECK(dlclose(lib) == 0, "unload");
    if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
