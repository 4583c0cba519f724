// Observation kinds the host newly passes to the kernel, run through tavex
// and checked against adjustments computed here from the same numbers:
// double and tape distances, the per-metre term of a levelled line, the
// trigonometric height difference of a total-station record in a height
// network, and observed local coordinates.
#include "cli_run.h"
#include "least_squares_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

std::string Fixed(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", x);
    return text;
}

double PlaneDistance(const Eigen::Vector2d& a, const Eigen::Vector2d& b) {
    return (b - a).norm();
}

TEST(CliObservationKinds, DoubleAndTapeDistancesAreLengthsBetweenTheirStations) {
    const Eigen::Vector2d A(1000, 1000), B(1100, 1000), C(1050, 1080);
    const double ac = PlaneDistance(A, C), bc = PlaneDistance(B, C);
    // Readings (m) and standard deviations: double, tape, then two plain
    // distances, each off the truth by a few millimetres.
    const Eigen::Vector4d observed(ac + 0.003, bc - 0.002, ac - 0.002, bc + 0.001);
    const Eigen::Vector4d sd(0.001, 0.0015, 0.002, 0.002);
    const std::string text = R"({"dimension": 2,
        "stations": [{"name": "A", "east": 1000, "north": 1000, "known": "position"},
                     {"name": "B", "east": 1100, "north": 1000, "known": "position"},
                     {"name": "C", "east": 1050.3, "north": 1079.8}],
        "observations": [
          {"type": "double_distance", "from": "A", "to": "C", "value": )" +
                             Fixed(observed(0)) + R"(, "sd": 0.001},
          {"type": "tape_distance", "from": "B", "to": "C", "value": )" +
                             Fixed(observed(1)) + R"(, "sd": 0.0015},
          {"type": "distance", "from": "A", "to": "C", "value": )" +
                             Fixed(observed(2)) + R"(, "sd": 0.002},
          {"type": "distance", "from": "B", "to": "C", "value": )" +
                             Fixed(observed(3)) + R"(, "sd": 0.002}]})";
    const auto model = [&](const Eigen::VectorXd& x) {
        const Eigen::Vector2d c(x(0), x(1));
        return Eigen::Vector4d(PlaneDistance(A, c), PlaneDistance(B, c), PlaneDistance(A, c),
                               PlaneDistance(B, c))
            .eval();
    };
    const auto rounded = [](double x) { return std::stod(Fixed(x)); };
    const Eigen::Vector4d read(rounded(observed(0)), rounded(observed(1)), rounded(observed(2)),
                               rounded(observed(3)));
    const Adjusted reference = LeastSquares(model, read, sd, Eigen::Vector2d(1050.3, 1079.8));
    // Without the relations the station would lie elsewhere: the test can
    // tell whether they were used.
    const Adjusted without =
        LeastSquares([&](const Eigen::VectorXd& x) { return model(x).tail<2>().eval(); },
                     read.tail<2>(), sd.tail<2>(), Eigen::Vector2d(1050.3, 1079.8));
    ASSERT_GT((reference.x - without.x).norm(), 1e-3);

    const json results = AdjustJson(Project(text).string());
    const json& c = Station(results, "C");
    EXPECT_NEAR(c["east"].get<double>(), reference.x(0), 1e-4);
    EXPECT_NEAR(c["north"].get<double>(), reference.x(1), 1e-4);
    for (const char* where : {"observations[0]", "observations[1]"}) {
        const json readings = Readings(results, where);
        ASSERT_EQ(readings.size(), 1u) << where;
        EXPECT_EQ(readings[0]["state"], "results_in_report") << where;
        EXPECT_FALSE(readings[0].contains("w")) << where;
    }
    EXPECT_EQ(Readings(results, "observations[0]")[0]["kind"], "double_distance");
    EXPECT_EQ(Readings(results, "observations[1]")[0]["kind"], "tape_distance");
}

TEST(CliObservationKinds, LevelledLineTakesItsPerMetreTerm) {
    const json results = AdjustJson(Project(R"({"dimension": 1,
        "stations": [{"name": "A", "east": 0, "north": 0, "height": 10, "known": "height"},
                     {"name": "B", "east": 400, "north": 0, "height": 12}],
        "observations": [
          {"type": "height_difference", "from": "A", "to": "B", "value": 2.001, "sd": 0.001,
           "sd_per_km": 0.002, "sd_ppm": 3, "length": 400},
          {"type": "height_difference", "from": "A", "to": "B", "value": 2.003,
           "sd": 0.001}]})")
                                        .string());
    // σ = a + b·√(L/km) + c·L: 1 mm + 2 mm·√0.4 + 3 mm/km · 0.4 km.
    const double expected = 0.001 + 0.002 * std::sqrt(0.4) + 3e-6 * 400;
    EXPECT_NEAR(Readings(results, "observations[0]")[0]["sd"].get<double>(), expected, 1e-9);
}

