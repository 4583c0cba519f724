// What the loop search found, read out of its result document
// (stem.rnd.xml), and how it is printed: per kind of loop the loops with
// their stations by name, length, misclosures, standard deviations and test
// values, the worst first, flagged ones marked "**".
#ifndef TAVEX_CLI_LOOP_RESULTS_H
#define TAVEX_CLI_LOOP_RESULTS_H

#include "project_model.h"

#include <cstdio>
#include <string>
#include <vector>

namespace TavexCli {

struct LoopMisclosure {
    std::string name; // dx, dy, dz, north, east, up, easting, northing, angle, height
    double value = 0, sd = 0, test = 0; // metres, or radians for the angle
    bool angle = false, flagged = false;
};

struct Loop {
    int kind = 0;                          // 1, 2, 3 traverse, 5 height, 6 GPS, 8 trigonometric
    std::vector<std::string> stations;     // in loop order, the first not repeated
    std::vector<std::string> withoutAngle; // traverse stations without an angle
    double length = 0;                     // metres
    double tolerance = 0;                  // height loops: k σ (metres)
    bool hasTolerance = false, flagged = false;
    std::vector<LoopMisclosure> misclosures;
    // The largest |test value|, which orders the loops worst first.
    double Worst() const;
};

struct LoopKind {
    std::string family;      // gps, traverse, height, trigonometric
    std::vector<Loop> loops; // worst first
};

struct LoopResults {
    double criticalValue = 0;
    std::vector<LoopKind> kinds; // the kinds examined, in the run's order
};

// Reads the document at path; throws std::runtime_error naming the file when
// it cannot be read or does not fit the project.
LoopResults ReadLoopDocument(const std::string& path, const Project& project);

void PrintLoops(std::FILE* out, const Project& project, const LoopResults& results);
// The same as a JSON object (metres and radians).
std::string LoopsAsJson(const LoopResults& results);

} // namespace TavexCli

#endif
