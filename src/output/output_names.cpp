#include "output/output_names.h"

#include <string>

namespace Tavex {

namespace {

// Extension of the run's text report; null for the adjustment, which keeps the
// output path, and for a value outside the enumeration.
const wchar_t* ReportExtension(RunKind run) {
    switch (run) {
    case RunKind::PreRun:
        return L".vnk";
    case RunKind::ApproximateCoordinates:
        return L".drm";
    case RunKind::Loops:
        return L".rnd";
    case RunKind::Adjustment:
        break;
    }
    return nullptr;
}

bool IsKnown(RunKind run) {
    return run == RunKind::Adjustment || run == RunKind::PreRun ||
           run == RunKind::ApproximateCoordinates || run == RunKind::Loops;
}

} // namespace

const char* StylesheetName(RunKind run) {
    switch (run) {
    case RunKind::Adjustment:
        return "TAVEXV33.xsl";
    case RunKind::PreRun:
        return "VELNIKV33.xsl";
    case RunKind::ApproximateCoordinates:
        return "DORAMV33.xsl";
    case RunKind::Loops:
        return "RINDELV33.xsl";
    }
    return nullptr;
}

CKZString ReplaceExtension(const CKZString& path, const wchar_t* extension) {
    const std::wstring& text = path.wstr();
    const std::size_t separator = text.find_last_of(L"/\\");
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    const std::size_t dot = text.rfind(L'.');
    const std::size_t stemEnd = (dot != std::wstring::npos && dot >= nameStart) ? dot : text.size();
    return CKZString(text.substr(0, stemEnd) + (extension ? extension : L""));
}

CKZString ReportPath(RunKind run, const CKZString& outputPath) {
    if (!IsKnown(run))
        return CKZString();
    const wchar_t* extension = ReportExtension(run);
    return extension ? ReplaceExtension(outputPath, extension) : outputPath;
}

CKZString DocumentPath(RunKind run, const CKZString& outputPath) {
    if (!IsKnown(run))
        return CKZString();
    const wchar_t* extension = ReportExtension(run);
    if (extension == nullptr)
        return outputPath;
    return ReplaceExtension(outputPath, (std::wstring(extension) + L".xml").c_str());
}

CKZString TemporaryPath(const CKZString& outputPath) {
    return ReplaceExtension(outputPath, L".tmp");
}

} // namespace Tavex
