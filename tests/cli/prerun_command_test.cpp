// `tavex prerun` on networks made here from true coordinates, with problems
// planted where the test knows them: what it prints and its --json.
#include "cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

constexpr double kSdDistance = 0.002, kPpm = 2.0, kSdDirection = 0.0003; // m, ppm, gon

struct Point {
    double east, north;
};

const std::map<std::string, Point> kTruth = {{"K1", {1000.0, 1000.0}},
                                             {"K2", {2200.0, 1100.0}},
                                             {"P1", {1500.0, 1800.0}},
                                             {"P2", {2100.0, 1900.0}},
                                             {"P3", {1600.0, 600.0}}};

double Azimuth(const Point& a, const Point& b) {
    double gon = std::atan2(b.east - a.east, b.north - a.north) * 200.0 / std::numbers::pi;
    return gon < 0 ? gon + 400.0 : gon;
}

double Distance(const Point& a, const Point& b) {
    return std::hypot(b.east - a.east, b.north - a.north);
}

// Every station observes every other: a direction set and a horizontal
// distance each, error-free, so nothing but the planted problems shows.
json Network(bool withKnownStations) {
    json stations = json::array(), observations = json::array();
    for (const auto& [name, p] : kTruth) {
        json s = {{"name", name}, {"east", p.east}, {"north", p.north}};
        if (withKnownStations && name[0] == 'K')
            s.update({{"known", "position"}, {"sd_horizontal", 0.005}});
        stations.push_back(s);
    }
    for (const auto& [from, a] : kTruth)
        for (const auto& [to, b] : kTruth) {
            if (from == to)
                continue;
            observations.push_back({{"type", "total_station"},
                                    {"from", from},
                                    {"to", to},
                                    {"direction", Azimuth(a, b)},
                                    {"set", 1},
                                    {"sd_direction", kSdDirection},
                                    {"distance", Distance(a, b)},
                                    {"sd_distance", kSdDistance},
                                    {"sd_ppm", kPpm}});
        }
    return {{"name", "prerun test"},
            {"dimension", 2},
            {"datum", withKnownStations ? "constrained" : "free"},
            {"angle_unit", "gon"},
            {"stations", stations},
            {"observations", observations}};
}

json PreRunJson(const json& project, const std::string& label) {
    const auto path = Project(project.dump(1), label);
    const Outcome o = Tavex("prerun --output none --json " + path.string());
    EXPECT_EQ(o.status, 0) << o.out;
    const json results = json::parse(o.out, nullptr, false);
    EXPECT_FALSE(results.is_discarded()) << o.out;
    EXPECT_FALSE(std::filesystem::exists(path.parent_path() / "project.vnk.xml"))
        << "the document read for the findings is not left behind";
    return results.is_discarded() ? json::object() : results["prerun"];
}

TEST(CliPreRun, CleanNetworkFindsNothingInAnySection) {
    const auto path = Project(Network(true).dump(1));
    const Outcome o = Tavex("prerun --output none " + path.string());
    ASSERT_EQ(o.status, 0) << o.out;
    std::size_t nothing = 0;
    for (std::size_t at = o.out.find("nothing found"); at != std::string::npos;
         at = o.out.find("nothing found", at + 1))
        ++nothing;
    EXPECT_EQ(nothing, 5u) << o.out;
    for (const char* heading :
         {"Configuration defects", "Repeated observations", "approximate coordinates",
          "Possibly identical observations", "Possibly coinciding stations"})
        EXPECT_NE(o.out.find(heading), std::string::npos) << heading;
}

TEST(CliPreRun, FreeNetworkHasItsThreeDatumDefects) {
    // Directions and distances fix neither the translation nor the rotation:
    // the position of the station eliminated first and the orientation of
    // its direction set (set 1 in the file) are reported, nothing else.
    const json r = PreRunJson(Network(false), "free");
    ASSERT_EQ(r["configuration_defects"].size(), 2u) << r.dump(1);
    const json& position = r["configuration_defects"][0];
    const json& orientation = r["configuration_defects"][1];
    EXPECT_EQ(position["message"], 450);
    EXPECT_EQ(orientation["station"], position["station"]);
    EXPECT_EQ(orientation["description"], "station " + orientation["station"].get<std::string>() +
                                              ": orientation of direction set 1 undetermined");
}

