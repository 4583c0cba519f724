// `tavex loops` on the levelling example: misclosures and their standard
// deviations summed here from the project file, the number of independent
// loops, and a planted error that flags exactly the loops through its line.
#include "cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

using namespace TavexCliTest;
using nlohmann::json;

// The levelled lines of a project: height difference from the first to the
// second station and its variance (σ per km over the line's length).
struct Line {
    double value = 0, variance = 0;
};

std::map<std::pair<std::string, std::string>, Line> Lines(const json& project) {
    std::map<std::pair<std::string, std::string>, Line> lines;
    for (const json& o : project["observations"]) {
        const double sd =
            o["sd_per_km"].get<double>() * std::sqrt(o["length"].get<double>() / 1000.0);
        lines[{o["from"], o["to"]}] = {o["value"].get<double>(), sd * sd};
    }
    return lines;
}

json HeightLoops(const std::string& path) {
    const Outcome o = Tavex("loops --output none --json " + path);
    EXPECT_EQ(o.status, 0) << o.out;
    const json results = json::parse(o.out, nullptr, false);
    EXPECT_FALSE(results.is_discarded()) << o.out;
    for (const json& kind : results["loops"]["kinds"])
        if (kind["family"] == "height")
            return kind["loops"];
    ADD_FAILURE() << "no height loops in " << o.out;
    return json::array();
}

// The misclosure of the loop through the stations in order, and its
// variance, from the project's lines (each line used in its own direction or
// reversed).
std::pair<double, double> Closure(const json& stations,
                                  const std::map<std::pair<std::string, std::string>, Line>& lines,
                                  std::set<std::pair<std::string, std::string>>* used = nullptr) {
    double sum = 0, variance = 0;
    for (std::size_t k = 0; k < stations.size(); ++k) {
        const std::string a = stations[k], b = stations[(k + 1) % stations.size()];
        if (auto it = lines.find({a, b}); it != lines.end()) {
            sum += it->second.value;
            variance += it->second.variance;
        } else {
            const Line& back = lines.at({b, a});
            sum -= back.value;
            variance += back.variance;
        }
        if (used != nullptr)
            used->insert({std::min(a, b), std::max(a, b)});
    }
    return {sum, variance};
}

TEST(CliLoops, HeightMisclosuresAgainstTheLevelledLines) {
    const json project = ReadJson(Example("levelling"));
    const auto lines = Lines(project);
    const json loops = HeightLoops(Example("levelling"));
    // Independent loops of a connected network: lines − stations + 1.
    ASSERT_EQ(loops.size(), lines.size() - project["stations"].size() + 1);
    for (const json& loop : loops) {
        const auto [misclosure, variance] = Closure(loop["stations"], lines);
        const json& m = loop["misclosures"][0];
        EXPECT_NEAR(m["value"].get<double>(), misclosure, 1e-9) << loop.dump();
        EXPECT_NEAR(m["sd"].get<double>(), std::sqrt(variance), 1e-9) << loop.dump();
        EXPECT_FALSE(loop["flagged"].get<bool>()) << loop.dump();
    }
}

TEST(CliLoops, APlantedErrorFlagsTheLoopsThroughItsLineOnly) {
    json project = ReadJson(Example("levelling"));
    json& wrong = project["observations"][1];
    wrong["value"] = wrong["value"].get<double>() + 0.02;
    const std::pair<std::string, std::string> line =
        std::minmax(wrong["from"].get<std::string>(), wrong["to"].get<std::string>());
    const json loops = HeightLoops(Project(project.dump(1)).string());
    std::size_t flagged = 0;
    for (const json& loop : loops) {
        std::set<std::pair<std::string, std::string>> used;
        Closure(loop["stations"], Lines(project), &used);
        EXPECT_EQ(loop["flagged"].get<bool>(), used.count(line) == 1) << loop.dump();
        flagged += loop["flagged"].get<bool>() ? 1 : 0;
    }
    EXPECT_GE(flagged, 1u);
}

TEST(CliLoops, AKindWithoutLoopsSaysSo) {
    const Outcome o = Tavex("loops --output none " + Example("levelling"));
    ASSERT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find("no loops found"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("P2 - P3 - P6 - P5 - P2"), std::string::npos) << o.out;
}

} // namespace
