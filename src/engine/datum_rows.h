// The datum of an adjustment: pseudo-observations of known coordinates
// (minimal constraints, weighted constraints, constraints), inner-constraint
// rows for a free network without known stations, pseudo-observations of
// GPS transformation parameters, and the checks of the counts.
#ifndef TAVEX_ENGINE_DATUM_ROWS_H
#define TAVEX_ENGINE_DATUM_ROWS_H

#include "engine/engine_state.h"
#include "project/project_state.h"

namespace Tavex {

// Which datum the adjustment has.
enum class DatumKind { MinimalConstraints, InnerConstraints, WeightedConstraints, Constraints };

DatumKind DatumOf(const ProjectState& project, const EngineState& engine);

// The report title of the coordinates for the datum (design titles in
// design mode).
int CoordinatesTitle(const ProjectState& project, const EngineState& engine);
// The title of the free stations' coordinates for the same datum (610 to
// 613: minimal, inner, weighted constraints, constraints).
int FreeStationsTitle(const ProjectState& project, const EngineState& engine);

// Appends the datum rows (kinds 31 to 33, or 50) and the transformation
// pseudo-observations (kind 40). Warns with 488, 489 or 490 when the known
// stations do not supply the coordinates the datum needs.
void AppendDatumRows(ProjectState& project, EngineState& engine);

// Appends a coordinate row for every known coordinate of every known station
// that has the unknown, and the transformation pseudo-observations; no inner
// constraints (the pre-run's datum, in which a missing datum is a defect).
void AppendKnownCoordinateRows(ProjectState& project, EngineState& engine);

// Checks the counts: more unknowns than observations (491/492) and no
// unknown at all stop the adjustment; a free network warns with 496, 497 or
// 498 when its constraints fix more than its defect. Returns 1 or 0.
int CheckCounts(ProjectState& project, const EngineState& engine);

// The mean point of the stations that take part in the inner constraints:
// mean latitude, longitude (differences to the first station taken into
// [-π, π]) and height, its geocentric position and radii of curvature.
struct MeanPoint {
    double lat = 0, lon = 0, h = 0, X = 0, Y = 0, Z = 0, M = 0, N = 0;
};
MeanPoint InnerConstraintMean(const ProjectState& project, const EngineState& engine);

// The inner-constraint rows' coefficients on a station's north, east and
// height unknowns for constraint number c (1 to 7, 10, 11): translations
// along X, Y, Z (in a plane along east and north, in 1D the height),
// rotations about X, Y, Z, scale; rotation and scale in the plane.
struct InnerConstraintCoefficients {
    double north = 0.0, east = 0.0, height = 0.0;
};
InnerConstraintCoefficients InnerConstraint(const ProjectState& project, const EngineState& engine,
                                            unsigned constraint, unsigned station,
                                            const MeanPoint& mean);

// Chooses the unknowns that hold the minimally held matrix B under inner
// constraints (inner_constraint_system.h) and their weights W_k = n(k, k):
// north and east of as many stations, and heights of as many, as the datum
// defect asks, taken far apart so that B is well conditioned — the first
// ordered station, the one farthest from it and the one farthest from the
// line through both. Needs the filled A, Aᵀ and P.
void HoldInnerConstraintDatum(const ProjectState& project, EngineState& engine);

} // namespace Tavex

#endif
