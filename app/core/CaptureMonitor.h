// What the main window's timers count while it is open: the half-second signal
// check, the one-second tick with its elapsed time, recorded bytes, average rates
// and automatic stops, and the free-space guard of the capture drive. Plain C++:
// the window reads the board, hands the readings in, and acts on what comes out.
// GUI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace encoderdesk {

// The automatic-stop group of the file page, read at every tick.
struct AutoStopLimits {
    bool afterMaxSize = false;
    int stopSizeMB = 2000;
    bool afterNoSignal = false;
    int noSignalSeconds = 2;
    bool afterTime = false;
    std::int64_t stopTimeSeconds = 30 * 60;
};

enum class AutoStop { None, NoSignal, Duration, Size, LowDisk };

// The MPEG-audio estimate: the board records LPCM; MPEG audio would need this much
// less per second.
inline constexpr double kLpcmOverMpegBytesPerSecond = 158720.0;

// The recording stops (or does not start) when the capture drive has less free
// than this many seconds at the recording's rate, and never less than the floor.
inline constexpr double kLowDiskSeconds = 30.0;
inline constexpr std::int64_t kLowDiskFloorBytes = 64LL * 1024 * 1024;

// Bytes that must stay free while recording at `bytesPerSecond`.
std::int64_t LowDiskThreshold(double bytesPerSecond);

// What a new recording will write per second before one is measured: the video at
// its highest rate, 48 kHz 16-bit stereo LPCM, and the program stream's packing.
double EstimatedRecordingRate(std::int32_t bitrate, std::int32_t peakBitrate, bool vbr);

// The text of status panel 1 for one signal reading, or nothing when the panel
// keeps its text (a frame rate the board does not name).
std::optional<std::string> SignalPanelText(bool detected, double framesPerSecond, std::uint32_t lines);

class CaptureMonitor {
public:
    // Resets done by a change of the window's status.
    void StatusChanged(bool resetNoSignal, bool resetBytesBase);

    // The half-second signal check; returns status panel 1's new text, if any.
    std::optional<std::string> SignalTick(bool detected, double framesPerSecond, std::uint32_t lines);

    struct Tick {
        AutoStop stop = AutoStop::None;
        std::string stopMessage;  // the information box after the stop
        bool sizeUpdated = false; // capturedSize holds the new label (empty after a failed read)
        std::string capturedSize;
    };

    // One second in a status other than the transient one. `recording`: a capture
    // or a recording from preview runs. `bytesRead`: the byte count was read (its
    // call returned 0). `freeBytes`: free space of the capture drive, or a negative
    // value when it cannot be measured (no guard then).
    Tick SecondTick(bool recording, const AutoStopLimits& limits, bool bytesRead, std::uint64_t bytesStreamed,
                    std::int64_t freeBytes);

    std::int64_t CaptureSeconds() const { return captureSeconds_; }
    std::string ElapsedText() const;
    std::int64_t TotalBytes() const { return totalBytes_; }
    std::int32_t NoSignalTicks() const { return noSignalTicks_; }
    double AverageRate() const { return averageRate_; }
    double AverageRateMpeg() const { return averageRateMpeg_; }
    // The rate label of the statistics page: KiB per second, labelled kbps.
    std::string AverageRateText() const;

private:
    std::int64_t captureSeconds_ = 0;
    std::int32_t noSignalTicks_ = 0;
    std::int64_t totalBytes_ = 0;
    std::int32_t lastBytesStreamed_ = 0;
    double averageRate_ = 0;
    double averageRateMpeg_ = 0;
};

// "1 234.50 кб" for the captured-size label.
std::string CapturedSizeText(std::int64_t totalBytes);

}  // namespace encoderdesk
