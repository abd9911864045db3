// Window table: a host registers a window; streaming threads post to it and hand it
// video frames while the host may unregister it at any moment.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/win32/Errors.h"
#include "platform/win32/Window.h"

namespace {

struct Counter {
    std::atomic<int> messages{0};
    std::atomic<long> sum{0};
    std::atomic<bool> inside{false};
    std::atomic<bool> unregistered{false};
    std::atomic<int> lateCalls{0};
};

void Count(HWND, UINT message, WPARAM wParam, LPARAM lParam, void* context)
{
    auto* c = static_cast<Counter*>(context);
    if (c->unregistered) ++c->lateCalls;
    c->inside = true;
    c->messages++;
    c->sum += static_cast<long>(message) + static_cast<long>(wParam) + static_cast<long>(lParam);
    std::this_thread::yield();
    c->inside = false;
}

TEST(WindowTable, PostsFromManyThreadsAllArrive)
{
    Counter counter;
    HWND w = RegisterWindow(&Count, &counter);
    ASSERT_TRUE(IsWindow(w));
    constexpr int kThreads = 4, kEach = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) ASSERT_TRUE(PostMessage(w, 1224, 1, 2));
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter.messages, kThreads * kEach);
    EXPECT_EQ(counter.sum, static_cast<long>(kThreads) * kEach * 1227);
    EXPECT_TRUE(UnregisterWindow(w));
}

TEST(WindowTable, DeadHandles)
{
    EXPECT_FALSE(IsWindow(nullptr));
    HWND w = RegisterWindow(nullptr, nullptr);
    EXPECT_TRUE(PostMessage(w, 1, 0, 0));  // no callback: dropped, still a window
    EXPECT_TRUE(UnregisterWindow(w));
    EXPECT_FALSE(UnregisterWindow(w));
    EXPECT_FALSE(IsWindow(w));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(PostMessage(w, 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    HWND next = RegisterWindow(nullptr, nullptr);
    EXPECT_NE(next, w) << "handles are not reused";
    EXPECT_FALSE(IsWindow(w));
    UnregisterWindow(next);
}

TEST(WindowTable, NoCallbackRunsAfterUnregisterReturns)
{
    for (int round = 0; round < 50; ++round) {
        auto counter = std::make_unique<Counter>();
        HWND w = RegisterWindow(&Count, counter.get());
        std::atomic<bool> stop{false};
        std::vector<std::thread> posters;
        for (int t = 0; t < 3; ++t)
            posters.emplace_back([&] {
                while (!stop) PostMessage(w, 7, 0, 0);
            });
        while (counter->messages < 10) std::this_thread::yield();
        ASSERT_TRUE(UnregisterWindow(w));
        counter->unregistered = true;
        EXPECT_FALSE(counter->inside) << "a callback was still running";
        stop = true;
        for (auto& t : posters) t.join();
        EXPECT_EQ(counter->lateCalls, 0);
    }
}

void UnregisterFromInside(HWND w, UINT, WPARAM, LPARAM, void* context)
{
    *static_cast<bool*>(context) = UnregisterWindow(w);
}

TEST(WindowTable, CallbackMayUnregisterItsOwnWindow)
{
    bool result = false;
    HWND w = RegisterWindow(&UnregisterFromInside, &result);
    EXPECT_TRUE(PostMessage(w, 1, 0, 0));
    EXPECT_TRUE(result);
    EXPECT_FALSE(IsWindow(w));
}

struct Surface : IVideoSurface {
    std::atomic<int> frames{0};
    std::atomic<int> lastWidth{0};
    void PresentFrame(const std::uint8_t* bgra, int width, int height, int stride, RECT dest) override
    {
        ASSERT_NE(bgra, nullptr);
        ASSERT_GE(stride, width * 4);
        EXPECT_EQ(dest.right - dest.left, width);
        (void)height;
        lastWidth = width;
        frames++;
    }
};

TEST(WindowTable, SurfaceOutlivesUnregisterWhileHeld)
{
    auto surface = std::make_shared<Surface>();
    std::weak_ptr<Surface> watch = surface;
    HWND w = RegisterWindow(nullptr, nullptr, surface, 640, 480);
    surface.reset();
    RECT client{};
    ASSERT_TRUE(GetClientRect(w, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_TRUE(SetWindowClientSize(w, 800, 600));
    ASSERT_TRUE(GetClientRect(w, &client));
    EXPECT_EQ(client.right, 800);

    std::vector<std::uint8_t> frame(16 * 8 * 4, 0x80);
    std::shared_ptr<IVideoSurface> held = GetWindowVideoSurface(w);
    ASSERT_TRUE(held);
    std::thread renderer([&] {
        for (int i = 0; i < 100; ++i) held->PresentFrame(frame.data(), 16, 8, 64, RECT{0, 0, 16, 8});
    });
    EXPECT_TRUE(UnregisterWindow(w));  // while the renderer may still be presenting
    renderer.join();
    EXPECT_EQ(watch.lock()->frames, 100);
    EXPECT_FALSE(GetWindowVideoSurface(w));
    EXPECT_FALSE(GetClientRect(w, &client));
    held.reset();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
