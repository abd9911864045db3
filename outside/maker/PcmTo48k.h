// Turning decoded 16-bit PCM of any rate and channel count into the board's own
// audio form: 48 kHz, 16-bit, stereo, interleaved. Plain C++ over libswresample.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct SwrContext;

namespace quvo::maker {

inline constexpr int kBoardAudioRate = 48000;
inline constexpr int kBoardAudioChannels = 2;

class PcmTo48k {
public:
    PcmTo48k();
    ~PcmTo48k();
    PcmTo48k(const PcmTo48k&) = delete;
    PcmTo48k& operator=(const PcmTo48k&) = delete;

    // The input's form; false when it cannot be converted (then nothing is).
    bool Open(int rate, int channels);
    void Close();
    // Converts `frames` interleaved input sample frames, appending to `out`.
    bool Convert(const std::int16_t* in, int frames, std::vector<std::int16_t>& out);
    // Output frames still held inside the converter (its delay).
    std::int64_t DelayFrames() const;

private:
    struct Free {
        void operator()(SwrContext* context) const;
    };
    std::unique_ptr<SwrContext, Free> context_;
    int channels_ = 0;
    bool passThrough_ = false;  // already 48 kHz stereo
};

}  // namespace quvo::maker
