#include "platform/filters/renderers/SdlVideoWindow.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace quvo::filters {

bool SdlVideoWindow::DisplayAvailable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "dummy") == 0) return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

SdlVideoWindow::SdlVideoWindow(int width, int height)
    : width_(width), height_(height), picture_(static_cast<std::size_t>(width) * height * 4)
{
    thread_ = std::thread(&SdlVideoWindow::Loop, this);
}

SdlVideoWindow::~SdlVideoWindow()
{
    {
        std::lock_guard lock(frameLock_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool SdlVideoWindow::Ok() const
{
    std::lock_guard lock(frameLock_);
    return !failed_;
}

void SdlVideoWindow::Present(const std::uint8_t* bgra, int stride)
{
    std::lock_guard lock(frameLock_);
    const std::size_t row = static_cast<std::size_t>(width_) * 4;
    for (int y = 0; y < height_; ++y)
        std::memcpy(picture_.data() + y * row, bgra + static_cast<std::ptrdiff_t>(y) * stride, row);
    fresh_ = true;
    wake_.notify_all();
}

void SdlVideoWindow::SetFullScreen(bool on)
{
    std::lock_guard lock(frameLock_);
    fullScreen_ = on;
    settingsChanged_ = true;
    wake_.notify_all();
}

void SdlVideoWindow::SetVisible(bool visible)
{
    std::lock_guard lock(frameLock_);
    visible_ = visible;
    settingsChanged_ = true;
    wake_.notify_all();
}

void SdlVideoWindow::Loop()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::lock_guard lock(frameLock_);
        failed_ = true;
        return;
    }
    SDL_Window* window = SDL_CreateWindow("Video Renderer", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          width_, height_, SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                        SDL_TEXTUREACCESS_STREAMING, width_, height_)
                                    : nullptr;
    std::unique_lock lock(frameLock_);
    failed_ = texture == nullptr;
    while (!quit_ && !failed_) {
        wake_.wait_for(lock, std::chrono::milliseconds(20), [&] { return quit_ || fresh_ || settingsChanged_; });
        if (settingsChanged_) {
            settingsChanged_ = false;
            SDL_SetWindowFullscreen(window, fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            if (visible_) SDL_ShowWindow(window);
            else SDL_HideWindow(window);
        }
        if (fresh_) {
            fresh_ = false;
            // ARGB8888 is B, G, R, A in memory on little-endian machines: our BGRA.
            SDL_UpdateTexture(texture, nullptr, picture_.data(), width_ * 4);
            lock.unlock();
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, nullptr);
            SDL_RenderPresent(renderer);
            lock.lock();
        }
        lock.unlock();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {}  // keeps the window responsive
        lock.lock();
    }
    lock.unlock();
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace quvo::filters
