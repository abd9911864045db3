// The C window API as a host sees it: callbacks with its context, none after
// destroy, and destroy allowed from inside a callback.
#include <quvo/QuvoWindow.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/win32/Window.h"

namespace {

struct Host {
    std::atomic<int> messages{0};
    uint32_t lastMessage = 0;
    uintptr_t lastW = 0;
    intptr_t lastL = 0;
    std::atomic<int> frames{0};
    int32_t frameWidth = 0, destLeft = 0, destWidth = 0;
    uint8_t firstByte = 0;
    bool destroyInCallback = false;
    int32_t destroyResult = -1;
};

extern "C" void OnMessage(QUVO_WINDOW window, uint32_t message, uintptr_t w, intptr_t l, void* context)
{
    auto* host = static_cast<Host*>(context);
    host->lastMessage = message;
    host->lastW = w;
    host->lastL = l;
    if (host->destroyInCallback) host->destroyResult = QuvoWindowDestroy(window);
    ++host->messages;
}

extern "C" void OnFrame(QUVO_WINDOW, const uint8_t* bgra, int32_t width, int32_t, int32_t, int32_t left, int32_t,
                        int32_t destWidth, int32_t, void* context)
{
    auto* host = static_cast<Host*>(context);
    host->frameWidth = width;
    host->destLeft = left;
    host->destWidth = destWidth;
    host->firstByte = bgra[0];
    ++host->frames;
}

TEST(WindowApiTest, CallbacksCarryTheHostContextAndStopAtDestroy)
{
    Host host;
    QUVO_WINDOW window = QuvoWindowCreate(&OnMessage, &OnFrame, &host);
    ASSERT_NE(window, nullptr);
    HWND hwnd = static_cast<HWND>(window);
    EXPECT_TRUE(IsWindow(hwnd));

    EXPECT_TRUE(PostMessage(hwnd, 1224, 7, -3));
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.lastMessage, 1224u);
    EXPECT_EQ(host.lastW, 7u);
    EXPECT_EQ(host.lastL, -3);

    EXPECT_EQ(QuvoWindowSetClientSize(window, 640, 480), 1);
    RECT client{};
    EXPECT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(QuvoWindowSetClientSize(window, -1, 480), 0);

    // The renderer's road: the window's surface, presented from its thread.
    std::shared_ptr<IVideoSurface> surface = GetWindowVideoSurface(hwnd);
    ASSERT_NE(surface, nullptr);
    std::vector<uint8_t> picture(16 * 4 * 2, 0x5A);
    surface->PresentFrame(picture.data(), 16, 2, 64, RECT{10, 20, 330, 260});
    EXPECT_EQ(host.frames, 1);
    EXPECT_EQ(host.frameWidth, 16);
    EXPECT_EQ(host.destLeft, 10);
    EXPECT_EQ(host.destWidth, 320);
    EXPECT_EQ(host.firstByte, 0x5A);

    EXPECT_EQ(QuvoWindowDestroy(window), 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessage(hwnd, 1224, 0, 0));
    surface->PresentFrame(picture.data(), 16, 2, 64, RECT{0, 0, 16, 2});  // a renderer that still holds it
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.frames, 1);
    EXPECT_EQ(QuvoWindowDestroy(window), 0);
}

TEST(WindowApiTest, WithoutFrameCallbackThereIsNoSurfaceAndDestroyMayComeFromTheCallback)
{
    Host host;
    host.destroyInCallback = true;
    QUVO_WINDOW window = QuvoWindowCreate(&OnMessage, nullptr, &host);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowVideoSurface(static_cast<HWND>(window)), nullptr);
    EXPECT_TRUE(PostMessage(static_cast<HWND>(window), 5, 0, 0));
    EXPECT_EQ(host.destroyResult, 1);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(window)));

    QUVO_WINDOW silent = QuvoWindowCreate(nullptr, nullptr, nullptr);
    EXPECT_TRUE(PostMessage(static_cast<HWND>(silent), 5, 0, 0));
    EXPECT_EQ(QuvoWindowDestroy(silent), 1);
    EXPECT_EQ(QuvoWindowDestroy(nullptr), 0);
}

}  // namespace
