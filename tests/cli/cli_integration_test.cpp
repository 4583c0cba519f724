// The tavex command run on the bundled examples, checked against
// independent least-squares computations made here from the project files.
#include "cli_run.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

TEST(CliExamples, LevellingAgainstAWeightedLeastSquaresSolution) {
    const json project = ReadJson(Example("levelling"));
    // Unknown heights of the new points; benchmarks fixed (constrained).
    std::map<std::string, int> index;
    std::map<std::string, double> fixed;
    for (const json& s : project["stations"]) {
        if (s.value("known", "none") == "height")
            fixed[s["name"]] = s["height"];
        else
            index.emplace(s["name"], static_cast<int>(index.size()));
    }
    const auto& lines = project["observations"];
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(lines.size(), index.size());
    Eigen::VectorXd l(lines.size()), w(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const json& o = lines[k];
        double value = o["value"];
        for (const auto& [end, sign] : {std::pair{o["from"], -1.0}, std::pair{o["to"], 1.0}}) {
            if (fixed.count(end))
                value -= sign * fixed[end];
            else
                A(k, index[end]) = sign;
        }
        l(k) = value;
        const double sd =
            o["sd_per_km"].get<double>() * std::sqrt(o["length"].get<double>() / 1000);
        w(k) = 1.0 / (sd * sd);
    }
    const Eigen::VectorXd h =
        (A.transpose() * w.asDiagonal() * A).ldlt().solve(A.transpose() * w.asDiagonal() * l);
    const json results = AdjustJson(Example("levelling"));
    for (const auto& [name, k] : index)
        EXPECT_NEAR(Station(results, name)["height"].get<double>(), h(k), 5e-5) << name;
    for (const auto& [name, height] : fixed)
        EXPECT_NEAR(Station(results, name)["height"].get<double>(), height, 1e-9) << name;
}

// A plane adjustment of directions and distances with the given stations
// held fixed: the reference for the 2D examples.
struct PlaneNetwork {
    std::map<std::string, int> coordinate; // index of a station's east unknown
    std::map<std::string, Eigen::Vector2d> position;
    Eigen::MatrixXd Q; // cofactor matrix of the last solution
    Eigen::VectorXd w; // W-tests
};

PlaneNetwork PlaneAdjustment(const json& project, bool design, double knownSd) {
    PlaneNetwork net;
    std::map<std::string, bool> known;
    for (const json& s : project["stations"]) {
        net.position[s["name"]] =
            Eigen::Vector2d(s["east"].get<double>(), s["north"].get<double>());
        known[s["name"]] = s.value("known", "none") != "none";
    }
    int unknowns = 0;
    for (const auto& [name, isKnown] : known)
        if (!isKnown || knownSd > 0) {
            net.coordinate[name] = unknowns;
            unknowns += 2;
        }
    std::map<std::string, int> orientation;
    for (const json& o : project["observations"])
        if (o.contains("direction") && !orientation.count(o["from"]))
            orientation[o["from"]] = unknowns++;
    std::vector<std::tuple<std::string, std::string, std::string, double, double>> rows;
    for (const json& o : project["observations"]) {
        if (o.contains("direction"))
            rows.emplace_back("direction", o["from"], o["to"],
                              o["direction"].get<double>() * M_PI / 200,
                              o["sd_direction"].get<double>() * M_PI / 200);
        if (o.contains("distance")) {
            const double d = o["distance"];
            rows.emplace_back("distance", o["from"], o["to"], d,
                              o["sd_distance"].get<double>() +
                                  o["sd_ppm"].get<double>() * 1e-6 * d);
        }
    }
    const std::size_t datum = knownSd > 0 ? 2 * std::count_if(known.begin(), known.end(),
                                                              [](auto& k) { return k.second; })
                                          : 0;
    const std::size_t n = rows.size() + datum;
    Eigen::VectorXd x = Eigen::VectorXd::Zero(unknowns);
    // Approximate orientations from the first direction of each station.
    for (const auto& [kind, from, to, value, sd] : rows)
        if (kind == "direction" && x(orientation[from]) == 0.0) {
            const Eigen::Vector2d d = net.position[to] - net.position[from];
            x(orientation[from]) = std::atan2(d(0), d(1)) - value;
        }
    Eigen::VectorXd pv;
    for (int iteration = 0; iteration < 10; ++iteration) {
        Eigen::MatrixXd A = Eigen::MatrixXd::Zero(n, unknowns);
        Eigen::VectorXd l(n), p(n);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const auto& [kind, from, to, value, sd] = rows[k];
            const Eigen::Vector2d d = net.position[to] - net.position[from];
            const double s2 = d.squaredNorm(), s = std::sqrt(s2);
            Eigen::Vector2d gradient; // of the computed value for the target (east, north)
            double computed;
            if (kind == "direction") {
                computed = std::atan2(d(0), d(1)) - x(orientation[from]);
                gradient = {d(1) / s2, -d(0) / s2};
                A(k, orientation[from]) = -1;
                l(k) = std::remainder(value - computed, 2 * M_PI);
            } else {
                computed = s;
                gradient = {d(0) / s, d(1) / s};
                l(k) = value - computed;
            }
            if (net.coordinate.count(to))
                A.block(k, net.coordinate[to], 1, 2) = gradient.transpose();
            if (net.coordinate.count(from))
                A.block(k, net.coordinate[from], 1, 2) = -gradient.transpose();
            p(k) = 1 / (sd * sd);
        }
        std::size_t k = rows.size();
        for (const auto& [name, isKnown] : known)
            if (isKnown && knownSd > 0)
                for (int c = 0; c < 2; ++c, ++k) {
                    A(k, net.coordinate[name] + c) = 1;
                    l(k) = 0; // the known coordinates are the approximate ones
                    p(k) = 1 / (knownSd * knownSd);
                }
        if (design)
            l.setZero();
        const Eigen::MatrixXd N = A.transpose() * p.asDiagonal() * A;
        net.Q = N.inverse();
        const Eigen::VectorXd dx = net.Q * A.transpose() * p.asDiagonal() * l;
        for (const auto& [name, c] : net.coordinate)
            net.position[name] += dx.segment<2>(c);
        for (const auto& [name, o] : orientation)
            x(o) += dx(o);
        const Eigen::VectorXd v = l - A * dx;
        const Eigen::MatrixXd Qv =
            Eigen::MatrixXd(p.cwiseInverse().asDiagonal()) - A * net.Q * A.transpose();
        net.w = (p.asDiagonal() * v).array() /
                (p.asDiagonal() * Qv * p.asDiagonal()).diagonal().array().sqrt();
        if (dx.cwiseAbs().maxCoeff() < 1e-9)
            break;
    }
    return net;
}

