#include "prerun/approximate_check.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

constexpr double kFactor = 10.0;
constexpr double kFloor = 1e-32;

bool Checked(const ObservationRow& row) {
    switch (row.kind) {
    case ROW_DIRECTION:
    case ROW_DISTANCE:
    case ROW_ZENITH:
    case ROW_AZIMUTH:
    case ROW_HEIGHT_DIFFERENCE:
    case ROW_GPS_BASELINE:
    case ROW_TRIG_HEIGHT:
        return true;
    case ROW_RELATION:
        return row.sub == RELATION_TAPE_DISTANCE;
    default:
        return false;
    }
}

} // namespace

void CheckAgainstApproximateCoordinates(const ProjectState& p, const std::vector<CheckRow>& rows,
                                        double k, CVelnikResultsPtrArray& results) {
    CVelnikChecks& block =
        results.AddBlock(CHECK_APPROXIMATE_COORDINATES, 0, STR_HEADING_APPROXIMATE_CHECKS);
    const ReportUnits units = UnitsOf(p);
    for (const CheckRow& r : rows) {
        if (!Checked(*r.row))
            continue;
        // Misclosure and standard deviation in the same unit: distances in
        // metres, so no length factor is needed.
        const double w = 0.5 * std::fabs(r.misclosure) / std::max(r.sigma, kFloor);
        if (!(w > kFactor * k))
            continue;
        block.observations.Add(new TXXML_PRERUNOBSERVATION(
            ReportedRow(p, units, r, r.observed, r.misclosure, w, true, false)));
    }
}

} // namespace Tavex
