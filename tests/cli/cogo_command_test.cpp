// `tavex cogo` and adjustments of projects that leave approximate
// coordinates out, checked against the true coordinates the example was
// generated from and against the adjustment of the same observations from
// the true coordinates.
#include "cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

constexpr char kExample[] = "traverse-without-coordinates";

json Truth() {
    std::string path = Example(kExample);
    path.replace(path.size() - 5, 5, ".truth.json");
    return ReadJson(path)["points"];
}

json JsonOf(const std::string& arguments) {
    const Outcome o = Tavex(arguments);
    EXPECT_EQ(o.status, 0) << o.out;
    const json parsed = json::parse(o.out, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << o.out;
    return parsed;
}

TEST(CliCogo, EveryNewStationComputedNearItsTruePosition) {
    const json results = JsonOf("cogo --output none --json " + Example(kExample));
    const json& cogo = results["cogo"];
    const json truth = Truth();
    EXPECT_TRUE(cogo["not_computed"].empty());
    EXPECT_TRUE(cogo["plane_fit"]["fitted"].get<bool>());
    ASSERT_EQ(cogo["computed"].size(), truth.size());
    for (const json& s : cogo["computed"]) {
        const json& p = truth[s["name"].get<std::string>()];
        // Free traverse legs fitted onto the known stations: centimetres.
        EXPECT_NEAR(s["east"].get<double>(), p[0].get<double>(), 0.02) << s.dump();
        EXPECT_NEAR(s["north"].get<double>(), p[1].get<double>(), 0.02) << s.dump();
    }
}

TEST(CliCogo, WrittenProjectAdjustsWithoutComputingAgain) {
    const auto directory = Project("{}", "write").parent_path();
    const std::string written = (directory / "filled.json").string();
    const Outcome o = Tavex("cogo --output none --write " + written + " " + Example(kExample));
    ASSERT_EQ(o.status, 0) << o.out;
    const json filled = ReadJson(written);
    for (const json& s : filled["stations"])
        EXPECT_TRUE(s.contains("east") && s.contains("north")) << s.dump();
    const json adjusted = JsonOf("adjust --output none --json " + written);
    EXPECT_FALSE(adjusted.contains("approximate_coordinates_computed"));
}

TEST(CliCogo, AdjustmentComputesMissingCoordinatesFirstAndEndsWhereTrueStartsEnd) {
    const json computed = AdjustJson(Example(kExample));
    ASSERT_TRUE(computed.contains("approximate_coordinates_computed")) << computed.dump();
    EXPECT_EQ(computed["approximate_coordinates_computed"],
              json::array({"P1", "P2", "P3", "P4", "N1"}));
    // The same observations adjusted from the true coordinates.
    json project = ReadJson(Example(kExample));
    const json truth = Truth();
    for (json& s : project["stations"]) {
        const json& p = truth[s["name"].get<std::string>()];
        s["east"] = p[0];
        s["north"] = p[1];
    }
    const json reference = AdjustJson(Project(project.dump(1), "true").string());
    for (const json& s : reference["stations"]) {
        const std::string name = s["name"];
        EXPECT_NEAR(Station(computed, name)["east"].get<double>(), s["east"].get<double>(), 1e-4)
            << name;
        EXPECT_NEAR(Station(computed, name)["north"].get<double>(), s["north"].get<double>(), 1e-4)
            << name;
    }
}

TEST(CliCogo, StationTheObservationsDoNotReachFailsTheAdjustmentByName) {
    json project = ReadJson(Example(kExample));
    project["stations"].push_back({{"name", "FAR"}});
    const Outcome o = Tavex("adjust --output none " + Project(project.dump(1)).string());
    EXPECT_EQ(o.status, 1) << o.out;
    EXPECT_NE(o.out.find("no approximate coordinates for FAR"), std::string::npos) << o.out;
    const Outcome listed = Tavex("cogo --output none " + Project(project.dump(1), "cogo").string());
    EXPECT_EQ(listed.status, 0) << listed.out;
    EXPECT_NE(listed.out.find("Stations not computed\n  FAR"), std::string::npos) << listed.out;
}

TEST(CliCogo, KnownStationsMustGiveTheirCoordinates) {
    ExpectRefused(R"({"dimension": 2, "stations": [{"name": "A", "known": "position"}]})",
                  "a known position must be given");
}

TEST(CliCogo, WriteGoesWithCogoOnly) {
    EXPECT_EQ(Tavex("adjust --write x.json " + Example(kExample)).status, 2);
}

} // namespace
