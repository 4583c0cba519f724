// Names of the files a run leaves next to the project, all derived from the
// project's output path, and of the stylesheet each result document names.
//
//   run                      stylesheet       text report   result document
//   Adjustment               TAVEXV33.xsl     output path   output path
//   PreRun                   VELNIKV33.xsl    .vnk          .vnk.xml
//   ApproximateCoordinates   DORAMV33.xsl     .drm          .drm.xml
//   Loops                    RINDELV33.xsl    .rnd          .rnd.xml
//
// Extension rule: the extension of a path is what follows the last '.' of its
// file-name part (the text after the last '/' or '\'), dot included. It is
// replaced; a file name without a dot gets the new extension appended. So
// "net.out" -> "net.vnk", "net" -> "net.vnk", "a.b/net" -> "a.b/net.vnk",
// "net.v2.out" -> "net.v2.vnk", and ".out" -> ".vnk" (a leading dot counts).
#ifndef TAVEX_OUTPUT_OUTPUT_NAMES_H
#define TAVEX_OUTPUT_OUTPUT_NAMES_H

#include "geodesy/kz_string.h"

namespace Tavex {

enum class RunKind { Adjustment, PreRun, ApproximateCoordinates, Loops };

// File name of the stylesheet the run's document refers to; null for a value
// outside the enumeration.
const char* StylesheetName(RunKind run);
// path with its extension replaced by extension (which starts with '.'), by
// the rule above.
CKZString ReplaceExtension(const CKZString& path, const wchar_t* extension);
// Path of the run's text report; empty for a value outside the enumeration.
CKZString ReportPath(RunKind run, const CKZString& outputPath);
// Path of the run's result document; empty for a value outside the
// enumeration.
CKZString DocumentPath(RunKind run, const CKZString& outputPath);
// Path of the intermediate file of a run: extension ".tmp".
CKZString TemporaryPath(const CKZString& outputPath);

} // namespace Tavex

#endif
