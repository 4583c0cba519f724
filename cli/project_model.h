// The host's own model of a project, as read from a project file: stations
// by name, observations by kind with readable fields, settings. Angles are
// radians and lengths metres here; the file's units are converted when it
// is read.
#ifndef TAVEX_CLI_PROJECT_MODEL_H
#define TAVEX_CLI_PROJECT_MODEL_H

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace TavexCli {

enum class Known { No, Height, Position, Both };

struct Station {
    std::string name;
    bool geographic = false;          // latitude/longitude (radians) instead of east/north
    double first = 0.0, second = 0.0; // east, north (m) or latitude, longitude (rad)
    double height = 0.0;
    bool hasHeight = true;
    // Whether the file gives the horizontal position; a new station may
    // leave it (and its height) to the approximate-coordinate computation.
    bool hasPosition = true;
    Known known = Known::No;
    double sdHorizontal = 0.0, sdHeight = 0.0; // metres
    bool excluded = false;
    int pointCode1 = 0, pointCode2 = 0;
    bool gps = false; // coordinates from GPS
};

enum class ObservationKind {
    Direction,
    Distance,
    Zenith,
    Azimuth,
    HeightDifference,
    GpsBaseline,
    GpsCoordinate,
    TotalStation,
    DoubleDistance,
    TapeDistance,
    LocalCoordinates,
};

// The words of the file's "type" field, in the order of ObservationKind.
inline constexpr const char* kObservationTypes[] = {
    "direction",         "distance",      "zenith",           "azimuth",
    "height_difference", "gps_baseline",  "gps_coordinate",   "total_station",
    "double_distance",   "tape_distance", "local_coordinates"};

struct Observation {
    ObservationKind kind = ObservationKind::Direction;
    std::string where;         // place in the file, for messages
    unsigned from = 0, to = 0; // station numbers (1-based); to is 0 for one-station kinds
    // Readings: direction, distance, zenith (total station uses all three;
    // single kinds use their own); angles in radians, lengths in metres.
    std::optional<double> direction, distance, zenith;
    double value = 0.0;             // azimuth, height difference, double or tape distance
    std::array<double, 3> vector{}; // GPS components
    // Local coordinates east, north, height (m), each given or not.
    std::array<std::optional<double>, 3> local{};
    bool horizontalDistance = true;
    // Direction set; scale group of the distance, refraction group of the
    // zenith angle, offset group of an azimuth.
    unsigned set = 0, group = 0, zenithGroup = 0;
    // The group of the kernel's variance component analysis (0: none of
    // its own).
    unsigned varianceGroup = 0;
    double instrumentHeight = 0.0, targetHeight = 0.0;
    double centringFrom = 0.0, heightErrorFrom = 0.0, centringTo = 0.0, heightErrorTo = 0.0;
    // Precision: angle (rad) + length (m) parts of angles; absolute (m) and
    // relative parts of distances; levelling σ_abs (m), σ per √m, σ per m and
    // line length (m); GPS and local standard deviations (m) and GPS
    // correlations.
    double sdDirection = 0.0, sdDirectionLength = 0.0;
    double sdZenith = 0.0, sdZenithLength = 0.0;
    double sdDistance = 0.0, sdDistanceRelative = 0.0;
    double sdAngle = 0.0, sdAngleLength = 0.0;
    double sdLevelling = 0.0, sdPerRootMetre = 0.0, sdPerMetre = 0.0, length = 0.0;
    std::array<double, 3> sdGps{};
    std::array<double, 3> correlation{}; // XY, XZ, YZ
};

enum class AngleUnit { Gon = 0, Degree = 1, Dms = 2 };

// How a GPS transformation parameter enters the adjustment; the values are
// the kernel's status codes.
enum class GpsParameterUse { Estimated = 0, Fixed = 1, Weighted = 2 };

// GPS transformation parameters by sub-code 1..7 (slot 0 unused).
inline constexpr int kGpsParameterSlots = 8;
inline constexpr const char* kGpsParameterNames[kGpsParameterSlots] = {
    "",      "rotation_x",    "rotation_y",    "rotation_z",
    "scale", "translation_x", "translation_y", "translation_z"};

// How observed local coordinates are tied to the network; the values are
// the kernel's transformation types.
enum class LocalTransformation {
    ByDimension = 0,
    HeightShift = 1,
    PlaneSimilarity = 2,
    SpatialSimilarity = 3,
    PlaneSimilarityAndHeightShift = 4,
};

// The kernel's variance component analysis: which groups of observations
// have their weights divided by their estimated variance factors, pass after
// pass; the values are the kernel's mode numbers. Without re-weighting the
// kernel still estimates the factors on the final solution.
enum class VarianceMode {
    None = 0,           // no re-weighting
    TerrestrialGps = 1, // terrestrial and GPS observations, two groups
    PerKind = 2,        // one group per kind of observation
    PerSet = 3,         // one group per variance_group and kind
};

struct Settings {
    std::string name;
    int dimension = 2;
    int phase = 1; // 1 free, 3 weighted, 2 constrained
    bool design = false;
    AngleUnit angleUnit = AngleUnit::Gon;
    std::string lengthUnit = "m", lengthUnitLong = "meters";
    double lengthFactor = 1.0;
    int ellipsoid = 2; // GRS 80; 20 the GPS frame
    double semiMajorAxis = 0.0, inverseFlattening = 0.0;
    int projection = 0;
    int iterations = 5;
    double epsilon = 0.0001, deltaSingular = 1e-6, sigma0 = 1.0, alpha0 = 0.001, beta = 0.80;
    double confidence1D = 0.683, confidence2D = 0.394;
    int aPosteriori = 0;
    int covarianceOutput = 0;
    int gpsCoordinateType = 0;
    int geoidModel = 0;
    LocalTransformation localTransformation = LocalTransformation::ByDimension;
    bool externalReliability = false;
    // Side shots (stations one record alone ties in) are computed after the
    // adjustment from their record; false keeps them in the network.
    bool freeObservations = true;
    VarianceMode varianceMode = VarianceMode::None;
    int variancePasses = 5;          // re-weighting passes at most
    double varianceTolerance = 0.01; // converged when every |factor estimate - 1| is within
    std::array<int, 16> reportSwitch{};
    std::array<double, 10> scale{}, refraction{}, azimuthOffset{};
    std::array<int, 10> scaleFree{}, refractionFree{}, azimuthOffsetFree{};
    // Values in radians (rotations), as a scale difference, in metres
    // (translations); standard deviations of weighted ones alike.
    std::array<double, kGpsParameterSlots> gpsParameter{}, gpsParameterSd{};
    std::array<GpsParameterUse, kGpsParameterSlots> gpsParameterUse{};
};

struct Project {
    std::string path; // the file it was read from
    Settings settings;
    std::vector<Station> stations;
    std::vector<Observation> observations;
};

} // namespace TavexCli

#endif
