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
    // A side shot: computed after the adjustment from its one record (at
    // that place in the file), hanging on the held station.
    bool sideShot = false;
    std::string heldStation;
    unsigned sideShotRecord = 0;
    std::string sideShotWhere;
};

// What became of a reading.
enum class ReadingState {
    Adjusted,             // its results are in the record (below)
    LeftOut,              // the kernel formed no equation for it (see its warning)
    CombinedWithDistance, // a zenith angle that reduced its distance (2D) or formed a
                          // trigonometric height difference with it (1D)
    InReport,             // adjusted; relations and local coordinates have their results
                          // in the kernel's report only
    SideShot,             // the record of a side shot, computed after the adjustment: its
                          // residual and standard deviations, no redundancy and no test
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

// One group of the variance component analysis (the kernel's group table).
struct VarianceGroupResult {
    unsigned key = 0;        // 0 for network-wide groups, else the observations' variance_group
    unsigned kind = 0;       // 50 terrestrial, 60 GPS, a reading kind 1..19, 35 known
                             // coordinates, 40 other pseudo-observations
    double estimate = 0;     // variance factor σ̂² of the final solution
    double redundancy = 0;   // sum of the group's redundancy numbers
    double factor = 1;       // product of the estimates of all passes
    bool reweighted = false; // the mode divides the group's weights by its factor
};

struct VarianceComponentsResult {
    bool computed = false; // estimates of the final solution exist
    VarianceMode mode = VarianceMode::None;
    int passes = 0;
    std::vector<VarianceGroupResult> groups; // in the kernel's order
};

struct RunResults {
    int result = 0;
    std::vector<Message> messages;
    Tavex::_STATISTICS statistics{};
    std::vector<StationResult> stations;
    std::vector<ReadingResult> readings;
    std::vector<ParameterResult> parameters;
    // From the kernel's result document (result_document.h): the side shots
    // are marked in stations and readings.
    bool documentRead = false;
    VarianceComponentsResult variance;
};

// Reads the results of an adjustment or design from the records, and from
// the result document when the run wrote one and the results need it.
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
