// Side shots and variance components through tavex: a side shot printed as
// such, with coordinates and precision computed here from the adjusted
// network and its one record; the same station kept in the network when
// the setting is off; estimated variance factors of a generated network
// whose distances are three times less precise than their standard
// deviations say, against the truth and against the same re-weighting
// computed here with a dense solver; and setting values refused at their
// place.
#include "cli_run.h"
#include "least_squares_reference.h"
#include "project_file.h"
#include "record_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

constexpr double kGon = std::numbers::pi / 200;

// A plane network: stations by name, readings (total-station records with
// a direction of the set at their station and a horizontal distance).
struct Reading {
    std::string from, to;
    double direction = 0, distance = 0;     // gon, m
    double sdDirection = 0, sdDistance = 0; // gon, m
    unsigned varianceGroup = 0;
};

struct PlaneProject {
    std::vector<std::string> names;
    std::map<std::string, Eigen::Vector2d> truth, approximate;
    std::map<std::string, bool> known;
    std::vector<Reading> readings;
};

json ProjectJson(const PlaneProject& p, const json& settings) {
    json stations = json::array();
    for (const std::string& name : p.names) {
        const Eigen::Vector2d& e = p.known.at(name) ? p.truth.at(name) : p.approximate.at(name);
        json s = {{"name", name}, {"east", e(0)}, {"north", e(1)}};
        if (p.known.at(name))
            s["known"] = "position";
        stations.push_back(s);
    }
    std::map<std::string, int> sets;
    for (const std::string& name : p.names)
        sets.emplace(name, static_cast<int>(sets.size()) + 1);
    json observations = json::array();
    for (const Reading& r : p.readings) {
        json o = {{"type", "total_station"},
                  {"from", r.from},
                  {"to", r.to},
                  {"direction", r.direction},
                  {"set", sets[r.from]},
                  {"sd_direction", r.sdDirection},
                  {"distance", r.distance},
                  {"sd_distance", r.sdDistance}};
        if (r.varianceGroup != 0)
            o["variance_group"] = r.varianceGroup;
        observations.push_back(o);
    }
    return {{"dimension", 2},
            {"angle_unit", "gon"},
            {"settings", settings},
            {"stations", stations},
            {"observations", observations}};
}

// The grid bearing from a to b (rad, from north towards east).
double Bearing(const Eigen::Vector2d& a, const Eigen::Vector2d& b) {
    return std::atan2(b(0) - a(0), b(1) - a(1));
}

// The same network adjusted here: unknowns the east and north of every
// station that is not known, then one orientation per station with
// directions; the known stations held.
struct PlaneAdjustment {
    std::map<std::string, int> coordinate, orientation;
    Eigen::VectorXd observed, sd;
    std::vector<int> kind; // 1 direction, 2 distance
    Adjusted result;
    Eigen::VectorXd residual, redundancy;
};

