// The window's number and time texts: blank-grouped numbers with a point before
// the decimals ("1 234 567.50"), minutes with an optional hours-and-minutes tail,
// and elapsed times that keep counting hours past a day.
#pragma once

#include <cstdint>
#include <string>

namespace encoderdesk {

// `value` rounded (halves away from zero) to `decimals` places, the whole part in
// groups of three digits separated by one blank, no leading blanks: the rendering
// of the patterns "### ### ##0", "### ### ##0.0" and "### ### ### ###.00".
std::string FormatGrouped(double value, int decimals);

// "125 мин " and, with `hoursAndMinutes`, "125 мин  (2:05)". The whole minutes and
// the hours-and-minutes part come from one rounding, so they never disagree.
std::string FormatMinutes(double minutes, bool hoursAndMinutes);

// "0:00:41", "1:30:00", "25:00:00": hours are not taken modulo a day, so a long
// recording shows its whole length.
std::string FormatLongTime(std::int64_t seconds);

// Halves away from zero, saturating at the int64 range (NaN gives 0).
std::int64_t RoundHalfAway(double value);
// Halves to even, for the gauge.
std::int64_t RoundHalfEven(double value);

}  // namespace encoderdesk
