// The pre-run's findings on standard output: readable English, section by
// section, or JSON.
#ifndef TAVEX_CLI_PRERUN_PRINTER_H
#define TAVEX_CLI_PRERUN_PRINTER_H

#include "prerun_results.h"
#include "project_model.h"

#include <cstdio>
#include <string>

namespace TavexCli {

// Configuration defects; repeated observations per check with the
// reference and the contradicting ones ("**"); observations against the
// approximate coordinates; possibly identical observations; possibly
// coinciding stations. A clean section says "nothing found".
void PrintPreRun(std::FILE* out, const Project& project, const PreRunResults& results);

// The same as a JSON object (metres and radians).
std::string PreRunAsJson(const PreRunResults& results);

} // namespace TavexCli

#endif
