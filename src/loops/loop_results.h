// The kernel's side of the exported loop results (tavex.h): the list of
// observations a loop keeps for the report, and the steps that fill a
// CLoopResults.
#ifndef TAVEX_LOOPS_LOOP_RESULTS_H
#define TAVEX_LOOPS_LOOP_RESULTS_H

#include "output/xml_records_loops.h"
#include "platform/typed_ptr_array.h"
#include "tavex/tavex.h"

#include <cmath>
#include <memory>

namespace Tavex {

class CLoopObservationList : public CTypedPtrArray<TXXML_LOOPOBSERVATION> {};

// The misclosure slots of CLoopResults by kind.
enum LoopSlot : int {
    SLOT_X = 0,
    SLOT_Y = 1,
    SLOT_Z = 2,
    SLOT_EASTING = 0,
    SLOT_NORTHING = 1,
    SLOT_ANGLE = 2,
    SLOT_HEIGHT = 2,
    SLOT_NORTH = 0,
    SLOT_EAST = 1,
    SLOT_UP = 2,
};

// A misclosure divided by its standard deviation, the deviation floored at
// 1e-32 so that a loop of observations without precision still gets a value.
double LoopTestValue(double misclosure, double sd);

// A new loop of the given kind through n stations, with its empty
// observation list and the critical value.
std::unique_ptr<CLoopResults> NewLoopResult(const std::uint32_t* stations, std::size_t n, int kind,
                                            double criticalW);

// Stores misclosure slot with its standard deviation sqrt(variance) and its
// test value; local selects the north-east-up slots of a GPS loop.
void SetMisclosure(CLoopResults& loop, int slot, double value, double variance, bool local = false);

// Whether a test value exceeds the critical value (|test| / k > 1).
inline bool IsRejected(double test, double criticalW) {
    return criticalW > 0.0 && std::fabs(test) / criticalW > 1.0;
}

// Whether any misclosure of the loop is rejected.
bool HasRejectedTest(const CLoopResults& loop);

// Appends an observation record to the loop's list.
void AddObservation(CLoopResults& loop, TXXML_LOOPOBSERVATION record);

} // namespace Tavex

#endif
