// The readable summary of a run on standard output.
#ifndef TAVEX_CLI_SUMMARY_PRINTER_H
#define TAVEX_CLI_SUMMARY_PRINTER_H

#include "project_model.h"
#include "run_results.h"

#include <cstdio>

namespace TavexCli {

// The kernel's messages, each with the station or the place in the file it
// names.
void PrintMessages(std::FILE* out, const std::vector<Message>& messages);
// Adjusted coordinates with standard deviations, the side shots with the
// station each hangs on, the estimated additional parameters, the variance
// components (when the project asks for them), the F-test, the largest
// W-tests with their observations (rejected tests marked "**"), and the
// readings the kernel left out or reports elsewhere.
void PrintAdjustment(std::FILE* out, const Project& project, const RunResults& results);

} // namespace TavexCli

#endif
