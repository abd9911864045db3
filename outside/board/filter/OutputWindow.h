// The board's video output as a window of its own on the computer's display
// (there is no monitor on the board's output here). One thread owns every SDL
// video call; the streaming thread hands it the latest picture as YUV 4:2:0
// planes, which go to the screen without a colour conversion.
//
// Threads: Show from the streaming thread; pictureLock guards the picture slot
// and the quit request.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quvo::board {

class OutputWindow {
public:
    // Whether a display is there to open windows on (not SDL's dummy driver).
    static bool DisplayAvailable();

    explicit OutputWindow(std::string title);
    ~OutputWindow();
    OutputWindow(const OutputWindow&) = delete;
    OutputWindow& operator=(const OutputWindow&) = delete;

    // Copies a picture (Y, U, V planes, chroma halved both ways).
    void Show(int width, int height, const std::uint8_t* const planes[3], const int strides[3]);

private:
    void Loop();

    const std::string title_;
    std::mutex pictureLock_;
    std::condition_variable wake_;
    std::vector<std::uint8_t> planes_[3];
    int width_ = 0;
    int height_ = 0;
    bool fresh_ = false;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace quvo::board
