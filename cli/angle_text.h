// Angles as a surveyor writes them: a number in the project's unit, or
// degrees, minutes and seconds as "d m s" text.
//
// In the d-m-s unit a number is packed degrees, minutes and seconds,
// DDD.MMSSsss: 32.0054 is 32°00'54", 32.005412 is 32°00'54.12", 32.5 is
// 32°50' (the digits after the point are read in pairs, a missing digit
// counts as 0). Minutes and seconds lie below 60.
#ifndef TAVEX_CLI_ANGLE_TEXT_H
#define TAVEX_CLI_ANGLE_TEXT_H

#include "project_model.h"

#include <optional>
#include <string>

namespace TavexCli {

// Radians of a number in the unit; nothing for a packed d-m-s number whose
// minutes or seconds reach 60.
std::optional<double> ToRadians(double value, AngleUnit unit);
// Radians of packed degrees.minutes-seconds (see above); nothing when the
// minutes or seconds reach 60.
std::optional<double> PackedDmsToRadians(double packed);
// Radians of "d m s" text ("-12 30 15.5", "12 30", "12"): one to three
// decimal numbers (digits with at most one point, no exponent) separated by
// blanks, a minus sign only in front; nothing when the text is not of that
// form or minutes or seconds are outside [0, 60).
std::optional<double> ParseDms(const std::string& text);
// The text of an angle in the unit, for printing: gon and degrees with the
// given decimals, d-m-s as "ddd mm ss.s…".
std::string FormatAngle(double radians, AngleUnit unit, int decimals);
// The name of the unit.
const char* UnitName(AngleUnit unit);

} // namespace TavexCli

#endif
