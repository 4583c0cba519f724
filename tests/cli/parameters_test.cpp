// Estimated additional parameters in tavex's results: a scale factor against
// an adjustment computed here, the GPS transformation parameters estimated,
// weighted and fixed, and the GPS frame that has none.
#include "cli_run.h"
#include "least_squares_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

std::string Fixed(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.7f", x);
    return text;
}

const json* Parameter(const json& results, const std::string& kind, const std::string& name) {
    for (const json& p : results["parameters"])
        if (p["kind"] == kind &&
            (p.value("parameter", "") == name ||
             (p.contains("group") && std::to_string(p["group"].get<int>()) == name)))
            return &p;
    return nullptr;
}

TEST(CliParameters, ScaleFactorAgainstAnAdjustmentWithItsScale) {
    // Two known and two new stations; distances measured 80 ppm long, so
    // that observed × scale = the network's length with scale 1 − 80 ppm
    // (the kernel computes a distance as length / scale).
    const Eigen::Vector2d points[4] = {
        {10000, 20000}, {10200, 20000}, {10100, 20150}, {10060, 19880}};
    const double trueScale = 1 / (1 + 80e-6);
    const int pairs[6][2] = {{0, 1}, {0, 2}, {1, 2}, {0, 3}, {1, 3}, {2, 3}};
    const char* const names[4] = {"A", "B", "C", "D"};
    constexpr double kGon = std::numbers::pi / 200;
    Eigen::VectorXd observed(9), sd(9);
    std::string observations;
    for (int k = 0; k < 6; ++k) {
        const double length = (points[pairs[k][1]] - points[pairs[k][0]]).norm() / trueScale;
        observed(k) = std::stod(Fixed(length));
        sd(k) = 0.002;
        observations += std::string(k ? ", " : "") + R"({"type": "distance", "from": ")" +
                        names[pairs[k][0]] + R"(", "to": ")" + names[pairs[k][1]] +
                        R"(", "value": )" + Fixed(length) + R"(, "sd": 0.002})";
    }
    for (int k = 1; k < 4; ++k) {
        const Eigen::Vector2d d = points[k] - points[0];
        const double bearing = std::atan2(d(0), d(1)) / kGon;
        observed(5 + k) = std::stod(Fixed(bearing)) * kGon;
        sd(5 + k) = 0.0003 * kGon;
        observations += std::string(R"(, {"type": "direction", "from": "A", "to": ")") + names[k] +
                        R"(", "value": )" + Fixed(bearing) + R"(, "sd": 0.0003})";
    }
    // Unknowns: C, D (east, north), the scale, the orientation at A.
    const auto model = [&](const Eigen::VectorXd& x) {
        Eigen::Vector2d p[4] = {points[0], points[1], {x(0), x(1)}, {x(2), x(3)}};
        Eigen::VectorXd f(9);
        for (int k = 0; k < 6; ++k)
            f(k) = (p[pairs[k][1]] - p[pairs[k][0]]).norm() / x(4);
        for (int k = 1; k < 4; ++k) {
            const Eigen::Vector2d d = p[k] - p[0];
            f(5 + k) = std::atan2(d(0), d(1)) - x(5);
        }
        return f;
    };
    Eigen::VectorXd start(6);
    start << 10100.2, 20149.8, 10059.9, 19880.2, 1.0, 0.0;
    const Adjusted reference = LeastSquares(model, observed, sd, start);

    const json results = AdjustJson(Project(R"({"dimension": 2,
        "parameters": {"scale": [{"group": 0, "estimate": true}]},
        "stations": [{"name": "A", "east": 10000, "north": 20000, "known": "position"},
                     {"name": "B", "east": 10200, "north": 20000, "known": "position"},
                     {"name": "C", "east": 10100.2, "north": 20149.8},
                     {"name": "D", "east": 10059.9, "north": 19880.2}],
        "observations": [)" + observations + "]}")
                                        .string());
    const json* scale = Parameter(results, "scale", "0");
    ASSERT_NE(scale, nullptr) << results["parameters"].dump();
    EXPECT_NEAR((*scale)["value"].get<double>(), reference.x(4), 1e-8);
    EXPECT_NEAR((*scale)["value"].get<double>(), trueScale, 1e-7);
    EXPECT_NEAR((*scale)["sd"].get<double>(), std::sqrt(reference.Q(4, 4)),
                0.01 * std::sqrt(reference.Q(4, 4)));
    EXPECT_EQ(results["parameters"].size(), 1u) << "only the estimated group is listed";
}

// The bundled 3D example with a changed project text.
std::string Variant(const std::function<void(json&)>& change, const std::string& label) {
    json project = ReadJson(Example("gps-total-station"));
    change(project);
    return Project(project.dump(), label).string();
}

