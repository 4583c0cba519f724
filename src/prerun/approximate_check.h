// The check of the observations against the approximate coordinates: a
// reading that differs from the value the approximate coordinates give by
// more than 20 times the W-test critical value times its standard deviation
// (a test value 0.5 |m| / σ above 10 k) is a gross error or a wrong
// approximate position, worth a look before the adjustment.
#ifndef TAVEX_PRERUN_APPROXIMATE_CHECK_H
#define TAVEX_PRERUN_APPROXIMATE_CHECK_H

#include "prerun/check_rows.h"

namespace Tavex {

// Appends exactly one block of check kind 1, with a record per reported
// row in row order. Directions, distances, zenith angles, azimuths, height
// differences, GPS baselines, trigonometric heights and tape distances are
// checked; GPS coordinates, double distances and local coordinates are not.
void CheckAgainstApproximateCoordinates(const ProjectState& project,
                                        const std::vector<CheckRow>& rows, double k,
                                        CVelnikResultsPtrArray& results);

} // namespace Tavex

#endif
