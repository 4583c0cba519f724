// What came back from a run, read out of the kernel's records into the
// host's terms: stations by name, observations by their place in the file.
#ifndef TAVEX_CLI_RUN_RESULTS_H
#define TAVEX_CLI_RUN_RESULTS_H

#include "project_model.h"
#include "record_layout.h"

#include <string>
#include <vector>

namespace TavexCli {

struct Message {
    int code = 0;
    bool error = false;
    std::string text;
};

struct StationResult {
    std::string name;
    bool adjusted = false, known = false;
    bool horizontal = false, height = false;
    double first = 0, second = 0, heightValue = 0; // east/north or latitude/longitude
    double sdNorth = 0, sdEast = 0, sdHeight = 0;
    double ellipseA = 0, ellipseB = 0, ellipsePhi = 0;
    double tTest = 0;
};

// One reading with its results.
struct ReadingResult {
    std::size_t observation = 0; // index into the project's observations
    std::string kind;            // "direction", "distance", ...
    std::string from, to;
    double residual = 0, w = 0, mdb = 0, redundancy = 0, sd = 0, sdAdjusted = 0;
    bool tested = false, rejected = false;
};

struct RunResults {
    int result = 0;
    std::vector<Message> messages;
    Tavex::_STATISTICS statistics{};
    std::vector<StationResult> stations;
    std::vector<ReadingResult> readings;
};

// Reads the results of an adjustment or design from the records.
RunResults ReadResults(const Project& project, const Records& records, int result,
                       const Tavex::_STATISTICS& statistics);
// Reads only the messages (runs without results in the records).
std::vector<Message> ReadMessages(const Records& records);

} // namespace TavexCli

#endif
