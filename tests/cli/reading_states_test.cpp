// What tavex says became of each reading: adjusted with its results, left
// out by the kernel, combined with its distance, or adjusted with its results
// in the kernel's report. Before, every reading was listed as tested, with
// W = 0 for those the kernel had no equation for.
#include "cli_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

// A levelled line and a direction in a height network: the kernel cannot
// use the direction.
const char* const kHeightNetworkWithADirection = R"({"dimension": 1,
    "stations": [{"name": "A", "east": 0, "north": 0, "height": 10, "known": "height"},
                 {"name": "B", "east": 100, "north": 0, "height": 11}],
    "observations": [
      {"type": "height_difference", "from": "A", "to": "B", "value": 1.002, "sd": 0.001},
      {"type": "direction", "from": "A", "to": "B", "value": 12.5, "sd": 0.001},
      {"type": "height_difference", "from": "B", "to": "A", "value": -0.998, "sd": 0.001}]})";

TEST(CliReadingStates, ADirectionInAHeightNetworkIsLeftOutNotTested) {
    const json results = AdjustJson(Project(kHeightNetworkWithADirection).string());
    const json direction = Readings(results, "observations[1]");
    ASSERT_EQ(direction.size(), 1u);
    EXPECT_EQ(direction[0]["state"], "left_out");
    EXPECT_FALSE(direction[0].contains("w"));
    EXPECT_EQ(direction[0]["record"], 2);
    // The kernel's warning names the record; tavex shows where it is in the
    // file, with the same 1-based record number.
    bool named = false;
    for (const json& m : results["messages"])
        named |= m.value("where", "") == "observations[1]" && m["record"] == 2;
    EXPECT_TRUE(named) << results["messages"].dump();
    for (const char* where : {"observations[0]", "observations[2]"}) {
        const json line = Readings(results, where);
        ASSERT_EQ(line.size(), 1u);
        EXPECT_EQ(line[0]["state"], "adjusted") << where;
        EXPECT_NE(line[0]["w"].get<double>(), 0.0) << where;
    }
}

TEST(CliReadingStates, TheSummaryListsLeftOutReadingsApartFromTheTests) {
    const Outcome o =
        Tavex("adjust --output none " + Project(kHeightNetworkWithADirection).string());
    ASSERT_EQ(o.status, 0) << o.out;
    const auto tests = o.out.find("Largest W-tests");
    const auto leftOut = o.out.find("Left out by the kernel");
    ASSERT_NE(tests, std::string::npos) << o.out;
    ASSERT_NE(leftOut, std::string::npos) << o.out;
    const std::string testLines = o.out.substr(tests, leftOut - tests);
    EXPECT_EQ(testLines.find("direction"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("direction", leftOut), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("[observations[1]]"), std::string::npos) << "the warning's place";
}

TEST(CliReadingStates, ZenithAngleOfAPlaneNetworkReducesItsDistance) {
    const json results = AdjustJson(Project(R"({"dimension": 2, "angle_unit": "gon",
        "stations": [{"name": "A", "east": 1000, "north": 1000, "known": "position"},
                     {"name": "B", "east": 1100, "north": 1000, "known": "position"},
                     {"name": "C", "east": 1050, "north": 1080}],
        "observations": [
          {"type": "total_station", "from": "A", "to": "C", "distance": 94.3456, "zenith": 99.8,
           "sd_distance": 0.002, "sd_zenith": 0.001},
          {"type": "distance", "from": "B", "to": "C", "value": 94.34, "sd": 0.002},
          {"type": "distance", "from": "A", "to": "B", "value": 100.001, "sd": 0.002}]})")
                                        .string());
    const json readings = Readings(results, "observations[0]");
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0]["kind"], "distance");
    EXPECT_EQ(readings[0]["state"], "adjusted");
    EXPECT_EQ(readings[1]["kind"], "zenith");
    EXPECT_EQ(readings[1]["state"], "combined_with_distance");
    EXPECT_FALSE(readings[1].contains("w"));
}

TEST(CliReadingStates, ObservationsOfAnExcludedStationAreLeftOut) {
    const json results = AdjustJson(Project(R"({"dimension": 1,
        "stations": [{"name": "A", "east": 0, "north": 0, "height": 10, "known": "height"},
                     {"name": "B", "east": 100, "north": 0, "height": 11},
                     {"name": "C", "east": 200, "north": 0, "height": 12, "excluded": true}],
        "observations": [
          {"type": "height_difference", "from": "A", "to": "B", "value": 1.002, "sd": 0.001},
          {"type": "height_difference", "from": "B", "to": "A", "value": -0.998, "sd": 0.001},
          {"type": "height_difference", "from": "B", "to": "C", "value": 1.0, "sd": 0.001}]})")
                                        .string());
    EXPECT_EQ(Readings(results, "observations[2]")[0]["state"], "left_out");
    EXPECT_EQ(Readings(results, "observations[1]")[0]["state"], "adjusted");
}

} // namespace