PlaneAdjustment Adjust(const PlaneProject& p, const std::vector<Reading>& readings,
                       const Eigen::VectorXd& sdScale) {
    PlaneAdjustment a;
    std::map<std::string, bool> observed;
    for (const Reading& r : readings)
        observed[r.from] = observed[r.to] = true;
    int unknowns = 0;
    for (const std::string& name : p.names)
        if (!p.known.at(name) && observed.count(name)) {
            a.coordinate[name] = unknowns;
            unknowns += 2;
        }
    for (const Reading& r : readings)
        if (!a.orientation.count(r.from))
            a.orientation[r.from] = unknowns++;
    const Eigen::Index n = static_cast<Eigen::Index>(2 * readings.size());
    a.observed.resize(n);
    a.sd.resize(n);
    for (std::size_t k = 0; k < readings.size(); ++k) {
        const Eigen::Index i = static_cast<Eigen::Index>(2 * k);
        a.observed(i) = readings[k].direction * kGon;
        a.observed(i + 1) = readings[k].distance;
        a.sd(i) = readings[k].sdDirection * kGon * sdScale(i);
        a.sd(i + 1) = readings[k].sdDistance * sdScale(i + 1);
        a.kind.push_back(1);
        a.kind.push_back(2);
    }
    const auto position = [&](const Eigen::VectorXd& x, const std::string& name) {
        const auto at = a.coordinate.find(name);
        return at == a.coordinate.end() ? p.truth.at(name)
                                        : Eigen::Vector2d(x(at->second), x(at->second + 1));
    };
    const auto model = [&](const Eigen::VectorXd& x) {
        Eigen::VectorXd computed(n);
        for (std::size_t k = 0; k < readings.size(); ++k) {
            const Eigen::Index i = static_cast<Eigen::Index>(2 * k);
            const Eigen::Vector2d from = position(x, readings[k].from);
            const Eigen::Vector2d to = position(x, readings[k].to);
            const double direction = Bearing(from, to) - x(a.orientation.at(readings[k].from));
            computed(i) =
                a.observed(i) + std::remainder(direction - a.observed(i), 2 * std::numbers::pi);
            computed(i + 1) = (to - from).norm();
        }
        return computed;
    };
    Eigen::VectorXd x0(unknowns);
    for (const auto& [name, c] : a.coordinate)
        x0.segment<2>(c) = p.approximate.at(name);
    for (const Reading& r : readings) {
        const int o = a.orientation.at(r.from);
        x0(o) = Bearing(position(x0, r.from), position(x0, r.to)) - r.direction * kGon;
    }
    a.result = LeastSquares(model, a.observed, a.sd, x0);
    // Residuals and redundancy numbers rᵢ = 1 − pᵢ (A Q Aᵀ)ᵢᵢ at the solution.
    const Eigen::VectorXd& x = a.result.x;
    Eigen::MatrixXd A(n, unknowns);
    for (Eigen::Index j = 0; j < unknowns; ++j) {
        const double h = 1e-6 * std::max(1.0, std::abs(x(j)));
        Eigen::VectorXd up = x, down = x;
        up(j) += h;
        down(j) -= h;
        A.col(j) = (model(up) - model(down)) / (2 * h);
    }
    a.residual = a.observed - model(x);
    const Eigen::VectorXd p2 = a.sd.array().square().inverse();
    a.redundancy =
        (1.0 - (p2.array() * (A * a.result.Q * A.transpose()).diagonal().array())).matrix();
    return a;
}

// Small deterministic disturbances of the readings of the side-shot
// network, so that it has residuals.
double Wobble(int k, double size) {
    return size * std::sin(1.7 * k + 0.3);
}

// Two known stations, two new ones and the side shot P from A.
PlaneProject SideShotNetwork() {
    PlaneProject p;
    p.names = {"A", "B", "C", "D", "P"};
    p.truth = {{"A", {1000, 2000}},
               {"B", {1400, 2050}},
               {"C", {1250, 2350}},
               {"D", {980, 2420}},
               {"P", {830, 1880}}};
    p.approximate = p.truth;
    p.approximate["C"] += Eigen::Vector2d(0.2, -0.15);
    p.approximate["D"] += Eigen::Vector2d(-0.1, 0.25);
    p.approximate["P"] += Eigen::Vector2d(0.3, 0.2);
    p.known = {{"A", true}, {"B", true}, {"C", false}, {"D", false}, {"P", false}};
    const std::map<std::string, double> orientation = {
        {"A", 0.3}, {"B", 1.1}, {"C", -0.4}, {"D", 2.0}};
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"A", "B"}, {"A", "C"}, {"A", "D"}, {"A", "P"}, {"B", "A"}, {"B", "C"},
        {"B", "D"}, {"C", "A"}, {"C", "B"}, {"C", "D"}, {"D", "A"}, {"D", "C"}};
    int k = 0;
    for (const auto& [from, to] : lines) {
        Reading r{from, to};
        const Eigen::Vector2d a = p.truth[from], b = p.truth[to];
        const double direction = Bearing(a, b) - orientation.at(from);
        r.direction = std::remainder(direction, 2 * std::numbers::pi) / kGon + Wobble(k, 0.0004);
        if (r.direction < 0)
            r.direction += 400;
        r.distance = (b - a).norm() + Wobble(k + 50, 0.0015);
        r.sdDirection = 0.0005;
        r.sdDistance = 0.002;
        p.readings.push_back(r);
        ++k;
    }
    return p;
}

