#include "core/Forecast.h"

#include "core/NumberFormat.h"

namespace encoderdesk {

std::array<ForecastRow, kSizeForecastRows> SizeForecast(double rate, double rateMpeg)
{
    std::array<ForecastRow, kSizeForecastRows> rows;
    for (int i = 0; i < kSizeForecastRows; ++i) {
        const double t = kSizeForecastSeconds[static_cast<std::size_t>(i)];
        rows[static_cast<std::size_t>(i)] = {FormatGrouped(rate * t / 1048576.0, 1) + " мб",
                                             FormatGrouped(rateMpeg * t / 1048576.0, 1) + " мб"};
    }
    return rows;
}

std::optional<std::array<ForecastRow, kDiskForecastRows>> DiskForecast(double rate, double rateMpeg,
                                                                        std::int64_t captureSeconds,
                                                                        std::int64_t freeMB, bool hoursAndMinutes)
{
    if (rate == 0 || rateMpeg == 0 || captureSeconds <= 30) return std::nullopt;
    std::array<ForecastRow, kDiskForecastRows> rows;
    for (int i = 0; i < kDiskForecastRows; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const std::int64_t capacity = i < 3 ? kDiskCapacities[at] : freeMB * 1048576;
        const double c = static_cast<double>(capacity);
        rows[at] = {FormatMinutes(c / 60.0 / rate, hoursAndMinutes), FormatMinutes(c / 60.0 / rateMpeg, hoursAndMinutes)};
    }
    return rows;
}

}  // namespace encoderdesk
