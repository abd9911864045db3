// Measures, by hand, whether playback through QuvoSDK keeps real-time pace:
//  - pictures presented (the video renderer's count and the window's) against the
//    file's picture count from ffprobe;
//  - wall time from the first to the last picture presented against the span the
//    file's pictures cover (goal: within 2%);
//  - in the sound modes, the time from the first audio sample played to the end of
//    the last one against the file's audio duration (goal: within 100 ms).
//
//   playback_pace FILE [MODE]   (MODE 8, 4, 2 or 6; default 2)
//
// Links the SDK's objects so it can ask the device's renderers what they did, while
// playing through the exports as a host does. Headless; uses the build tree's
// registry unless QUVO_REGISTRY_DIR is set.
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/filters/renderers/AudioStatistics.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/win32/Window.h"
#include "sdk/EncoderDevice.h"
#include <quvo/QuvoSDK.h>

namespace {

using Clock = std::chrono::steady_clock;
using quvo::sdk::TheDevice;

struct Surface : IVideoSurface {
    void PresentFrame(const std::uint8_t*, int, int, int, RECT) override
    {
        const Clock::rep now = Clock::now().time_since_epoch().count();
        if (frames.fetch_add(1) == 0) first.store(now);
        last.store(now);
    }
    std::atomic<int> frames{0};
    std::atomic<Clock::rep> first{0};
    std::atomic<Clock::rep> last{0};
};

std::string Probe(const std::string& args, const std::string& file)
{
    const std::string command = "ffprobe -v error " + args + " -of csv=p=0 '" + file + "'";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        pclose(pipe);
    }
    return out;
}

// "25/1" and the like as a number.
double Rate(const std::string& fraction)
{
    const double num = std::atof(fraction.c_str());
    const auto slash = fraction.find('/');
    const double den = slash == std::string::npos ? 1.0 : std::atof(fraction.c_str() + slash + 1);
    return den > 0 ? num / den : 0.0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: playback_pace FILE [MODE]\n");
        return 2;
    }
    const std::string file = argv[1];
    const uint32_t mode = argc > 2 ? static_cast<uint32_t>(std::atoi(argv[2])) : 2;
    setenv("QUVO_REGISTRY_DIR", QUVO_BUILD_REGISTRY, 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const int filePictures = std::atoi(Probe("-count_frames -select_streams v:0 -show_entries stream=nb_read_frames", file).c_str());
    const double fps = Rate(Probe("-select_streams v:0 -show_entries stream=avg_frame_rate", file));
    const double audioSeconds = std::atof(Probe("-select_streams a:0 -show_entries stream=duration", file).c_str());

    uint32_t mask = 0;
    if (QuvoInitialize(&mask) != QUVO_SUCCESS) {
        std::fprintf(stderr, "playback_pace: QuvoInitialize failed\n");
        return 1;
    }
    auto surface = std::make_shared<Surface>();
    HWND window = RegisterWindow(nullptr, nullptr, surface, 720, 576);
    QuvoSetPlaybackFileName(file.c_str(), 0);
    QuvoSetPlaybackMode(mode);
    QuvoSetPreviewWindow(window, 0, 0, 720, 576);
    // The graph's events, EC_COMPLETE among them, reach the state only through a window.
    QuvoSetEventNotificationWindow(window, 1224);
    const auto t0 = Clock::now();
    if (QuvoStartPlayback() != QUVO_SUCCESS) {
        std::fprintf(stderr, "playback_pace: QuvoStartPlayback failed\n");
        return 1;
    }
    uint32_t state = 0;
    const auto limit = std::chrono::duration<double>(2 * std::max(audioSeconds, filePictures / std::max(fps, 1.0)) + 30);
    while (Clock::now() - t0 < limit) {
        if (QuvoGetCurrentGraphStatus(&state, 100) == QUVO_SUCCESS
            && (state == QUVO_GRAPH_STATE_STOPPED || state == QUVO_GRAPH_STATE_FAILED))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const double total = std::chrono::duration<double>(Clock::now() - t0).count();

    // The renderers keep their figures until the graph is torn down.
    int drawn = -1;
    ComPtr<IQualProp> quality;
    if (TheDevice().videoRendererFilter && SUCCEEDED(TheDevice().videoRendererFilter.As(std::addressof(quality))))
        quality->get_FramesDrawn(&drawn);
    LONGLONG soundFrames = 0, firstNs = 0, endNs = 0;
    LONG soundRate = 0;
    ComPtr<IAudioPlayStatistics> sound;
    const bool haveSound = TheDevice().audioRendererFilter
                           && SUCCEEDED(TheDevice().audioRendererFilter.As(std::addressof(sound)));
    // The first EC_COMPLETE may be the video's; the sound's end is known once it has played.
    for (int i = 0; haveSound && i < 250; ++i) {
        if (SUCCEEDED(sound->GetSoundPlayed(&soundFrames, &soundRate, &firstNs, &endNs)) && endNs > 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    QuvoStopPlayback();
    UnregisterWindow(window);
    QuvoUninitialize();

    std::printf("file: %s, mode %u, ended in state %u after %.2f s\n", file.c_str(), mode, state, total);
    const int presented = surface->frames.load();
    if (filePictures > 0 && (mode & 10)) {
        // The first and the last picture are (pictures - 1) frame periods apart.
        const double span = fps > 0 ? (filePictures - 1) / fps : 0.0;
        const double wall = std::chrono::duration<double>(Clock::duration(surface->last.load() - surface->first.load())).count();
        std::printf("pictures: %d presented (renderer drawn %d) of %d in the file: %.2f%%\n", presented, drawn,
                    filePictures, 100.0 * presented / filePictures);
        std::printf("first to last picture: %.3f s against %.3f s of pictures: %+.2f%%\n", wall, span,
                    span > 0 ? 100.0 * (wall - span) / span : 0.0);
    }
    if (mode & 6) {
        if (!haveSound || endNs <= 0) {
            std::printf("sound: the audio renderer played nothing\n");
        } else {
            const double played = static_cast<double>(endNs - firstNs) / 1e9;
            const double queued = soundRate > 0 ? static_cast<double>(soundFrames) / soundRate : 0.0;
            std::printf("sound: %.3f s from the first sample to the end of the last (%.3f s of samples) against "
                        "%.3f s in the file: %+.0f ms\n",
                        played, queued, audioSeconds, (played - audioSeconds) * 1000.0);
        }
    }
    return 0;
}
