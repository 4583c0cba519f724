// Angle conversions for reports: radians to degrees, gon and
// degrees-minutes-seconds, and the carry that keeps a rounded
// degrees-minutes-seconds image free of "60" seconds or minutes.
//
// Example: printing an angle with 3 decimals of a second
//
//   int deg, min, sign;
//   double sec;
//   if (RadToDms(angle, &deg, &min, &sign, &sec) && MaxDmsImage(&deg, &min, &sec, 3, 360)) {
//       CKZString minus, text;
//       SignToString(sign, minus);
//       text.Format(L"%s%d %02d %06.3f", minus.c_str(), deg, min, sec);
//   }
#ifndef TAVEX_GEODESY_ANGLE_CONVERSION_H
#define TAVEX_GEODESY_ANGLE_CONVERSION_H

#include "geodesy/kz_string.h"

namespace Tavex {

// rad * 180 / pi: degrees from radians (any value; NaN stays NaN).
double RadToDeg(double rad);
// rad * 200 / pi: gon (grads) from radians.
double RadToGon(double rad);

// Splits |rad| into whole degrees, whole minutes and seconds, with the sign
// apart: rad = sign * (deg + min / 60 + sec / 3600) * pi / 180, where
// sign is -1 for a negative angle and +1 otherwise (also for -0.0), deg >= 0,
// 0 <= min <= 59 and 0 <= sec < 60. Returns false, with deg = min = 0,
// sign = +1 and sec = NaN, for a null pointer, a non-finite angle or one
// whose degrees do not fit an int.
bool RadToDms(double rad, int* deg, int* min, int* sign, double* sec);

// Rounds sec to `decimals` decimals exactly as printf("%.*f") shows it, and
// carries: seconds that show as 60 become 0 with one more minute, 60
// minutes become one more degree. When degreeLimit is not 0, degrees at or
// above it wrap by degreeLimit (360 turns 360 00 00 into 0 00 00); 0 means
// no limit. On return *sec holds the rounded value, so printing it with the
// same decimals gives the same image. Expects the non-negative parts made by
// RadToDms (the sign is kept apart and is not touched). decimals above 15
// count as 15. Returns false, changing nothing, for a null pointer, a
// non-finite or negative second, or negative degrees or minutes.
bool MaxDmsImage(int* deg, int* min, double* sec, unsigned decimals, unsigned degreeLimit);

// "-" for a negative sign, "" otherwise.
void SignToString(int sign, CKZString& out);

} // namespace Tavex

#endif
