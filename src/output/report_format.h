// Number and text fields of the text reports: fixed-width numbers that never
// lose a digit silently, angles in the project's angle unit, lengths in its
// linear unit, and text padded by display width so that Chinese labels (two
// columns each on a terminal) line up with the numbers below them.
//
// Example: one table line
//
//   const ReportUnits units = UnitsOf(project);
//   ReportLine line;
//   line.Left(name, 12).Right(LengthField(units, northing, 14), 14)
//       .Right(AngleField(units, direction, kAngleWidth, AngleUse::Direction), kAngleWidth);
//   Print(out, L"%s\n", line.Text().c_str());
#ifndef TAVEX_OUTPUT_REPORT_FORMAT_H
#define TAVEX_OUTPUT_REPORT_FORMAT_H

#include "geodesy/kz_string.h"
#include "project/project_state.h"

namespace Tavex {

// The value right-aligned in exactly width columns with the given decimals,
// as "%*.*f" prints it. When that image is wider than the column, the same
// value in the widest "%.*e" form that fits (so 12345678.9 in 8 columns
// reads "1.23e+07"); when not even "%.0e" fits, width asterisks. NaN reads
// "NaN" and the infinities "INF" and "-INF" (asterisks when too wide).
// width is at least 1 and decimals is taken into [0, 15].
CKZString FixedField(double value, int width, int decimals);

// Columns a character takes on a terminal: 2 for East Asian wide and
// full-width characters (CJK ideographs, kana, hangul, full-width forms),
// 1 otherwise.
int DisplayWidth(const CKZString& text);
// text followed (PadRight) or preceded (PadLeft) by spaces up to width
// display columns; text that is already wider comes back unchanged.
CKZString PadRight(const CKZString& text, int width);
CKZString PadLeft(const CKZString& text, int width);

// Text number id of the string table without the line break some headings
// carry at their end (string 278 ends with "\r\n"), so that every writer
// ends its lines itself.
CKZString Label(int id);

// The units of one report: angles in gon (angle unit 0, and any value other
// than 1 and 2), decimal degrees (1) or degrees-minutes-seconds (2); lengths
// in metres times linearFactor, named linearName; and the confidence
// multipliers of one-dimensional standard deviations (m1) and of standard
// ellipses (m2), both exactly 1 at the default levels 0.683 and 0.394.
struct ReportUnits {
    int angleUnit = 0;
    double linearFactor = 1.0;
    CKZString linearName;
    CKZString angleName;
    double m1 = 1.0;
    double m2 = 1.0;
};
ReportUnits UnitsOf(const ProjectState& project);

// What an angle is, which fixes its decimals and its range:
//  Direction  a value in [0, 360°): gon 5, degrees 6, seconds 2 decimals,
//             wrapped so that it never reads 400.00000 or 360 00 00.00;
//  Signed     a small signed quantity (residual, standard deviation, MDB,
//             ellipse direction): the same decimals, no wrapping;
//  Coordinate latitude or longitude: gon and degrees 9, seconds 5 decimals.
enum class AngleUse { Direction, Signed, Coordinate };

// Column widths of the two angle forms; every angle image fits them.
inline constexpr int kAngleWidth = 13;
inline constexpr int kCoordinateAngleWidth = 17;

// The angle (radians) in the report's angle unit, right-aligned in width
// columns. Degrees-minutes-seconds print as sign + "%*d %02d %0*.*f" after
// the rounded seconds and minutes have been carried. An image wider than the
// column becomes the angle in gon or degrees (degrees for the dms unit) in a
// "%.*e" form of the column's width.
CKZString AngleField(const ReportUnits& units, double radians, int width, AngleUse use);

// A length (metres) times the linear factor, in width columns with decimals
// (4 by default: a tenth of a millimetre).
CKZString LengthField(const ReportUnits& units, double metres, int width, int decimals = 4);

// One line of a table: columns separated by one space.
class ReportLine {
public:
    ReportLine& Left(const CKZString& text, int width);
    ReportLine& Right(const CKZString& text, int width);
    ReportLine& Number(double value, int width, int decimals);
    // A test value with its mark: the number and, when rejected, string 256
    // "**" right behind it (two spaces otherwise), so that marks line up.
    ReportLine& Test(double value, int width, int decimals, bool rejected);
    // Blank columns.
    ReportLine& Skip(int width) { return Right(CKZString(), width); }
    const CKZString& Text() const { return text_; }

private:
    void Separate();
    CKZString text_;
};

// Width of a test column including its mark.
inline constexpr int kMarkWidth = 2;

} // namespace Tavex

#endif
