// The misclosures a loop reports, in the order the report and the document
// give them, by kind:
//   6 (GPS)           dX, dY, dZ, then north, east, up
//   1 (traverse)      easting, northing, angle
//   2 (traverse)      easting, northing
//   3 (traverse)      none
//   5, 8 (heights)    height
#ifndef TAVEX_OUTPUT_LOOP_ROWS_H
#define TAVEX_OUTPUT_LOOP_ROWS_H

#include "tavex/tavex.h"

#include <vector>

namespace Tavex {

struct LoopRow {
    const wchar_t* label; // the report's label
    const char* name;     // the document's attribute value
    double value = 0.0, sd = 0.0, test = 0.0;
    bool angle = false; // radians, else metres
    bool rejected = false;
};

std::vector<LoopRow> LoopRows(const CLoopResults& loop);

} // namespace Tavex

#endif