// P computed here: A held, the orientation of A's set adjusted from the
// network without P, and the record's direction and distance; its
// covariance from the orientation's variance and the record's own.
struct SideShotReference {
    Eigen::Vector2d position;
    double sdEast = 0, sdNorth = 0;
};

SideShotReference ComputeSideShot(const PlaneProject& p) {
    std::vector<Reading> network;
    Reading shot;
    for (const Reading& r : p.readings) {
        if (r.to == "P")
            shot = r;
        else
            network.push_back(r);
    }
    const PlaneAdjustment a = Adjust(p, network, Eigen::VectorXd::Ones(2 * network.size()));
    const int o = a.orientation.at("A");
    const double theta = a.result.x(o) + shot.direction * kGon;
    const double d = shot.distance;
    SideShotReference ref;
    ref.position = p.truth.at("A") + d * Eigen::Vector2d(std::sin(theta), std::cos(theta));
    const double varTheta = a.result.Q(o, o) + std::pow(shot.sdDirection * kGon, 2);
    const Eigen::Vector2d g = d * Eigen::Vector2d(std::cos(theta), -std::sin(theta));
    const Eigen::Vector2d h(std::sin(theta), std::cos(theta));
    const Eigen::Matrix2d cov =
        varTheta * g * g.transpose() + std::pow(shot.sdDistance, 2) * h * h.transpose();
    ref.sdEast = std::sqrt(cov(0, 0));
    ref.sdNorth = std::sqrt(cov(1, 1));
    return ref;
}

std::filesystem::path WriteProject(const json& project, const std::string& label) {
    return Project(project.dump(2), label);
}

TEST(CliSideShots, ASideShotIsPrintedAsSuchAndAgreesWithItsOwnComputation) {
    const PlaneProject network = SideShotNetwork();
    const SideShotReference ref = ComputeSideShot(network);
    const std::filesystem::path file = WriteProject(ProjectJson(network, json::object()), "on");

    const json results = AdjustJson(file.string());
    const json& p = Station(results, "P");
    ASSERT_TRUE(p.contains("side_shot")) << p.dump();
    EXPECT_EQ(p["side_shot"]["held_station"], "A");
    EXPECT_EQ(p["side_shot"]["record"], 4);
    EXPECT_EQ(p["side_shot"]["where"], "observations[3]");
    EXPECT_NEAR(p["east"].get<double>(), ref.position(0), 1e-4);
    EXPECT_NEAR(p["north"].get<double>(), ref.position(1), 1e-4);
    EXPECT_NEAR(p["sd"]["east"].get<double>(), ref.sdEast, 1e-6);
    EXPECT_NEAR(p["sd"]["north"].get<double>(), ref.sdNorth, 1e-6);
    // Only P is a side shot; its readings are computed, not tested.
    for (const char* name : {"A", "B", "C", "D"})
        EXPECT_FALSE(Station(results, name).contains("side_shot")) << name;
    const json readings = Readings(results, "observations[3]");
    ASSERT_EQ(readings.size(), 2u);
    for (const json& r : readings) {
        EXPECT_EQ(r["state"], "side_shot") << r.dump();
        EXPECT_FALSE(r.contains("w")) << r.dump();
        EXPECT_NEAR(r["residual"].get<double>(), 0.0, 1e-9) << r.dump();
    }

    // The summary lists P under the side shots, with the station it hangs
    // on and its record, and not among the adjusted stations.
    const Outcome o = TavexCliTest::Tavex("adjust " + file.string());
    ASSERT_EQ(o.status, 0) << o.out;
    const std::size_t adjusted = o.out.find("Adjusted coordinates");
    const std::size_t sideShots = o.out.find("Side shots");
    ASSERT_NE(adjusted, std::string::npos) << o.out;
    ASSERT_NE(sideShots, std::string::npos) << o.out;
    const std::size_t line = o.out.find("\n  P ");
    ASSERT_NE(line, std::string::npos) << o.out;
    EXPECT_GT(line, sideShots) << o.out;
    EXPECT_EQ(o.out.find("\n  P ", line + 1), std::string::npos) << o.out;
    const std::string pLine = o.out.substr(line + 1, o.out.find('\n', line + 1) - line - 1);
    EXPECT_NE(pLine.find(" A "), std::string::npos) << pLine;
    EXPECT_NE(pLine.find("observations[3]"), std::string::npos) << pLine;
    char east[32];
    std::snprintf(east, sizeof east, "%.4f", ref.position(0));
    EXPECT_NE(pLine.find(east), std::string::npos) << pLine << " expected " << east;
    // The document was written aside: the project's directory has the text
    // report and messages only.
    EXPECT_TRUE(std::filesystem::exists(file.parent_path() / "project.out"));
    EXPECT_FALSE(std::filesystem::exists(file.parent_path() / "project.xml"));
}

