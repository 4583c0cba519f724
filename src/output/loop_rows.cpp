#include "output/loop_rows.h"

#include "loops/loop_kinds.h"
#include "loops/loop_results.h"

namespace Tavex {

namespace {

LoopRow Row(const CLoopResults& loop, const wchar_t* label, const char* name, int slot,
            bool local = false, bool angle = false) {
    LoopRow row{label, name};
    row.value = local ? loop.MisclosureLocal[slot] : loop.Misclosure[slot];
    row.sd = local ? loop.SdLocal[slot] : loop.Sd[slot];
    row.test = local ? loop.TestLocal[slot] : loop.Test[slot];
    row.angle = angle;
    row.rejected = IsRejected(row.test, loop.CriticalW);
    return row;
}

} // namespace

std::vector<LoopRow> LoopRows(const CLoopResults& loop) {
    switch (loop.Kind) {
    case LOOP_GPS:
        return {Row(loop, L"dX", "dx", SLOT_X),
                Row(loop, L"dY", "dy", SLOT_Y),
                Row(loop, L"dZ", "dz", SLOT_Z),
                Row(loop, L"North", "north", SLOT_NORTH, true),
                Row(loop, L"East", "east", SLOT_EAST, true),
                Row(loop, L"Up", "up", SLOT_UP, true)};
    case LOOP_TRAVERSE_FULL:
        return {Row(loop, L"Easting", "easting", SLOT_EASTING),
                Row(loop, L"Northing", "northing", SLOT_NORTHING),
                Row(loop, L"Angle", "angle", SLOT_ANGLE, false, true)};
    case LOOP_TRAVERSE_COORDINATES:
        return {Row(loop, L"Easting", "easting", SLOT_EASTING),
                Row(loop, L"Northing", "northing", SLOT_NORTHING)};
    case LOOP_HEIGHT:
    case LOOP_TRIGONOMETRIC:
        return {Row(loop, L"Height", "height", SLOT_HEIGHT)};
    default:
        return {};
    }
}

} // namespace Tavex
