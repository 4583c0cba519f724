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
};

struct Observation {
    ObservationKind kind = ObservationKind::Direction;
    std::string where;         // place in the file, for messages
    unsigned from = 0, to = 0; // station numbers (1-based)
    // Readings: direction, distance, zenith (total station uses all three;
    // single kinds use their own); angles in radians, lengths in metres.
    std::optional<double> direction, distance, zenith;
    double value = 0.0;             // azimuth, height difference
    std::array<double, 3> vector{}; // GPS components
    bool horizontalDistance = true;
    unsigned set = 0, group = 0, varianceGroup = 0;
    double instrumentHeight = 0.0, targetHeight = 0.0;
    double centringFrom = 0.0, heightErrorFrom = 0.0, centringTo = 0.0, heightErrorTo = 0.0;
    // Precision: angle (rad) + length (m) parts of angles; absolute (m) and
    // relative parts of distances; levelling σ_abs (m), σ per √m, σ per m and
    // line length (m); GPS standard deviations (m) and correlations.
    double sdDirection = 0.0, sdDirectionLength = 0.0;
    double sdZenith = 0.0, sdZenithLength = 0.0;
    double sdDistance = 0.0, sdDistanceRelative = 0.0;
    double sdAngle = 0.0;
    double sdLevelling = 0.0, sdPerRootMetre = 0.0, sdPerMetre = 0.0, length = 0.0;
    std::array<double, 3> sdGps{};
    std::array<double, 3> correlation{}; // XY, XZ, YZ
};

enum class AngleUnit { Gon = 0, Degree = 1, Dms = 2 };

struct Settings {
    std::string name;
    int dimension = 2;
    int phase = 1; // 1 free, 3 weighted, 2 constrained
    bool design = false;
    AngleUnit angleUnit = AngleUnit::Gon;
    std::string lengthUnit = "m", lengthUnitLong = "meters";
    double lengthFactor = 1.0;
    int ellipsoid = 2; // GRS 80
    double semiMajorAxis = 0.0, inverseFlattening = 0.0;
    int projection = 0;
    int iterations = 5;
    double epsilon = 0.0001, deltaSingular = 1e-6, sigma0 = 1.0, alpha0 = 0.001, beta = 0.80;
    double confidence1D = 0.683, confidence2D = 0.394;
    int aPosteriori = 0;
    int covarianceOutput = 0;
    int gpsCoordinateType = 0;
    int geoidModel = 0;
    bool externalReliability = false;
    std::array<int, 16> reportSwitch{};
    std::array<double, 10> scale{}, refraction{}, azimuthOffset{};
    std::array<int, 10> scaleFree{}, refractionFree{}, azimuthOffsetFree{};
    std::array<double, 8> gpsParameter{}, gpsParameterSd{};
    std::array<int, 8> gpsParameterObserved{};
};

struct Project {
    std::string path; // the file it was read from
    Settings settings;
    std::vector<Station> stations;
    std::vector<Observation> observations;
};

} // namespace TavexCli

#endif
