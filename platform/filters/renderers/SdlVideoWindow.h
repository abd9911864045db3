// The video renderer's own top-level window, for when it has no owner and a
// display exists. One thread owns every SDL video call (window, renderer, texture,
// events); the streaming thread only hands it the latest picture.
//
// Threads: Present and SetFullScreen from any thread; frameLock guards the picture
// slot and the requests below.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace quvo::filters {

class SdlVideoWindow {
public:
    // Whether a display is there to open windows on (not SDL's dummy driver).
    static bool DisplayAvailable();

    SdlVideoWindow(int width, int height);
    ~SdlVideoWindow();
    SdlVideoWindow(const SdlVideoWindow&) = delete;
    SdlVideoWindow& operator=(const SdlVideoWindow&) = delete;

    // Copies a top-down BGRA picture for the window thread to show.
    void Present(const std::uint8_t* bgra, int stride);
    void SetFullScreen(bool on);
    void SetVisible(bool visible);
    // False once the window could not be made.
    bool Ok() const;

private:
    void Loop();

    const int width_;
    const int height_;
    mutable std::mutex frameLock_;
    std::condition_variable wake_;
    std::vector<std::uint8_t> picture_;
    bool fresh_ = false;
    bool fullScreen_ = false;
    bool visible_ = true;
    bool settingsChanged_ = false;
    bool quit_ = false;
    bool failed_ = false;
    std::thread thread_;
};

}  // namespace quvo::filters
