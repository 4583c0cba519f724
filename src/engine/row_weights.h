// Standard deviations and weights of the observation rows.
//
// Precision parts come from the observation record: for a terrestrial
// reading in slot i the pair (Precision[2i], Precision[2i+1]) is its
// absolute and its distance-dependent part (an angle in radians plus a
// length in metres for directions, azimuths and zenith angles; metres plus a
// relative part for distances). A height difference of a one-reading record
// of the short kind carries σ_abs, σ_√L (metres per √metre), σ_L (metres per
// metre) and the line length L (metres) in Precision[0..3]; the other kinds
// carry σ_abs and σ_√L. Negative parts count as zero. Centring and height
// errors of instrument and target add in quadrature.
#ifndef TAVEX_ENGINE_ROW_WEIGHTS_H
#define TAVEX_ENGINE_ROW_WEIGHTS_H

#include "engine/station_geometry.h"
#include "project/observation.h"

namespace Tavex {

// Weight floors and caps.
inline constexpr double kWeightCap = 1e16;
inline constexpr double kVarianceFloor = 1e-32;
inline constexpr double kInnerConstraintWeight = 1e8;
// One unit in the last place below 1e32: a fixed transformation parameter.
inline constexpr double kFixedParameterWeight = 9.999999999999999e31;

// p = 1 / (σ0² σ²), capped at 1e16 when σ0² σ² is below 1e-16.
double WeightOf(double sigma, double sigma0);

// Effective centring (or height) error of an observation at a station: the
// square root of the sum of the squares of the station's and the
// observation's own value.
double Combined(double station, double observation);

// σ of a direction or azimuth (slot i) over distance s.
double AngleSigma(const CObservation& o, int slot, double s, double centringFrom,
                  double centringTo);
// σ of a zenith angle over distance s, with the height errors at both ends.
double ZenithSigma(const CObservation& o, int slot, double s, double heightFrom, double heightTo);
// σ of a distance (metres) of length s.
double DistanceSigma(const CObservation& o, int slot, double s, double centringFrom,
                     double centringTo);
// σ of a height difference; s replaces a line length of 0.
double HeightDifferenceSigma(const CObservation& o, int slot, double s);

// σ of an observed local coordinate in slot 0 (east), 1 (north) or 2
// (height) with the centring (plane) or height error of its station.
double LocalCoordinateSigma(const CObservation& o, int slot, double centringOrHeight);

// The 3 x 3 covariance (metres², geocentric X, Y, Z, row by row) of a GPS
// baseline or coordinate, with the centring and height errors of its
// stations added in their local horizons.
struct Covariance3 {
    double c[3][3];
};
Covariance3 GpsCovariance(const CObservation& o, const StationGeometry& from,
                          const StationGeometry* to, double centringFrom, double heightFrom,
                          double centringTo, double heightTo);

// The inverse of a symmetric positive definite 3 x 3 matrix; false when the
// matrix is not positive definite.
bool InvertPositiveDefinite(const Covariance3& in, Covariance3& out);

} // namespace Tavex

#endif
