#include "run_results.h"

#include "adjustment_frame.h"
#include "result_document.h"

#include <cmath>
#include <cstring>

namespace TavexCli {

namespace {

// The kernel's result document of a run: the output file in the project
// directory, which the kernel gives a separator when it has none.
std::string DocumentPath(const Tavex::_SETTINGS& s) {
    std::string path(s.ProjectDir, strnlen(s.ProjectDir, sizeof s.ProjectDir));
    if (path.empty() || (path.back() != '/' && path.back() != '\\'))
        path += '/';
    return path + std::string(s.OutputFile, strnlen(s.OutputFile, sizeof s.OutputFile));
}

// Reference kinds of a message.
constexpr int kRefStations = 2, kRefObservations = 3;

StationResult ReadStation(const Project& project, std::size_t k, const Tavex::_STATIONADJ& r,
                          bool eastFirst) {
    StationResult s;
    s.name = project.stations[k].name;
    s.known = project.stations[k].known != Known::No;
    s.adjusted = r.CoordStatus == 7 || (project.settings.design && r.CovScale == 1.0);
    s.horizontal = r.CoordClass == 2 || r.CoordClass == 3;
    s.height = r.CoordClass == 1 || r.CoordClass == 3;
    if (project.settings.design) {
        s.horizontal = r.Ellipse[0] > 0.0;
        s.height = r.Cov[5] > 0.0;
    }
    s.first = r.Coord1;
    s.second = r.Coord2;
    s.heightValue = r.Height;
    // Copied out of the packed record before std::max binds a reference.
    const double c11 = r.Cov[0] * r.CovScale, c22 = r.Cov[3] * r.CovScale, c33 = r.Cov[5];
    s.sdNorth = std::sqrt(std::max(eastFirst ? c22 : c11, 0.0));
    s.sdEast = std::sqrt(std::max(eastFirst ? c11 : c22, 0.0));
    s.sdHeight = std::sqrt(std::max(c33, 0.0));
    s.ellipseA = r.Ellipse[0];
    s.ellipseB = r.Ellipse[1];
    s.ellipsePhi = r.Ellipse[2];
    s.tTest = r.TTest;
    return s;
}

} // namespace

std::vector<Message> ReadMessages(const Project& project, const Records& records) {
    std::vector<Message> messages;
    for (const Tavex::_MESSAGE& m : records.settings.Messages()) {
        Message out;
        out.code = m.Code;
        out.error = m.Class == 1;
        out.text = std::string(m.Text, strnlen(m.Text, sizeof m.Text));
        const auto ref = static_cast<std::size_t>(m.Ref);
        if (m.RefKind == kRefStations && ref >= 1 && ref <= project.stations.size())
            out.station = project.stations[ref - 1].name;
        if (m.RefKind == kRefObservations && ref >= 1 && ref <= project.observations.size()) {
            out.record = static_cast<unsigned>(ref);
            out.where = project.observations[ref - 1].where;
        }
        messages.push_back(out);
    }
    return messages;
}

RunResults ReadResults(const Project& project, const Records& records, int result,
                       const Tavex::_STATISTICS& statistics) {
    RunResults out;
    out.result = result;
    out.messages = ReadMessages(project, records);
    std::memcpy(static_cast<void*>(&out.statistics), &statistics, sizeof statistics);
    if (result == 0)
        return out;
    const bool eastFirst = CovarianceEastFirst(project);
    for (std::size_t k = 0; k < project.stations.size(); ++k)
        out.stations.push_back(ReadStation(project, k, records.stations[k], eastFirst));
    out.readings = ReadReadings(project, records, out.messages, statistics.CriticalW);
    if (!project.settings.design)
        out.parameters = ReadParameters(records, statistics);
    if (records.settings->ReportSwitch[Tavex::REPORT_OUTPUT_FORM] == 2 &&
        NeedsResultDocument(project, out))
        ReadResultDocument(DocumentPath(*records.settings), project, out);
    return out;
}

} // namespace TavexCli
