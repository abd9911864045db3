// The one-second and half-second ticks of the main window without a window:
// counters, texts, and the automatic stops in their order, fed the readings a
// board would give.
#include <gtest/gtest.h>

#include "core/CaptureMonitor.h"
#include "core/NumberFormat.h"

namespace encoderdesk {
namespace {

constexpr std::int64_t kNoDisk = -1;

TEST(NumberTexts, GroupedNumbersMinutesAndLongTimes)
{
    EXPECT_EQ(CapturedSizeText(1536), "1.50 кб");
    EXPECT_EQ(CapturedSizeText(0), "0.00 кб");
    EXPECT_EQ(FormatGrouped(1234567.891, 2), "1 234 567.89");
    EXPECT_EQ(FormatGrouped(999, 0), "999");
    EXPECT_EQ(FormatGrouped(-1500.04, 1), "-1 500.0");
    EXPECT_EQ(FormatGrouped(2.5, 0), "3");  // halves away from zero, as the patterns round
    EXPECT_EQ(FormatMinutes(59.5, true), "60 мин  (1:00)");
    EXPECT_EQ(FormatMinutes(125.4, true), "125 мин  (2:05)");
    EXPECT_EQ(FormatMinutes(10.83, false), "11 мин ");
    EXPECT_EQ(FormatMinutes(-65, true), "-65 мин  (-1:05)");
    EXPECT_EQ(FormatLongTime(41), "0:00:41");
    EXPECT_EQ(FormatLongTime(5400), "1:30:00");
    EXPECT_EQ(FormatLongTime(90061), "25:01:01");
    EXPECT_EQ(RoundHalfEven(24.5), 24);
    EXPECT_EQ(RoundHalfEven(25.5), 26);
}

TEST(SignalPanel, NamesTheStandardOrKeepsItsText)
{
    EXPECT_EQ(SignalPanelText(true, 25.0, 625), "Вход: PAL, 25 fps, 625 твл");
    EXPECT_EQ(SignalPanelText(true, 30.0, 525), "Вход: NTSC, 30 fps, 525 твл");
    EXPECT_EQ(SignalPanelText(true, 29.97, 525), "Вход: NTSC, 29.75 fps, 525 твл");
    EXPECT_EQ(SignalPanelText(true, 24.0, 625), std::nullopt);
    EXPECT_EQ(SignalPanelText(false, 25.0, 625), "Вход: нет сигнала");
}

TEST(AutoStop, SizeStopsOnlyAboveTheLimit)
{
    AutoStopLimits limits;
    limits.afterMaxSize = true;
    limits.stopSizeMB = 10;
    CaptureMonitor m;
    m.StatusChanged(true, true);
    auto tick = m.SecondTick(true, limits, true, 10485760, kNoDisk);
    EXPECT_EQ(tick.stop, AutoStop::None);
    EXPECT_EQ(m.TotalBytes(), 10485760);
    tick = m.SecondTick(true, limits, true, 10485761, kNoDisk);
    EXPECT_EQ(tick.stop, AutoStop::Size);
    EXPECT_EQ(tick.stopMessage, "Автостоп - достигнут заданный размер файла 10 Мб");
}

TEST(AutoStop, NoSignalCountsHalfSecondTicks)
{
    AutoStopLimits limits;
    limits.afterNoSignal = true;
    limits.noSignalSeconds = 2;
    CaptureMonitor m;
    m.StatusChanged(true, true);
    for (int i = 0; i < 3; ++i) m.SignalTick(false, 0, 0);
    EXPECT_EQ(m.SecondTick(true, limits, true, 0, kNoDisk).stop, AutoStop::None);
    m.SignalTick(false, 0, 0);
    const auto tick = m.SecondTick(true, limits, true, 0, kNoDisk);
    EXPECT_EQ(tick.stop, AutoStop::NoSignal);
    EXPECT_EQ(tick.stopMessage, "Автостоп - нет сигнала 2 сек");
    // One tick with signal starts the count again.
    m.SignalTick(true, 25.0, 625);
    EXPECT_EQ(m.NoSignalTicks(), 0);
}

TEST(AutoStop, DurationAtZeroAndAtTenSecondsAfterTheSignalStop)
{
    AutoStopLimits limits;
    limits.afterTime = true;
    limits.stopTimeSeconds = 0;
    CaptureMonitor m;
    m.StatusChanged(true, true);
    auto tick = m.SecondTick(true, limits, true, 0, kNoDisk);
    EXPECT_EQ(tick.stop, AutoStop::Duration);
    EXPECT_EQ(tick.stopMessage, "Автостоп - достигнута заданная длительность 0:00:00");

    limits.stopTimeSeconds = 10;
    m.StatusChanged(true, true);
    for (int i = 1; i < 10; ++i) ASSERT_EQ(m.SecondTick(true, limits, true, 0, kNoDisk).stop, AutoStop::None) << i;
    EXPECT_EQ(m.SecondTick(true, limits, true, 0, kNoDisk).stop, AutoStop::Duration);

    // Both due: the signal stop comes first.
    limits.afterNoSignal = true;
    limits.noSignalSeconds = 1;
    m.SignalTick(false, 0, 0);
    m.SignalTick(false, 0, 0);
    EXPECT_EQ(m.SecondTick(true, limits, true, 0, kNoDisk).stop, AutoStop::NoSignal);
    // Outside a recording nothing stops and no bytes count, but the time runs.
    const auto idle = m.SecondTick(false, limits, true, 5000, kNoDisk);
    EXPECT_EQ(idle.stop, AutoStop::None);
    EXPECT_FALSE(idle.sizeUpdated);
}

TEST(Bytes, SignedDeltaFailedReadsAndRatesOverTheWholeDuration)
{
    CaptureMonitor m;
    AutoStopLimits none;
    m.StatusChanged(true, true);
    m.SecondTick(true, none, true, 0xFFFFFF00ull, kNoDisk);  // the first delta is the whole count
    EXPECT_EQ(m.TotalBytes(), 256);
    m.SecondTick(true, none, true, 0x1'0000'0100ull, kNoDisk);  // across 4 GiB: 512 more
    EXPECT_EQ(m.TotalBytes(), 768);
    EXPECT_DOUBLE_EQ(m.AverageRate(), 384.0);
    EXPECT_DOUBLE_EQ(m.AverageRateMpeg(), 384.0 - 158720.0);

    const auto failed = m.SecondTick(true, none, false, 0, kNoDisk);
    EXPECT_TRUE(failed.sizeUpdated);
    EXPECT_EQ(failed.capturedSize, "");
    m.SecondTick(true, none, true, 100, kNoDisk);  // the base restarted at 0
    EXPECT_EQ(m.TotalBytes(), 868);

    // Past a day the elapsed time and the rate keep the whole length.
    CaptureMonitor day;
    day.StatusChanged(true, true);
    for (int i = 0; i < 86400 + 5; ++i) day.SecondTick(true, none, true, static_cast<std::uint64_t>(i + 1) * 1000, kNoDisk);
    EXPECT_EQ(day.ElapsedText(), "24:00:05");
    EXPECT_DOUBLE_EQ(day.AverageRate(), 1000.0);
    EXPECT_EQ(day.AverageRateText(), "1 kbps");
}

TEST(LowDisk, StopsBelowThirtySecondsAtTheRateAndNeverBelowTheFloor)
{
    EXPECT_EQ(LowDiskThreshold(0), kLowDiskFloorBytes);
    EXPECT_EQ(LowDiskThreshold(4.0 * 1048576), 120LL * 1048576);
    EXPECT_GT(EstimatedRecordingRate(6000000, 8000000, true), 8000000 / 8 + 192000);

    CaptureMonitor m;
    AutoStopLimits none;
    m.StatusChanged(true, true);
    EXPECT_EQ(m.SecondTick(true, none, true, 1000, kLowDiskFloorBytes).stop, AutoStop::None);
    const auto tick = m.SecondTick(true, none, true, 2000, kLowDiskFloorBytes - 1);
    EXPECT_EQ(tick.stop, AutoStop::LowDisk);
    EXPECT_EQ(tick.stopMessage, "Автостоп - на диске осталось мало свободного места (63 Мб)");
}

}  // namespace
}  // namespace encoderdesk