TEST(CliPreRun, PlantedProblemsAreFoundWhereTheyAre) {
    json project = Network(true);
    json& obs = project["observations"];
    // A repeated distance P1-P2 five centimetres too long.
    const double d = Distance(kTruth.at("P1"), kTruth.at("P2"));
    obs.push_back({{"type", "distance"},
                   {"from", "P2"},
                   {"to", "P1"},
                   {"value", d + 0.05},
                   {"sd", kSdDistance},
                   {"sd_ppm", kPpm}});
    const std::size_t wrongDistance = obs.size() - 1;
    // A record entered twice.
    obs.push_back(obs[3]);
    const std::size_t copy = obs.size() - 1;
    // P3 entered a second time under another name, 0.4 m away.
    project["stations"].push_back(
        {{"name", "P3X"}, {"east", kTruth.at("P3").east + 0.4}, {"north", kTruth.at("P3").north}});
    obs.push_back({{"type", "distance"},
                   {"from", "K1"},
                   {"to", "P3X"},
                   {"value", Distance(kTruth.at("K1"), kTruth.at("P3")) + 0.4 * 0.8},
                   {"sd", kSdDistance}});
    const json r = PreRunJson(project, "planted");

    EXPECT_TRUE(r["configuration_defects"].empty()) << r.dump(1);
    // The distances P1-P2 in either direction form one group of three; the
    // wrong one is marked with w = 0.05 / sqrt(sd1² + sd2²), the first one
    // is the reference and the other good one agrees with it.
    ASSERT_EQ(r["repeated_observations"].size(), 1u) << r.dump(1);
    const json& group = r["repeated_observations"][0];
    EXPECT_EQ(group["check"], "distances");
    ASSERT_EQ(group["observations"].size(), 3u);
    const json& reference = group["observations"][0];
    const json& good = group["observations"][1];
    const json& wrong = group["observations"][2];
    EXPECT_TRUE(reference["reference"].get<bool>());
    EXPECT_FALSE(reference["significant"].get<bool>());
    EXPECT_FALSE(good["significant"].get<bool>());
    EXPECT_NEAR(good["difference"].get<double>(), 0.0, 1e-9);
    EXPECT_EQ(wrong["where"], "observations[" + std::to_string(wrongDistance) + "]");
    EXPECT_TRUE(wrong["significant"].get<bool>());
    EXPECT_NEAR(wrong["difference"].get<double>(), 0.05, 1e-9);
    const double sd = kSdDistance + kPpm * 1e-6 * d;
    EXPECT_NEAR(wrong["w"].get<double>(), 0.05 / std::sqrt(2 * sd * sd), 1e-3);
    EXPECT_EQ(wrong["from"], "P2");

    ASSERT_EQ(r["identical_observations"].size(), 1u) << r.dump(1);
    const json& same = r["identical_observations"][0];
    ASSERT_EQ(same.size(), 2u);
    EXPECT_EQ(same[0]["where"], "observations[3]");
    EXPECT_EQ(same[1]["where"], "observations[" + std::to_string(copy) + "]");

    ASSERT_EQ(r["coinciding_stations"].size(), 1u) << r.dump(1);
    EXPECT_EQ(r["coinciding_stations"][0]["first"], "P3");
    EXPECT_EQ(r["coinciding_stations"][0]["second"], "P3X");
    EXPECT_NEAR(r["coinciding_stations"][0]["distance"].get<double>(), 0.4, 1e-6);
}

TEST(CliPreRun, ApproximateCoordinatesFiveMetresOffAreReported) {
    json project = Network(true);
    for (json& s : project["stations"])
        if (s["name"] == "P2")
            s["east"] = s["east"].get<double>() + 5.0;
    const json r = PreRunJson(project, "approximate");
    ASSERT_FALSE(r["approximate_coordinates"].empty());
    for (const json& o : r["approximate_coordinates"]) {
        EXPECT_TRUE(o["from"] == "P2" || o["to"] == "P2") << o.dump();
        EXPECT_GT(std::fabs(o["w"].get<double>()), 10 * r["critical_value"].get<double>());
    }
}

TEST(CliPreRun, DocumentIsKeptOnlyWhenAskedFor) {
    const auto path = Project(Network(true).dump(1), "document");
    const auto directory = path.parent_path();
    ASSERT_EQ(Tavex("prerun --output text " + path.string()).status, 0);
    EXPECT_TRUE(std::filesystem::exists(directory / (path.stem().string() + ".vnk")));
    EXPECT_FALSE(std::filesystem::exists(directory / (path.stem().string() + ".vnk.xml")));
    ASSERT_EQ(Tavex("prerun --output xml " + path.string()).status, 0);
    EXPECT_TRUE(std::filesystem::exists(directory / (path.stem().string() + ".vnk.xml")));
}

} // namespace
