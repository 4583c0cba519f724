// The observation model: the computed value of every row kind at the current
// unknowns, with its partial derivatives.
//
// One consistent model serves every kind: stations are (φ, λ, h) on the
// ellipsoid, the unknowns are metric north, east and up displacements in each
// station's local horizon, and a terrestrial observation is computed from the
// geocentric vector d from the instrument point (station + instrument height
// along the station's up direction) to the target point (target + target
// height along the target's up direction), expressed in the north-east-up
// frame (n, e, u) of the instrument station:
//   direction   atan2(e, n) − orientation            in [0, 2π)
//   azimuth     atan2(e, n) + azimuth offset          in [0, 2π)
//   distance    |d| / scale (slant, codes 0 and 2), or the part of d
//               perpendicular to the mean up direction of both stations /
//               scale (horizontal, codes 1 and 3)
//   zenith      atan2(√(n² + e²), u) − k |d| / (2R), or 2π minus that for
//               a reading in the second face
//   local coordinates  see local_frame.h
//   height difference  (h_t + target height) − (h_s + instrument height)
//   trigonometric height difference  h_t − h_s
// A map projection never enters the model. GPS observations compare the
// network's geocentric vectors with the GPS frame through a small-angle
// similarity transformation,
//   x_GPS = (1 + μ) (x + ε × x) + t,
// with ε = (εx, εy, εz) the rotations about the geocentric X, Y and Z axes
// (radians; a positive εz turns the network's vectors anticlockwise about Z,
// seen from its positive end, into the GPS frame), μ the scale difference
// (dimensionless, 0 for equal scales) and t the translations (metres). A
// baseline is the difference of the antenna points, so t cancels.
//
// The derivatives are exact: the model is evaluated on dual numbers over the
// row's local parameters (see dual.h).
#ifndef TAVEX_ENGINE_OBSERVATION_MODEL_H
#define TAVEX_ENGINE_OBSERVATION_MODEL_H

#include "engine/local_frame.h"
#include "engine/observation_row.h"
#include "engine/station_geometry.h"
#include "engine/unknown.h"

namespace Tavex {

// The ellipsoid's semi-major axis and first eccentricity squared.
struct EllipsoidConstants {
    double a = 0.0;
    double e2 = 0.0;
};

// Values of the parameters a row depends on.
struct RowParameters {
    double orientation = 0.0;            // direction set
    double scale = 1.0;                  // distance group
    double refraction = 0.0;             // zenith group
    double azimuthOffset = 0.0;          // azimuth group
    double gps[kGpsParameters + 1] = {}; // sub 1..7
    // Observed local coordinates: the run's tangent frame and the values
    // of the transformation parameters by sub-code.
    const LocalFrame* local = nullptr;
    double localValue[kLocalParameterSlots] = {};
};

// What a row needs of its observation.
struct RowGeometryInput {
    const StationGeometry* from = nullptr;
    const StationGeometry* to = nullptr; // null for single-station rows
    double instrumentHeight = 0.0;
    double targetHeight = 0.0;
    double meanEarthRadius = 6371000.0;
    // Zenith angles: the reading lies in the second face (beyond π), so the
    // computed value is 2π minus the first-face zenith angle.
    bool secondFace = false;
};

// Whether a zenith angle was read in the second face, and its first-face
// equivalent 2π − z (a first-face value is returned as it is).
bool IsSecondFace(double zenith);
double FirstFaceZenith(double zenith);

struct RowEvaluation {
    double value = 0.0;
    double from[3] = {0, 0, 0}; // ∂value / ∂(north, east, up) displacement of the from-station
    double to[3] = {0, 0, 0};   // the same for the to-station
    double parameter = 0.0;     // ∂value / ∂ the row's parameter (orientation, scale,
                                // refraction or azimuth offset), in its own unit
    double gps[kGpsParameters + 1] = {};     // ∂value / ∂ GPS parameter sub 1..7
    double local[kLocalParameterSlots] = {}; // ∂value / ∂ local parameter by sub-code
};

// Evaluates the model of an observation row of kind 1 to 10.
RowEvaluation EvaluateRow(const ObservationRow& row, const RowGeometryInput& input,
                          const RowParameters& parameters, const EllipsoidConstants& ellipsoid);

// Geometric distance between the instrument and target points (slant), used
// for weights and the refraction terms.
double SlantDistance(const RowGeometryInput& input, const EllipsoidConstants& ellipsoid);

// A slant distance s reduced to the horizon with its zenith angle z and the
// refraction coefficient k: D = s sin(z − (1 − k) s / (2R)), with the
// partial derivatives of D with respect to s and z.
struct ReducedDistance {
    double value, dS, dZ;
};
ReducedDistance ReduceToHorizontal(double s, double z, double k, double radius);

// The trigonometric height difference of a slant distance s and zenith angle
// z: s cos z + (1 − k) (s sin z)² / (2R) + instrument height − target height,
// with its partial derivatives with respect to s and z.
ReducedDistance TrigonometricHeight(double s, double z, double k, double radius,
                                    double instrumentHeight, double targetHeight);

} // namespace Tavex

#endif