TEST(CliSideShots, TheDocumentAskedForIsTheOneRead) {
    const PlaneProject network = SideShotNetwork();
    const std::filesystem::path file =
        WriteProject(ProjectJson(network, json::object()), "document");
    const Outcome o = TavexCliTest::Tavex("adjust --output xml --json " + file.string());
    ASSERT_EQ(o.status, 0) << o.out;
    const json results = json::parse(o.out);
    EXPECT_EQ(Station(results, "P")["side_shot"]["held_station"], "A");
    EXPECT_TRUE(std::filesystem::exists(file.parent_path() / "project.xml"));
}

TEST(CliSideShots, SwitchedOffTheSideShotStaysInTheNetwork) {
    const PlaneProject network = SideShotNetwork();
    const SideShotReference ref = ComputeSideShot(network);
    const std::filesystem::path file =
        WriteProject(ProjectJson(network, {{"free_observations", false}}), "off");
    const json results = AdjustJson(file.string());
    const json& p = Station(results, "P");
    EXPECT_FALSE(p.contains("side_shot")) << p.dump();
    // Without redundancy the record fixes P exactly as the side shot does.
    EXPECT_NEAR(p["east"].get<double>(), ref.position(0), 1e-4);
    EXPECT_NEAR(p["north"].get<double>(), ref.position(1), 1e-4);
    EXPECT_NEAR(p["sd"]["east"].get<double>(), ref.sdEast, 1e-6);
    EXPECT_NEAR(p["sd"]["north"].get<double>(), ref.sdNorth, 1e-6);
    for (const json& r : Readings(results, "observations[3]")) {
        EXPECT_EQ(r["state"], "adjusted") << r.dump();
        EXPECT_EQ(r["redundancy"].get<double>(), 0.0) << r.dump();
    }
    const Outcome o = TavexCliTest::Tavex("adjust --output none " + file.string());
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(o.out.find("Side shots"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\n  P "), std::string::npos) << o.out;
}

// A standard normal number from two uniform ones (Box-Muller), so that the
// network is the same with every standard library.
double Normal(std::mt19937& random) {
    const double u1 = (random() + 1.0) / 4294967297.0, u2 = random() / 4294967296.0;
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

// A 6 × 5 grid of stations 200 m apart, the two of one corner known, every
// neighbour (diagonals too) observed both ways with direction and distance.
// Directions are as precise as their 0.5 mgon say; distances, which claim
// 1 mm, scatter with 3 mm: their variance factor is 9. With sets, the
// distances of the first three columns' stations are variance group 1 (3
// mm), those of the others group 2 and as precise as they claim.
PlaneProject GeneratedNetwork(bool groups) {
    PlaneProject p;
    std::mt19937 random(20240517);
    const int columns = 6, rows = 5;
    const auto name = [](int c, int r) { return "S" + std::to_string(10 * c + r); };
    std::map<std::string, double> orientation;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            const std::string n = name(c, r);
            p.names.push_back(n);
            p.truth[n] = Eigen::Vector2d(5000 + 200 * c, 8000 + 200 * r);
            p.approximate[n] =
                p.truth[n] + Eigen::Vector2d(0.05 * Normal(random), 0.05 * Normal(random));
            p.known[n] = r == 0 && (c == 0 || c == 1);
            orientation[n] = 0.5 * c - 0.3 * r;
        }
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            for (int dc = -1; dc <= 1; ++dc)
                for (int dr = -1; dr <= 1; ++dr) {
                    if ((dc == 0 && dr == 0) || c + dc < 0 || c + dc >= columns || r + dr < 0 ||
                        r + dr >= rows)
                        continue;
                    Reading reading{name(c, r), name(c + dc, r + dr)};
                    const Eigen::Vector2d a = p.truth[reading.from], b = p.truth[reading.to];
                    reading.sdDirection = 0.0005;
                    reading.sdDistance = 0.001;
                    const bool loose = !groups || c < 3;
                    reading.varianceGroup = groups ? (c < 3 ? 1 : 2) : 0;
                    double direction = Bearing(a, b) - orientation[reading.from];
                    direction = std::remainder(direction, 2 * std::numbers::pi) / kGon +
                                0.0005 * Normal(random);
                    reading.direction = direction < 0 ? direction + 400 : direction;
                    reading.distance = (b - a).norm() + (loose ? 0.003 : 0.001) * Normal(random);
                    p.readings.push_back(reading);
                }
    return p;
}

// The re-weighting computed here: each pass estimates every group's
// σ̂² = Σ pᵢ vᵢ² / Σ rᵢ, multiplies its factor by it and divides the group's
// weights by the factor, until every σ̂² is within the tolerance of 1. The
// group of reading row i is given by group(i).
Eigen::VectorXd ReferenceFactors(const PlaneProject& p, const std::vector<int>& groupOfRow,
                                 int groups, double tolerance) {
    const std::size_t n = 2 * p.readings.size();
    Eigen::VectorXd factor = Eigen::VectorXd::Ones(groups);
    for (int pass = 0; pass < 50; ++pass) {
        Eigen::VectorXd scale(n);
        for (std::size_t i = 0; i < n; ++i)
            scale(static_cast<Eigen::Index>(i)) = std::sqrt(factor(groupOfRow[i]));
        const PlaneAdjustment a = Adjust(p, p.readings, scale);
        Eigen::VectorXd sum = Eigen::VectorXd::Zero(groups), r = Eigen::VectorXd::Zero(groups);
        for (std::size_t i = 0; i < n; ++i) {
            const Eigen::Index k = static_cast<Eigen::Index>(i);
            sum(groupOfRow[i]) += std::pow(a.residual(k) / a.sd(k), 2);
            r(groupOfRow[i]) += a.redundancy(k);
        }
        const Eigen::VectorXd estimate = sum.cwiseQuotient(r);
        factor = factor.cwiseProduct(estimate);
        if ((estimate.array() - 1).abs().maxCoeff() <= tolerance)
            break;
    }
    return factor;
}

const json* Group(const json& results, const std::string& kind, unsigned key) {
    for (const json& g : results["variance_components"]["groups"])
        if (g["kind"] == kind && g["variance_group"] == key)
            return &g;
    ADD_FAILURE() << "no group " << kind << " " << key;
    return nullptr;
}

TEST(CliVarianceComponents, PerKindRecoversTheDistancesFactor) {
    const PlaneProject network = GeneratedNetwork(false);
    const std::filesystem::path file = WriteProject(
        ProjectJson(network, {{"variance_components",
                               {{"mode", "per_kind"}, {"max_passes", 30}, {"tolerance", 1e-5}}}}),
        "per-kind");
    const json results = AdjustJson(file.string());
    ASSERT_TRUE(results.contains("variance_components")) << results.dump();
    EXPECT_EQ(results["variance_components"]["mode"], "per_kind");
    EXPECT_GT(results["variance_components"]["passes"].get<int>(), 1);
    const json* distance = Group(results, "distance", 0);
    const json* direction = Group(results, "direction", 0);
    ASSERT_TRUE(distance && direction);
    ASSERT_TRUE((*distance)["reweighted"].get<bool>());
    const double distanceFactor = (*distance)["factor"].get<double>();
    const double directionFactor = (*direction)["factor"].get<double>();
    // Near the truth, within the scatter of an estimate from this many
    // distances.
    EXPECT_NEAR(distanceFactor, 9.0, 9.0 * 0.3);
    EXPECT_NEAR(directionFactor, 1.0, 0.3);
    // The last estimates are 1 to the tolerance: the weights fit.
    EXPECT_NEAR((*distance)["estimate"].get<double>(), 1.0, 1e-4);
    // And the same as the re-weighting computed here.
    std::vector<int> groupOfRow;
    for (std::size_t k = 0; k < network.readings.size(); ++k) {
        groupOfRow.push_back(0); // direction
        groupOfRow.push_back(1); // distance
    }
    const Eigen::VectorXd reference = ReferenceFactors(network, groupOfRow, 2, 1e-7);
    EXPECT_NEAR(directionFactor / reference(0), 1.0, 1e-3);
    EXPECT_NEAR(distanceFactor / reference(1), 1.0, 1e-3);
    // The terrestrial group is estimated, not re-weighted in this mode.
    const json* terrestrial = Group(results, "terrestrial", 0);
    ASSERT_TRUE(terrestrial);
    EXPECT_FALSE((*terrestrial)["reweighted"].get<bool>());
    EXPECT_FALSE(terrestrial->contains("factor"));

    const Outcome o = TavexCliTest::Tavex("adjust --output none " + file.string());
    ASSERT_EQ(o.status, 0) << o.out;
    const std::size_t table = o.out.find("Variance components (per_kind");
    ASSERT_NE(table, std::string::npos) << o.out;
    const std::size_t line = o.out.find("\n  distance ", table);
    ASSERT_NE(line, std::string::npos) << o.out;
    char factor[32];
    std::snprintf(factor, sizeof factor, "%.3f", distanceFactor);
    EXPECT_NE(o.out.substr(line, o.out.find('\n', line + 1) - line).find(factor), std::string::npos)
        << o.out;
}

TEST(CliVarianceComponents, PerSetTellsTheGroupsApart) {
    const PlaneProject network = GeneratedNetwork(true);
    const json results = AdjustJson(
        WriteProject(
            ProjectJson(network,
                        {{"variance_components",
                          {{"mode", "per_set"}, {"tolerance", 1e-5}, {"max_passes", 30}}}}),
            "per-set")
            .string());
    ASSERT_TRUE(results.contains("variance_components")) << results.dump();
    const json* loose = Group(results, "distance", 1);
    const json* tight = Group(results, "distance", 2);
    ASSERT_TRUE(loose && tight);
    EXPECT_NEAR((*loose)["factor"].get<double>(), 9.0, 9.0 * 0.35);
    EXPECT_NEAR((*tight)["factor"].get<double>(), 1.0, 0.35);
    // Groups 1 and 2 of directions and distances, as computed here.
    std::vector<int> groupOfRow;
    for (const Reading& r : network.readings) {
        const int set = static_cast<int>(r.varianceGroup) - 1;
        groupOfRow.push_back(2 * set);     // direction of the group
        groupOfRow.push_back(2 * set + 1); // distance of the group
    }
    const Eigen::VectorXd reference = ReferenceFactors(network, groupOfRow, 4, 1e-7);
    EXPECT_NEAR((*loose)["factor"].get<double>() / reference(1), 1.0, 1e-3);
    EXPECT_NEAR((*tight)["factor"].get<double>() / reference(3), 1.0, 1e-3);
    EXPECT_NEAR((*Group(results, "direction", 1))["factor"].get<double>() / reference(0), 1.0,
                1e-3);
    // Network-wide groups are estimated only.
    EXPECT_FALSE((*Group(results, "distance", 0))["reweighted"].get<bool>());
}

TEST(CliVarianceComponents, SettingsReachTheRecord) {
    const auto settingsOf = [](const std::string& settings) {
        const TavexCli::Project project =
            TavexCli::ParseProject(R"({"dimension": 2, "settings": )" + settings + R"(,
                "stations": [{"name": "A", "east": 0, "north": 0}]})",
                                   "memory");
        return TavexCli::LayOut(project, "/tmp", "x", 1);
    };
    const TavexCli::Records byDefault = settingsOf("{}");
    EXPECT_EQ(byDefault.settings->VarComponent, 0);
    EXPECT_EQ(byDefault.settings->VarIterMax, 5);
    EXPECT_EQ(byDefault.settings->VarEpsilon, 0.01);
    EXPECT_EQ(byDefault.settings->ReportSwitch[Tavex::REPORT_ENGINE_OPTION], 1);
    const TavexCli::Records set = settingsOf(
        R"({"free_observations": false, "variance_components":
            {"mode": "terrestrial_gps", "max_passes": 0, "tolerance": 0.2}})");
    EXPECT_EQ(set.settings->VarComponent, 1);
    EXPECT_EQ(set.settings->VarIterMax, 0);
    EXPECT_EQ(set.settings->VarEpsilon, 0.2);
    EXPECT_EQ(set.settings->ReportSwitch[Tavex::REPORT_ENGINE_OPTION], 0);
    EXPECT_EQ(settingsOf(R"({"variance_components": "per_kind"})").settings->VarComponent, 2);
}

