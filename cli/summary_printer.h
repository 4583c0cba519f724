// The readable summary of a run on standard output.
#ifndef TAVEX_CLI_SUMMARY_PRINTER_H
#define TAVEX_CLI_SUMMARY_PRINTER_H

#include "project_model.h"
#include "run_results.h"

#include <cstdio>

namespace TavexCli {

void PrintMessages(std::FILE* out, const std::vector<Message>& messages);
// Adjusted coordinates with standard deviations, the F-test, the largest
// W-tests with their observations, rejected tests marked "**".
void PrintAdjustment(std::FILE* out, const Project& project, const RunResults& results);

} // namespace TavexCli

#endif
