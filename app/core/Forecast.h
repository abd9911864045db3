// The two forecast grids of the file page: how large a recording of a given length
// gets, and how long a recording fits on a CD, a DVD or the capture drive, each at
// the measured rate (LPCM, as recorded) and at the MPEG-audio estimate.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace encoderdesk {

inline constexpr int kSizeForecastRows = 7;
inline constexpr int kDiskForecastRows = 4;

// Fixed cells: row 0 and column 0 of each grid.
inline constexpr std::array<const char*, 3> kSizeForecastHeader = {"Время", "Размер (LPCM)", "Размер (MPEG)"};
inline constexpr std::array<const char*, kSizeForecastRows> kSizeForecastTitles = {
    "5 мин", "10 мин", "15 мин", "20 мин", "30 мин", "45 мин", "60 мин"};
inline constexpr std::array<int, kSizeForecastRows> kSizeForecastSeconds = {300, 600, 900, 1200, 1800, 2700, 3600};
inline constexpr std::array<const char*, 3> kDiskForecastHeader = {"Диск", "Время (LPCM)", "Время (MPEG)"};
inline constexpr std::array<const char*, kDiskForecastRows> kDiskForecastTitles = {
    "CD 650 Мб", "CD 700 Мб", "DVD 4.5 Гб", "Текущий HDD"};
// The three media; the fourth row is the capture drive's free space.
inline constexpr std::array<std::int64_t, 3> kDiskCapacities = {681574400LL, 734003200LL, 4718592000LL};

struct ForecastRow {
    std::string lpcm, mpeg;
};

// "300.0 мб" cells, written at every refresh, also while the rates are still 0.
std::array<ForecastRow, kSizeForecastRows> SizeForecast(double rate, double rateMpeg);

// Minutes that fit; nothing (the cells keep their state) until both rates exist
// and the recording is longer than 30 seconds.
std::optional<std::array<ForecastRow, kDiskForecastRows>> DiskForecast(double rate, double rateMpeg,
                                                                        std::int64_t captureSeconds,
                                                                        std::int64_t freeMB, bool hoursAndMinutes);

}  // namespace encoderdesk