TEST(CliExamples, TriangulationAgainstAPlaneAdjustmentAndItsPlantedError) {
    const json project = ReadJson(Example("triangulation"));
    const PlaneNetwork reference = PlaneAdjustment(project, false, 0.0);
    const json results = AdjustJson(Example("triangulation"));
    for (const auto& [name, position] : reference.position) {
        const json& s = Station(results, name);
        EXPECT_NEAR(s["east"].get<double>(), position(0), 5e-4) << name;
        EXPECT_NEAR(s["north"].get<double>(), position(1), 5e-4) << name;
    }
    // The largest W-test is the planted error in the distance T3-T6.
    const json* largest = nullptr;
    for (const json& r : results["observations"])
        if (r["state"] != "adjusted")
            ADD_FAILURE() << r.dump();
        else if (largest == nullptr ||
                 std::abs(r["w"].get<double>()) > std::abs((*largest)["w"].get<double>()))
            largest = &r;
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ((*largest)["kind"], "distance");
    EXPECT_EQ((*largest)["from"], "T3");
    EXPECT_EQ((*largest)["to"], "T6");
    EXPECT_TRUE((*largest)["rejected"].get<bool>());
    EXPECT_NEAR(std::abs((*largest)["w"].get<double>()), reference.w.cwiseAbs().maxCoeff(), 0.02);
}

TEST(CliExamples, DesignPrecisionAgainstThePlaneCofactors) {
    const json project = ReadJson(Example("design"));
    const PlaneNetwork reference = PlaneAdjustment(project, true, 0.01);
    const json results = AdjustJson(Example("design"));
    for (const char* name : {"N1", "N2"}) {
        const int c = reference.coordinate.at(name);
        const json& s = Station(results, name);
        EXPECT_NEAR(s["sd"]["east"].get<double>(), std::sqrt(reference.Q(c, c)), 2e-6) << name;
        EXPECT_NEAR(s["sd"]["north"].get<double>(), std::sqrt(reference.Q(c + 1, c + 1)), 2e-6)
            << name;
    }
}

