// The results of a run as JSON on standard output.
#ifndef TAVEX_CLI_JSON_RESULTS_H
#define TAVEX_CLI_JSON_RESULTS_H

#include "project_model.h"
#include "run_results.h"

#include <string>

namespace TavexCli {

// Coordinates and lengths in metres, angles in radians, as the kernel
// returns them.
std::string ResultsAsJson(const Project& project, const RunResults& results,
                          const std::string& run);

} // namespace TavexCli

#endif