TEST(CliObservationKinds, TotalStationFormsATrigonometricHeightInAHeightNetwork) {
    constexpr double kGon = std::numbers::pi / 200, R = 6371000, k = 0.13;
    const double s = 500.0213, z = 99.3672 * kGon, ih = 1.55, th = 1.30;
    const double sdS = 0.003, sdZ = 0.0005 * kGon;
    // The reference trigonometric height difference and its propagated
    // standard deviation.
    const double c = (1 - k) / (2 * R), horizontal = s * std::sin(z);
    const double trig = s * std::cos(z) + c * horizontal * horizontal + ih - th;
    const double dS = std::cos(z) + 2 * c * horizontal * std::sin(z);
    const double dZ = -s * std::sin(z) + 2 * c * horizontal * s * std::cos(z);
    const double sdTrig = std::hypot(dS * sdS, dZ * sdZ);
    // A levelled line 12 mm off, weighted like the trigonometric height.
    const double levelled = trig + 0.012, sdLevelled = 0.003;
    const double wT = 1 / (sdTrig * sdTrig), wL = 1 / (sdLevelled * sdLevelled);
    const double hB = 10 + (wT * trig + wL * levelled) / (wT + wL);

    const json results = AdjustJson(Project(R"({"dimension": 1, "angle_unit": "gon",
        "stations": [{"name": "A", "east": 0, "north": 0, "height": 10, "known": "height"},
                     {"name": "B", "east": 300, "north": 400, "height": 13}],
        "observations": [
          {"type": "total_station", "from": "A", "to": "B", "distance": 500.0213,
           "zenith": 99.3672, "sd_distance": 0.003, "sd_zenith": 0.0005,
           "instrument_height": 1.55, "target_height": 1.30},
          {"type": "height_difference", "from": "A", "to": "B", "value": )" +
                                            Fixed(levelled) + R"(, "sd": 0.003}]})")
                                        .string());
    EXPECT_NEAR(Station(results, "B")["height"].get<double>(), hB, 1e-4);
    const json readings = Readings(results, "observations[0]");
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0]["kind"], "trigonometric_height_difference");
    EXPECT_EQ(readings[0]["state"], "adjusted");
    EXPECT_NEAR(readings[0]["sd"].get<double>(), sdTrig, 1e-7);
    EXPECT_EQ(readings[1]["kind"], "zenith");
    EXPECT_EQ(readings[1]["state"], "combined_with_distance");
}

TEST(CliObservationKinds, LocalCoordinatesTieStationsInByAPlaneSimilarity) {
    // Local coordinates of four stations, made from their grid coordinates
    // by a similarity (30° rotation, scale 1 + 40 ppm, shifts): with A and B
    // known, the new stations come out where the similarity puts them.
    const Eigen::Vector2d grid[4] = {{10000, 20000}, {10180, 20010}, {10090, 20150}, {9960, 20120}};
    const double angle = 30 * std::numbers::pi / 180, scale = 1 + 40e-6;
    const Eigen::Vector2d shift(500, 300);
    const char* const names[4] = {"A", "B", "C", "D"};
    std::string local;
    for (int k = 0; k < 4; ++k) {
        const Eigen::Vector2d d = grid[k] - grid[0];
        const Eigen::Vector2d t(std::cos(angle) * d(0) - std::sin(angle) * d(1),
                                std::sin(angle) * d(0) + std::cos(angle) * d(1));
        const Eigen::Vector2d l = shift + scale * t;
        local += std::string(k ? ", " : "") + R"({"type": "local_coordinates", "station": ")" +
                 names[k] + R"(", "east": )" + Fixed(l(0)) + R"(, "north": )" + Fixed(l(1)) +
                 R"(, "sd_east": 0.002, "sd_north": 0.002})";
    }
    const json results = AdjustJson(Project(R"({"dimension": 2,
        "stations": [{"name": "A", "east": 10000, "north": 20000, "known": "position"},
                     {"name": "B", "east": 10180, "north": 20010, "known": "position"},
                     {"name": "C", "east": 10090.4, "north": 20149.7},
                     {"name": "D", "east": 9959.8, "north": 20120.3}],
        "observations": [)" + local + "]}")
                                        .string());
    for (int k = 2; k < 4; ++k) {
        const json& s = Station(results, names[k]);
        // The local coordinates are rounded to the micrometre.
        EXPECT_NEAR(s["east"].get<double>(), grid[k](0), 1e-4) << names[k];
        EXPECT_NEAR(s["north"].get<double>(), grid[k](1), 1e-4) << names[k];
    }
    const json readings = Readings(results, "observations[2]");
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0]["kind"], "local_east");
    EXPECT_EQ(readings[0]["state"], "results_in_report");
}

} // namespace
