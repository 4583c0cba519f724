// Angles as a surveyor writes them: a number in the project's unit (gon or
// degrees), or degrees, minutes and seconds as "d m s" text.
#ifndef TAVEX_CLI_ANGLE_TEXT_H
#define TAVEX_CLI_ANGLE_TEXT_H

#include "project_model.h"

#include <optional>
#include <string>

namespace TavexCli {

// Radians of a number in the unit (degrees for the d-m-s unit).
double ToRadians(double value, AngleUnit unit);
// Radians of "d m s" text ("-12 30 15.5", "12 30", "12"); nothing when the
// text is not of that form or minutes or seconds are outside [0, 60).
std::optional<double> ParseDms(const std::string& text);
// The text of an angle in the unit, for printing: gon and degrees with the
// given decimals, d-m-s as "ddd mm ss.s…".
std::string FormatAngle(double radians, AngleUnit unit, int decimals);
// The name of the unit.
const char* UnitName(AngleUnit unit);

} // namespace TavexCli

#endif
