#include "outside/board/filter/OutputWindow.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace quvo::board {
namespace {

void CopyPlane(std::vector<std::uint8_t>& to, const std::uint8_t* from, int stride, int width, int height)
{
    to.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(to.data() + static_cast<std::size_t>(y) * width, from + static_cast<std::ptrdiff_t>(y) * stride,
                    static_cast<std::size_t>(width));
}

}  // namespace

bool OutputWindow::DisplayAvailable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "dummy") == 0) return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

OutputWindow::OutputWindow(std::string title) : title_(std::move(title))
{
    thread_ = std::thread(&OutputWindow::Loop, this);
}

OutputWindow::~OutputWindow()
{
    {
        std::lock_guard lock(pictureLock_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void OutputWindow::Show(int width, int height, const std::uint8_t* const planes[3], const int strides[3])
{
    if (width <= 0 || height <= 0) return;
    std::lock_guard lock(pictureLock_);
    width_ = width;
    height_ = height;
    CopyPlane(planes_[0], planes[0], strides[0], width, height);
    for (int i = 1; i < 3; ++i) CopyPlane(planes_[i], planes[i], strides[i], (width + 1) / 2, (height + 1) / 2);
    fresh_ = true;
    wake_.notify_all();
}

void OutputWindow::Loop()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    std::unique_lock lock(pictureLock_);
    while (!quit_) {
        wake_.wait_for(lock, std::chrono::milliseconds(20), [&] { return quit_ || fresh_; });
        if (fresh_ && !quit_) {
            fresh_ = false;
            // The window opens with the first picture and follows its size.
            if (!window) {
                window = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width_,
                                          height_, SDL_WINDOW_RESIZABLE);
                renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
                if (!renderer) break;
            }
            if (!texture || textureWidth != width_ || textureHeight != height_) {
                if (texture) SDL_DestroyTexture(texture);
                texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_IYUV, SDL_TEXTUREACCESS_STREAMING, width_,
                                            height_);
                textureWidth = width_;
                textureHeight = height_;
                if (!texture) break;
            }
            const int chroma = (width_ + 1) / 2;
            SDL_UpdateYUVTexture(texture, nullptr, planes_[0].data(), width_, planes_[1].data(), chroma,
                                 planes_[2].data(), chroma);
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

}  // namespace quvo::board
