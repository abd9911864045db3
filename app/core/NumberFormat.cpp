#include "core/NumberFormat.h"

#include <cmath>
#include <limits>

namespace encoderdesk {
namespace {

std::int64_t Saturate(double rounded)
{
    if (std::isnan(rounded)) return 0;
    constexpr double kMax = 9.2e18;  // just inside the int64 range
    if (rounded >= kMax) return static_cast<std::int64_t>(kMax);
    if (rounded <= -kMax) return -static_cast<std::int64_t>(kMax);
    return static_cast<std::int64_t>(rounded);
}

std::string GroupDigits(std::uint64_t whole)
{
    std::string digits = std::to_string(whole);
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

}  // namespace

std::int64_t RoundHalfAway(double value) { return Saturate(std::round(value)); }

std::int64_t RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    double r = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) r = floor + 1.0;
    return Saturate(r);
}

std::string FormatGrouped(double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const std::int64_t scaled = RoundHalfAway(value * static_cast<double>(scale));
    const bool negative = scaled < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(scaled + 1)) + 1 : static_cast<std::uint64_t>(scaled);
    std::string text = negative ? "-" : "";
    text += GroupDigits(magnitude / static_cast<std::uint64_t>(scale));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % static_cast<std::uint64_t>(scale));
        text += '.';
        text += std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

std::string FormatMinutes(double minutes, bool hoursAndMinutes)
{
    const std::int64_t m = RoundHalfAway(minutes);
    std::string text = std::to_string(m) + " мин ";
    if (hoursAndMinutes) {
        const std::int64_t magnitude = m < 0 ? -m : m;
        const std::int64_t rest = magnitude % 60;
        text += " (";
        if (m < 0) text += '-';
        text += std::to_string(magnitude / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest) + ")";
    }
    return text;
}

std::string FormatLongTime(std::int64_t seconds)
{
    if (seconds < 0) seconds = 0;
    const std::int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(h) + ":" + two(m) + ":" + two(s);
}

}  // namespace encoderdesk