TEST(CliParameters, GpsTransformationEstimatedWeightedAndFixed) {
    const json free = AdjustJson(Example("gps-total-station"));
    // With GPS baselines only the kernel sets up three rotations and a scale.
    ASSERT_EQ(free["parameters"].size(), 4u) << free["parameters"].dump();
    for (const char* name : {"rotation_x", "rotation_y", "rotation_z", "scale"}) {
        const json* p = Parameter(free, "gps_transformation", name);
        ASSERT_NE(p, nullptr) << name;
        EXPECT_EQ((*p)["use"], "estimated") << name;
        EXPECT_GT((*p)["sd"].get<double>(), 0.0) << name;
    }
    const double x = (*Parameter(free, "gps_transformation", "scale"))["value"];
    const double q = (*Parameter(free, "gps_transformation", "scale"))["sd"];

    // A pseudo-observation of 0 with the free standard deviation halves the
    // variance and the value (one more observation of a single unknown:
    // 1/σ² adds to the inverse variance).
    const json weighted = AdjustJson(Variant(
        [&](json& p) {
            p["parameters"]["gps_transformation"] = {
                {{"parameter", "scale"}, {"value", 0}, {"sd", q * 1e6}}};
        },
        "weighted"));
    const json& w = *Parameter(weighted, "gps_transformation", "scale");
    EXPECT_EQ(w["use"], "weighted");
    EXPECT_NEAR(w["sd"].get<double>(), q / std::sqrt(2.0), 0.01 * q);
    EXPECT_NEAR(w["value"].get<double>(), x / 2, 0.02 * q);

    // Fixed at one microradian, given as text in the file's d-m-s unit.
    const json fixed = AdjustJson(Variant(
        [](json& p) {
            p["parameters"]["gps_transformation"] = {
                {{"parameter", "rotation_z"}, {"value", "0 0 0.2062648"}, {"estimate", false}}};
        },
        "fixed"));
    const json& f = *Parameter(fixed, "gps_transformation", "rotation_z");
    EXPECT_EQ(f["use"], "fixed");
    EXPECT_FALSE(f.contains("sd"));
    EXPECT_NEAR(f["value"].get<double>(), 1e-6, 1e-12);
}

TEST(CliParameters, GpsFrameHasNoTransformationUnknowns) {
    // With terrestrial observations (adjustment mode 6 instead of 4) and
    // with GPS baselines only (mode 9 instead of 7).
    for (const bool terrestrial : {true, false}) {
        const auto keep = [&](json& p) {
            json kept = json::array();
            for (const json& o : p["observations"])
                if (terrestrial || o["type"] == "gps_baseline")
                    kept.push_back(o);
            p["observations"] = kept;
            p.erase("parameters");
        };
        const std::string label = terrestrial ? "both" : "gps";
        const json free = AdjustJson(Variant(keep, label));
        const json frame = AdjustJson(Variant(
            [&](json& p) {
                keep(p);
                p["ellipsoid"] = "GPS_frame";
            },
            label + "-frame"));
        EXPECT_EQ(free["parameters"].size(), 4u) << label;
        EXPECT_TRUE(frame["parameters"].empty()) << label << frame["parameters"].dump();
        EXPECT_EQ(frame["statistics"]["unknowns"].get<int>(),
                  free["statistics"]["unknowns"].get<int>() - 4)
            << label;
    }
}

TEST(CliParameters, GridKindOfGpsCoordinatesPutsEastFirstAndTavexReadsIt) {
    // The kind only changes the order in which the kernel hands back each
    // covariance block; read correctly, north and east stay the same.
    const auto kind = [](int type) {
        return [type](json& p) {
            p["ellipsoid"] = "GPS_frame";
            p.erase("parameters");
            p["settings"] = {{"gps_coordinate_type", type}};
        };
    };
    const json north = AdjustJson(Variant(kind(0), "kind-0"));
    const json east = AdjustJson(Variant(kind(2), "kind-2"));
    bool distinct = false;
    for (const json& s : north["stations"]) {
        const json& t = Station(east, s["name"]);
        EXPECT_NEAR(t["sd"]["north"].get<double>(), s["sd"]["north"].get<double>(), 1e-9);
        EXPECT_NEAR(t["sd"]["east"].get<double>(), s["sd"]["east"].get<double>(), 1e-9);
        distinct |= std::abs(s["sd"]["north"].get<double>() - s["sd"]["east"].get<double>()) > 1e-5;
    }
    EXPECT_TRUE(distinct) << "a swap would not show";
}

} // namespace
