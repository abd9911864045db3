// Benchmark: the desktop program on the virtual board, in this process as main()
// runs it (set QT_QPA_PLATFORM, e.g. run under xvfb-run with xcb).
//
//  1. Start: from QuvoInitialize to the main window shown with the device read
//     (FormCreate done, the window exposed), over several starts.
//  2. Buttons: for Preview, Capture, Stop and Playback, the time a press takes
//     until its new status is shown, less the time spent inside QuvoSDK and the
//     waits the program must make (25 ms before a preview, 100 ms in
//     ApplyCaptureSettings): the program's own cost of a press.
//  3. Preview CPU: CPU seconds per second of the whole process during a DVD
//     preview painted in the window's panel, beside the headless capture
//     benchmark's figure (capture_bench, run as a child now) for the same
//     preset, and their ratio.
//
//   desk_bench [seconds] [starts]     (default 10 s and 5 starts)
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/TMain.h"
#include "ui/VideoPanel.h"

namespace {

using namespace encoderdesk;

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The event loop for `ms` ms, idle when there is nothing to do (a polling loop
// would count its own CPU against the program).
void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The program as main() starts it; nullptr when the board cannot be opened.
std::unique_ptr<TMain> Start(double& ms)
{
    QElapsedTimer t;
    t.start();
    uint32_t mask = 0;
    if (QuvoInitialize(&mask) != QUVO_SUCCESS) return nullptr;
    auto main = std::make_unique<TMain>();
    main->show();
    while ((!main->windowHandle() || !main->windowHandle()->isExposed()) && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    return main;
}

void Close(std::unique_ptr<TMain>& main)
{
    main.reset();
    QuvoUninitialize();  // the start's initialize (the window undid its own)
}

// Milliseconds of a press beyond the SDK's time and the fixed waits.
double Press(TMain& m, QPushButton* button, double fixedWaitMs)
{
    m.sdk.ResetSpent();
    QElapsedTimer t;
    t.start();
    button->click();  // the status text is repainted before the handler returns
    const double wall = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const double sdk = std::chrono::duration<double, std::milli>(m.sdk.Spent()).count();
    return wall - sdk - fixedWaitMs;
}

// capture_bench's "CPU: x s per second" line, run now for `seconds`.
double HeadlessFigure(double seconds)
{
    const std::string command = std::string(CAPTURE_BENCH) + " " + std::to_string(seconds) + " 1";
    FILE* out = popen(command.c_str(), "r");
    if (!out) return 0;
    char line[512];
    double figure = 0;
    while (std::fgets(line, sizeof line, out)) {
        std::fputs(line, stdout);
        if (std::sscanf(line, "  CPU: %lf s per second", &figure) == 1) continue;
    }
    pclose(out);
    return figure;
}

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 5;
    setenv("QUVO_REGISTRY_DIR", QUVO_BUILD_REGISTRY, 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string work = std::filesystem::temp_directory_path() / "desk_bench";
    std::filesystem::remove_all(work);
    setenv("XDG_CONFIG_HOME", (work + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (work + "/data").c_str(), 1);
    QApplication app(argc, argv);

    // 1. Starts: the first one from the process's start (Qt's own start-up, the
    // modules loaded), then again in the running process.
    double firstMs = 0;
    {
        auto main = Start(firstMs);
        if (!main) {
            std::fprintf(stderr, "desk_bench: the board cannot be opened\n");
            return 1;
        }
        firstMs = static_cast<double>(sinceMain.nsecsElapsed()) / 1e6;
        Close(main);
    }
    std::vector<double> startMs;
    for (int i = 0; i < starts; ++i) {
        double ms = 0;
        auto main = Start(ms);
        if (!main) {
            std::fprintf(stderr, "desk_bench: the board cannot be opened\n");
            return 1;
        }
        startMs.push_back(ms);
        Close(main);
    }
    std::sort(startMs.begin(), startMs.end());

    std::printf("Headless capture benchmark, DVD preset with preview:\n");
    std::fflush(stdout);
    const double headless = HeadlessFigure(seconds);

    double ms = 0;
    auto main = Start(ms);
    if (!main) return 1;
    TMain& m = *main;
    m.deDirectory->setText(QString::fromStdString(work + "/video"));
    m.cbAutoFileName->setChecked(true);
    m.Profile.ProfileCode = kProfileDvd;

    // 2. Presses, each several times; the worst counts.
    std::array<double, 4> worst{};  // preview, capture, stop, playback
    for (int i = 0; i < 3; ++i) {
        worst[0] = std::max(worst[0], Press(m, m.mbStartPreview, 125));
        Wait(500);
        worst[2] = std::max(worst[2], Press(m, m.mbStop, 0));
        worst[1] = std::max(worst[1], Press(m, m.mbCapture, 100));
        Wait(1500);
        worst[2] = std::max(worst[2], Press(m, m.mbStop, 0));
        worst[3] = std::max(worst[3], Press(m, m.mbPlayback, 100));
        Wait(500);
        worst[2] = std::max(worst[2], Press(m, m.mbStop, 0));
    }

    // 3. A preview painted in the panel.
    m.mbStartPreview->click();
    Wait(1000);  // past the start-up
    const int painted0 = m.PreviewPanel->FramesPainted();
    const double cpu0 = CpuSeconds();
    QElapsedTimer t;
    t.start();
    Wait(static_cast<int>(seconds * 1000));
    const double wall = static_cast<double>(t.nsecsElapsed()) / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    const int painted = m.PreviewPanel->FramesPainted() - painted0;
    m.mbStop->click();
    Close(main);
    std::filesystem::remove_all(work);

    std::printf("encoderdesk (%s):\n", qPrintable(QGuiApplication::platformName()));
    std::printf("  process start to window shown with the device read: %.0f ms\n", firstMs);
    std::printf("  QuvoInitialize to window shown with the device read, %d more starts: median %.0f ms, max %.0f ms\n",
                starts, startMs[startMs.size() / 2], startMs.back());
    std::printf("  press to status shown, beyond SDK calls and fixed waits (worst of 3): preview %.1f ms, "
                "capture %.1f ms, stop %.1f ms, playback %.1f ms\n",
                worst[0], worst[1], worst[2], worst[3]);
    std::printf("  DVD preview in the panel, %.1f s: CPU %.3f s per second, %.2f pictures painted per second\n", wall,
                cpu / wall, painted / wall);
    if (headless > 0)
        std::printf("  ratio to the headless capture benchmark's %.3f: %.2f\n", headless, cpu / wall / headless);
    return 0;
}
