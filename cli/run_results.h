// What came back from a run, read out of the kernel's records into the
// host's terms: stations by name, observations by their record number and
// their place in the file.
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
    // What the message names: a station (its name) or an observation (its
    // record number, counted from 1, and its place in the file).
    std::string station;
    unsigned record = 0;
    std::string where;
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

// What became of a reading.
enum class ReadingState {
    Adjusted,             // its results are in the record (below)
    LeftOut,              // the kernel formed no equation for it (see its warning)
    CombinedWithDistance, // a zenith angle that reduced its distance (2D) or formed a
                          // trigonometric height difference with it (1D)
    InReport,             // adjusted; relations and local coordinates have their results
                          // in the kernel's report only
};
const char* StateName(ReadingState state);

// One reading with its results.
struct ReadingResult {
    unsigned record = 0; // record number, counted from 1: observations[record - 1] in the file
    std::string where;   // that place in the file
    std::string kind;    // "direction", "distance", ...
    std::string from, to;
    ReadingState state = ReadingState::Adjusted;
    // Only when adjusted:
    double residual = 0, w = 0, mdb = 0, redundancy = 0, sd = 0, sdAdjusted = 0;
    bool rejected = false;
};

// An estimated additional parameter: a scale factor, refraction coefficient
// or azimuth offset of a group, or a GPS transformation parameter.
struct ParameterResult {
    std::string kind; // "scale", "refraction", "azimuth_offset", "gps_transformation"
    int group = 0;    // the group 0..9, or the GPS sub-code 1..7
    std::string name; // the GPS parameter's name
    // Unitless (scale factor, refraction coefficient, GPS scale
    // difference), radians (offsets, rotations) or metres (translations).
    double value = 0, sd = 0;
    GpsParameterUse use = GpsParameterUse::Estimated; // fixed ones have no sd
};

struct RunResults {
    int result = 0;
    std::vector<Message> messages;
    Tavex::_STATISTICS statistics{};
    std::vector<StationResult> stations;
    std::vector<ReadingResult> readings;
    std::vector<ParameterResult> parameters;
};

// Reads the results of an adjustment or design from the records.
RunResults ReadResults(const Project& project, const Records& records, int result,
                       const Tavex::_STATISTICS& statistics);
// Reads only the messages (runs without results in the records).
std::vector<Message> ReadMessages(const Project& project, const Records& records);

// The parts of ReadResults (reading_results.cpp, parameter_results.cpp).
std::vector<ReadingResult> ReadReadings(const Project& project, const Records& records,
                                        const std::vector<Message>& messages, double criticalW);
std::vector<ParameterResult> ReadParameters(const Records& records,
                                            const Tavex::_STATISTICS& statistics);

} // namespace TavexCli

#endif
