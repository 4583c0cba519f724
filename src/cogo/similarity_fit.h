// Fitting a free solution onto the known stations: the plane similarity
// (Helmert) transformation of the computed positions and the constant shift
// of the computed heights, each with rejection of the known stations that do
// not fit.
//
// Plane similarity over a fit list of n stations, with centroids (x̄, ȳ) of
// the free positions and (X̄, Ȳ) of the known ones and dx = x − x̄, dY = Y − Ȳ
// and so on:
//   S = Σ (dx² + dy²),  a = Σ (dx dX + dy dY) / S,  b = Σ (dY dx − dX dy) / S,
//   X' = X̄ + a dx − b dy,  Y' = Ȳ + a dy + b dx,
// applied to every computed station, not only to those of the list.
//
// Example: known stations 1, 2, 3 where 3 lies 5 m off: the first fit leaves
// its largest residual above the 2 m tolerance, station 3 is rejected and the
// fit on 1 and 2 alone is exact.
#ifndef TAVEX_COGO_SIMILARITY_FIT_H
#define TAVEX_COGO_SIMILARITY_FIT_H

#include "cogo/plane_point.h"

#include <vector>

namespace Tavex {

// One known station of a fit with its residuals (fitted minus known, metres)
// and whether the rejection took it out of the list.
struct FitResidual {
    unsigned station = 0;
    double east = 0.0, north = 0.0, height = 0.0;
    bool rejected = false;
};

// What a fit did, for the report: the stations offered (in known-station
// order) with the residuals of the final transformation, and whether a
// transformation was applied at all.
struct FitOutcome {
    bool applied = false;
    double scale = 1.0, rotation = 0.0; // of the plane similarity
    double shift = 0.0;                 // of the height fit
    std::vector<FitResidual> stations;
};

// The plane fit with rejection. source: the positions of the current
// solution (element s for station s), transformed in place for every s with
// computed[s] set; target: the known plane positions; list: the stations
// offered, in known-station order; tolerance: the largest accepted residual
// in either coordinate (metres; a residual of exactly the tolerance is
// accepted). With fewer than two stations left nothing is transformed.
//
// The rejection refits the untouched free solution on the shortened list and
// transforms the solution once, with the final parameters: the same result
// as transforming it at every step, but a degenerate intermediate fit (free
// positions that coincide, which would shrink the whole solution to a point)
// can never destroy it. Coinciding free positions fix no rotation or scale:
// only the shift is applied then.
FitOutcome FitPlaneWithRejection(std::vector<PlanePoint>& source,
                                 const std::vector<PlanePoint>& target,
                                 const std::vector<int>& computed, std::vector<unsigned> list,
                                 double tolerance);

// The height fit with rejection: the shift is the mean of (known − free)
// over the list; the station with the largest |h' − H| (the first on a tie)
// is removed while that exceeds the tolerance, and the shift of the final
// list is added to every height with hasHeight[s] set. An empty list shifts
// nothing.
FitOutcome FitHeightsWithRejection(std::vector<double>& source, const std::vector<double>& target,
                                   const std::vector<int>& hasHeight, std::vector<unsigned> list,
                                   double tolerance);

} // namespace Tavex

#endif
