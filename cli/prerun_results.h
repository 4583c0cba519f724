// What a pre-run found, read out of its result document (stem.vnk.xml) into
// the host's terms: stations by name, observations by their record number
// and their place in the file, values in metres and radians.
#ifndef TAVEX_CLI_PRERUN_RESULTS_H
#define TAVEX_CLI_PRERUN_RESULTS_H

#include "project_model.h"

#include <string>
#include <vector>

namespace TavexCli {

// A parameter or station the observations leave undetermined.
struct PreRunDefect {
    int message = 0;     // the kernel's singularity message, 450 to 468
    std::string station; // the station it names, if any
    unsigned sub = 0;    // direction set, parameter group or GPS parameter
    std::string text;    // the kernel's own text
};

// An observation a check reported.
struct PreRunObservation {
    unsigned record = 0; // counted from 1: observations[record - 1] in the file
    std::string where;   // that place in the file
    std::string code;    // the kernel's short code of the reading
    int rowKind = 0;     // 1 direction ... 8 trigonometric height difference
    std::string from, to;
    bool angle = false;      // reading and error in radians, else metres
    bool horizontal = false; // a distance reduced to the horizontal
    double reading = 0, error = 0, testValue = 0;
    bool significant = false; // "**": differs significantly
    bool reference = false;   // the member the others were compared with
};

// A group of repeated observations of which some contradict each other.
struct PreRunGroup {
    std::string check; // "directions", "direction sets", "distances", ...
    std::vector<PreRunObservation> observations;
};

// One observation record of a group of possibly identical observations.
struct PreRunRecord {
    unsigned record = 0;
    std::string where, from, to;
};

struct PreRunPair {
    std::string first, second;
    double distance = 0; // metres
};

struct PreRunResults {
    bool design = false;
    double criticalW = 0;            // the W-test critical value k
    double singularityCriterion = 0; // DeltaSingular
    std::vector<PreRunDefect> defects;
    std::vector<PreRunGroup> repeated;
    std::vector<PreRunObservation> approximate; // against approximate coordinates (10 k)
    std::vector<std::vector<PreRunRecord>> identical;
    std::vector<PreRunPair> coinciding;
};

// Reads the document at path; throws std::runtime_error naming the file when
// it cannot be read or is not a pre-run document.
PreRunResults ReadPreRunDocument(const std::string& path, const Project& project);

// The English description of a defect, e.g. "station P7: horizontal
// position undetermined".
std::string DescribeDefect(const PreRunDefect& defect);

} // namespace TavexCli

#endif
