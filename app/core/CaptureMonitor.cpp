#include "core/CaptureMonitor.h"

#include <algorithm>

#include "core/NumberFormat.h"

namespace encoderdesk {

std::int64_t LowDiskThreshold(double bytesPerSecond)
{
    const double wanted = std::max(0.0, bytesPerSecond) * kLowDiskSeconds;
    if (wanted > static_cast<double>(kLowDiskFloorBytes) && wanted < 9.0e18)
        return static_cast<std::int64_t>(wanted);
    return kLowDiskFloorBytes;
}

double EstimatedRecordingRate(std::int32_t bitrate, std::int32_t peakBitrate, bool vbr)
{
    const double video = std::max<double>(bitrate, vbr ? peakBitrate : 0) / 8.0;
    constexpr double kLpcm = 48000.0 * 2 * 2;
    constexpr double kPacking = 1.05;  // pack, PES and system headers
    return (video + kLpcm) * kPacking;
}

std::optional<std::string> SignalPanelText(bool detected, double framesPerSecond, std::uint32_t lines)
{
    if (!detected) return std::string("Вход: нет сигнала");
    const std::string linesText = std::to_string(lines) + " твл";
    // Exact comparisons: the board reports these very values.
    if (framesPerSecond == 25.0) return "Вход: PAL, 25 fps, " + linesText;
    if (framesPerSecond == 30.0) return "Вход: NTSC, 30 fps, " + linesText;
    if (framesPerSecond == 29.97) return "Вход: NTSC, 29.75 fps, " + linesText;
    return std::nullopt;
}

void CaptureMonitor::StatusChanged(bool resetNoSignal, bool resetBytesBase)
{
    captureSeconds_ = 0;
    totalBytes_ = 0;
    if (resetNoSignal) noSignalTicks_ = 0;
    if (resetBytesBase) lastBytesStreamed_ = 0;
}

std::optional<std::string> CaptureMonitor::SignalTick(bool detected, double framesPerSecond, std::uint32_t lines)
{
    if (!detected) {
        if (noSignalTicks_ < INT32_MAX) ++noSignalTicks_;
    } else {
        noSignalTicks_ = 0;
    }
    return SignalPanelText(detected, framesPerSecond, lines);
}

CaptureMonitor::Tick CaptureMonitor::SecondTick(bool recording, const AutoStopLimits& limits, bool bytesRead,
                                                std::uint64_t bytesStreamed, std::int64_t freeBytes)
{
    Tick tick;
    ++captureSeconds_;
    if (!recording) return tick;

    if (limits.afterNoSignal && noSignalTicks_ >= 2LL * limits.noSignalSeconds) {
        tick.stop = AutoStop::NoSignal;
        tick.stopMessage = "Автостоп - нет сигнала " + std::to_string(limits.noSignalSeconds) + " сек";
        return tick;
    }
    if (limits.afterTime && limits.stopTimeSeconds <= captureSeconds_) {
        tick.stop = AutoStop::Duration;
        tick.stopMessage = "Автостоп - достигнута заданная длительность " + FormatLongTime(limits.stopTimeSeconds);
        return tick;
    }

    tick.sizeUpdated = true;
    if (!bytesRead) {
        lastBytesStreamed_ = 0;
    } else {
        // The count's low 32 bits against the last ones, in signed 32-bit
        // wrap-around: a count that passes 4 GiB still gives the bytes of this second.
        const auto low = static_cast<std::uint32_t>(bytesStreamed);
        const auto diff = static_cast<std::int32_t>(low - static_cast<std::uint32_t>(lastBytesStreamed_));
        totalBytes_ += diff < 0 ? -static_cast<std::int64_t>(diff) : diff;
        lastBytesStreamed_ = static_cast<std::int32_t>(low);
        tick.capturedSize = CapturedSizeText(totalBytes_);

        if (limits.afterMaxSize && static_cast<double>(totalBytes_) / 1048576.0 > limits.stopSizeMB) {
            tick.stop = AutoStop::Size;
            tick.stopMessage = "Автостоп - достигнут заданный размер файла " + std::to_string(limits.stopSizeMB) + " Мб";
            return tick;
        }
        // The whole duration, past a day too: the rate must not jump at midnight.
        averageRate_ = 0;
        averageRateMpeg_ = 0;
        if (captureSeconds_ > 0) {
            averageRate_ = static_cast<double>(totalBytes_) / static_cast<double>(captureSeconds_);
            averageRateMpeg_ = averageRate_ - kLpcmOverMpegBytesPerSecond;
        }
    }

    if (freeBytes >= 0 && freeBytes < LowDiskThreshold(averageRate_)) {
        tick.stop = AutoStop::LowDisk;
        tick.stopMessage = "Автостоп - на диске осталось мало свободного места (" +
                           FormatGrouped(static_cast<double>(freeBytes / 1048576), 0) + " Мб)";
    }
    return tick;
}

std::string CaptureMonitor::ElapsedText() const { return FormatLongTime(captureSeconds_); }

std::string CaptureMonitor::AverageRateText() const { return FormatGrouped(averageRate_ / 1024.0, 0) + " kbps"; }

std::string CapturedSizeText(std::int64_t totalBytes)
{
    return FormatGrouped(static_cast<double>(totalBytes) / 1024.0, 2) + " кб";
}

}  // namespace encoderdesk