TEST(CliExamples, ThreeDimensionalNetworkRecoversItsTruth) {
    const json truth = ReadJson(std::string(TAVEX_EXAMPLES_DIR) + "/gps-total-station.truth.json");
    const json results = AdjustJson(Example("gps-total-station"));
    EXPECT_TRUE(results["succeeded"].get<bool>());
    for (const auto& [name, point] : truth["points"].items()) {
        const json& s = Station(results, name);
        const double lat = point[0].get<double>() * M_PI / 180,
                     lon = point[1].get<double>() * M_PI / 180;
        // Within the network's precision (millimetres), far from the
        // decimetres the approximate coordinates were off.
        EXPECT_NEAR((s["latitude"].get<double>() - lat) * 6.39e6, 0.0, 0.01) << name;
        EXPECT_NEAR((s["longitude"].get<double>() - lon) * 3.93e6, 0.0, 0.01) << name;
        EXPECT_NEAR(s["height"].get<double>(), point[2].get<double>(), 0.015) << name;
    }
    EXPECT_LT(results["statistics"]["variance_factor"].get<double>(),
              results["statistics"]["critical_f"].get<double>());
}

TEST(CliExamples, TextReportAndDocumentAreWrittenIntoANewOutputDirectory) {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "tavex-cli-output";
    std::filesystem::remove_all(base);
    const std::filesystem::path dir = base / "new";
    const Outcome o =
        Tavex("adjust --output both --output-dir " + dir.string() + " " + Example("levelling"));
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "levellin.out"));
    EXPECT_TRUE(std::filesystem::exists(dir / "levellin.xml"));
    EXPECT_TRUE(std::filesystem::exists(dir / "levellin.msg"));
    EXPECT_NE(o.out.find("Adjusted coordinates"), std::string::npos);
}

TEST(CliBadInput, EveryKindOfMistakeExitsWithTwoAndWritesNothing) {
    const struct {
        const char* name;
        const char* text;
        const char* expected;
    } cases[] = {
        {"malformed", "{\"dimension\": 1,\n \"stations\": [\n", "line 3"},
        {"unknown-station",
         R"({"dimension": 1, "stations": [{"name": "A", "east": 0, "north": 0, "height": 1}],
             "observations": [{"type": "height_difference", "from": "A", "to": "B", "value": 1}]})",
         "observations[0].to: unknown station \"B\""},
        {"unknown-kind",
         R"({"dimension": 1, "stations": [{"name": "A", "east": 0, "north": 0}],
             "observations": [{"type": "angle", "from": "A", "to": "A"}]})",
         "unknown value \"angle\""},
        {"missing-field", R"({"dimension": 2, "stations": [{"name": "A", "east": 0}]})",
         "stations[0]: missing field \"north\""},
        {"out-of-range", R"({"dimension": 4, "stations": [{"name": "A", "east": 0, "north": 0}]})",
         "dimension: must be a whole number from 1 to 3"},
        {"negative-sd",
         R"({"dimension": 1, "stations": [{"name": "A", "east": 0, "north": 0},
             {"name": "B", "east": 1, "north": 0}],
             "observations": [{"type": "height_difference", "from": "A", "to": "B",
             "value": 1, "sd": -0.001}]})",
         "observations[0].sd: must not be negative"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path file = Project(c.text, c.name);
        const Outcome o = Tavex("adjust " + file.string());
        EXPECT_EQ(o.status, 2) << c.name << ": " << o.out;
        EXPECT_NE(o.out.find(c.expected), std::string::npos) << c.name << ": " << o.out;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                                std::filesystem::directory_iterator()),
                  1)
            << c.name << ": nothing but the project is in its directory";
    }
}

TEST(CliBadInput, AFailedRunExitsWithOneAndShowsTheKernelsMessages) {
    const std::filesystem::path file = Project(R"({
        "dimension": 1, "datum": "weighted",
        "stations": [{"name": "A", "east": 0, "north": 0, "height": 1, "known": "height",
                      "sd_height": 0.001},
                     {"name": "B", "east": 100, "north": 0, "height": 2},
                     {"name": "C", "east": 200, "north": 0, "height": 3}],
        "observations": [{"type": "height_difference", "from": "B", "to": "C", "value": 1,
                          "sd": 0.001}]})");
    const Outcome o = Tavex("adjust --output none " + file.string());
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("error 491"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("adjust: failed"), std::string::npos) << o.out;
}

TEST(CliMultiplier, PrintsTheConfidenceMultiplier) {
    const Outcome o = Tavex("multiplier 0.95 2");
    EXPECT_EQ(o.status, 0);
    EXPECT_NEAR(std::stod(o.out), 2.4477, 1e-4);
    EXPECT_EQ(Tavex("multiplier 1.5 2").status, 2);
    EXPECT_EQ(Tavex("frobnicate x").status, 2);
}

} // namespace