TEST(CliVarianceComponents, BadSettingValuesAreNamedAtTheirPlace) {
    const auto project = [](const std::string& settings, const std::string& group = "") {
        return R"({"dimension": 2, "settings": )" + settings + R"(, "stations": [
            {"name": "A", "east": 0, "north": 0, "known": "position"},
            {"name": "B", "east": 100, "north": 0, "known": "position"}],
            "observations": [{"type": "distance", "from": "A", "to": "B", "value": 100)" +
               group + "}]}";
    };
    const struct {
        const char* label;
        std::string text;
        const char* expected;
    } cases[] = {
        {"free-text", project(R"({"free_observations": "yes"})"),
         "settings.free_observations: expected true or false"},
        {"word", project(R"({"variance_components": "sometimes"})"),
         "settings.variance_components: unknown value \"sometimes\""},
        {"number", project(R"({"variance_components": 2})"),
         "settings.variance_components: expected \"none\""},
        {"no-mode", project(R"({"variance_components": {"max_passes": 3}})"),
         "settings.variance_components: missing field \"mode\""},
        {"mode", project(R"({"variance_components": {"mode": "all"}})"),
         "settings.variance_components.mode: unknown value \"all\""},
        {"passes", project(R"({"variance_components": {"mode": "per_kind", "max_passes": -1}})"),
         "settings.variance_components.max_passes: must be a whole number from 0 to 1000"},
        {"passes-real",
         project(R"({"variance_components": {"mode": "per_kind", "max_passes": 2.5}})"),
         "settings.variance_components.max_passes: expected a whole number"},
        {"tolerance", project(R"({"variance_components": {"mode": "per_kind", "tolerance": 0}})"),
         "settings.variance_components.tolerance: must be positive"},
        {"field", project(R"({"variance_components": {"mode": "per_kind", "passes": 3}})"),
         "settings.variance_components.passes: unknown field"},
        {"none-passes", project(R"({"variance_components": {"mode": "none", "tolerance": 0.1}})"),
         "settings.variance_components.tolerance: only a mode that re-weights"},
        {"per-set", project(R"({"variance_components": "per_set"})"),
         "settings.variance_components: \"per_set\" estimates a factor per variance_group"},
        {"per-set-mode", project(R"({"variance_components": {"mode": "per_set"}})"),
         "settings.variance_components.mode: \"per_set\""},
    };
    for (const auto& c : cases)
        ExpectRefused(c.text, c.expected, c.label);
    // With a variance group the same setting is taken.
    EXPECT_NO_THROW(TavexCli::ParseProject(
        project(R"({"variance_components": "per_set"})", R"(, "variance_group": 4)"), "memory"));
}

} // namespace
