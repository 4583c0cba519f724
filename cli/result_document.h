// What of an adjustment only the kernel's result document carries: which
// stations are side shots (computed after the adjustment from their one
// record, with the station they hang on) and the table of the variance
// component analysis. The records hand back the side shots' coordinates and
// precision like any station's, but not that they are side shots; the
// variance components they do not hand back at all.
#ifndef TAVEX_CLI_RESULT_DOCUMENT_H
#define TAVEX_CLI_RESULT_DOCUMENT_H

#include "project_model.h"
#include "run_results.h"

#include <string>

namespace TavexCli {

// Whether the results of a successful adjustment need its document: the
// variance components were asked for, or a reading came back the way the
// record of a side shot does (written, with redundancy, W-test and MDB all
// 0; a reading in the network always has an MDB).
bool NeedsResultDocument(const Project& project, const RunResults& results);

// Reads the document the adjustment wrote at path into results: marks the
// side shots among the stations and their readings, and fills the variance
// components. A document that cannot be read or does not fit the project
// raises std::runtime_error naming the path.
void ReadResultDocument(const std::string& path, const Project& project, RunResults& results);

// The file name of the document, the output stem with its extension.
std::string ResultDocumentName(const std::string& outputStem);

// A fresh directory of this process's own under the system's temporary
// directory, removed with everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Whether a group's redundancy makes its estimate mean something (without
// any, the kernel divides rounding noise by 1e-32).
bool HasEstimate(const VarianceGroupResult& group);

// The words of the project file and of --json for a mode, and the name of a
// group's kind ("distance", "terrestrial", ...).
const char* VarianceModeName(VarianceMode mode);
std::string VarianceKindName(unsigned kind);

} // namespace TavexCli

#endif
