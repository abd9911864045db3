// Preview into a host's X11 window as a C host does: an Xlib window of our own, a
// handle from QuvoWindowCreateForX11, and the pixels read back from the server.
// Uses DISPLAY when set, else a private Xvfb; skips when neither is there.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include <quvo/QuvoWindow.h>

#include "sdk/graphs/tests/SdkGraphFixture.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace quvo::sdk::test {
namespace {

using namespace std::chrono_literals;

// A private X server for the run, when the environment has no display.
pid_t StartXvfb()
{
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[16] = {};
    const ssize_t got = pid > 0 ? read(fds[0], number, sizeof number - 1) : -1;
    close(fds[0]);
    if (got <= 0) {
        if (pid > 0) waitpid(pid, nullptr, 0);
        return -1;
    }
    setenv("DISPLAY", (":" + std::to_string(std::strtol(number, nullptr, 10))).c_str(), 1);  // "N\n"
    return pid;
}

class X11PreviewTest : public SdkGraphTest {
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (display && *display) display_ = XOpenDisplay(nullptr);
        // A private server now and then refuses every connection (another one on the
        // machine took its number meanwhile, it seems): then a fresh one is started.
        for (int servers = 0; !display_ && !(display && *display) && servers < 3; ++servers) {
            StopXvfb();
            xvfb_ = StartXvfb();
            for (int tries = 0; xvfb_ > 0 && !display_ && tries < 20; ++tries) {
                display_ = XOpenDisplay(nullptr);
                if (!display_) std::this_thread::sleep_for(100ms);
            }
        }
        const char* name = std::getenv("DISPLAY");
        if (!display_) GTEST_SKIP() << "no X display and no Xvfb (DISPLAY=" << (name ? name : "") << ")";
        SdkGraphTest::SetUp();
    }
    void TearDown() override
    {
        if (display_) {
            SdkGraphTest::TearDown();
            XCloseDisplay(display_);
        }
        StopXvfb();
    }
    void StopXvfb()
    {
        if (xvfb_ <= 0) return;
        kill(xvfb_, SIGTERM);
        waitpid(xvfb_, nullptr, 0);
        unsetenv("DISPLAY");
        xvfb_ = -1;
    }

    // Distinct colours inside the rectangle; 0 when it cannot be read.
    size_t Colours(Window window, int left, int top, int width, int height)
    {
        XImage* image = XGetImage(display_, window, left, top, width, height, AllPlanes, ZPixmap);
        if (!image) return 0;
        std::set<unsigned long> colours;
        for (int y = 0; y < height; y += 4)
            for (int x = 0; x < width; x += 4) colours.insert(XGetPixel(image, x, y) & 0xffffff);
        XDestroyImage(image);
        return colours.size();
    }
    unsigned long PixelAt(Window window, int x, int y)
    {
        XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
        XDestroyImage(image);
        return pixel;
    }

    Display* display_ = nullptr;
    pid_t xvfb_ = -1;
};

TEST_F(X11PreviewTest, PicturesAreDrawnIntoTheHostWindowAndStopAtDestroy)
{
    const Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 400, 300, 0, 0, 0);
    XMapWindow(display_, host);
    XSync(display_, False);

    QUVO_WINDOW window = QuvoWindowCreateForX11(host, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QuvoWindowCreateForX11(host + 0x100000, nullptr, nullptr), nullptr) << "not a window";
    ASSERT_TRUE(ApplyPreset(kDvd));
    ASSERT_EQ(QuvoSetPreviewWindow(window, 40, 30, 320, 240), QUVO_SUCCESS);
    ASSERT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    // The board's test pattern has many colours; an empty window has one.
    EXPECT_TRUE(WaitUntil([&] { return Colours(host, 40, 30, 320, 240) > 4; }, 20s)) << "no picture in the window";
    EXPECT_EQ(PixelAt(host, 10, 10), 0u) << "drawn outside the destination rectangle";

    EXPECT_EQ(QuvoWindowDestroy(window), 1);
    XClearWindow(display_, host);
    XSync(display_, False);
    std::this_thread::sleep_for(300ms);  // pictures keep coming to the renderer meanwhile
    EXPECT_EQ(Colours(host, 40, 30, 320, 240), 1u) << "drawn after destroy";
    ASSERT_EQ(QuvoStopPreview(), QUVO_SUCCESS);
    XDestroyWindow(display_, host);  // still the host's to destroy
    XSync(display_, False);
}

TEST(X11WindowTest, NoDisplayIsAFailureNotACrash)
{
    const char* saved = std::getenv("DISPLAY");
    const std::string keep = saved ? saved : "";
    unsetenv("DISPLAY");
    EXPECT_EQ(QuvoWindowCreateForX11(0x200001, nullptr, nullptr), nullptr);
    if (saved) setenv("DISPLAY", keep.c_str(), 1);
}

}  // namespace
}  // namespace quvo::sdk::test
