#include "summary_printer.h"

#include "angle_text.h"
#include "result_document.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace TavexCli {

namespace {

constexpr std::size_t kLargestTests = 10;

// The width of the observation column: room for the longest kind listed
// ("trigonometric_height_difference" only when there is one).
int KindWidth(const std::vector<const ReadingResult*>& listed) {
    std::size_t width = 18;
    for (const ReadingResult* r : listed)
        width = std::max(width, r->kind.size());
    return static_cast<int>(width);
}

// The station's name, coordinates and standard deviations, without the end
// of the line.
void PrintCoordinates(std::FILE* out, const Project& project, std::size_t k,
                      const StationResult& r) {
    const Settings& s = project.settings;
    const double f = s.lengthFactor;
    std::fprintf(out, "  %-16s ", r.name.c_str());
    if (project.stations[k].geographic) {
        // About 0.1 mm on the ground.
        const int decimals = s.angleUnit == AngleUnit::Dms ? 5 : 9;
        const std::string lat = FormatAngle(r.first, s.angleUnit, decimals);
        const std::string lon = FormatAngle(r.second, s.angleUnit, decimals);
        std::fprintf(out, "%15s %15s", lat.c_str(), lon.c_str());
    } else {
        std::fprintf(out, "%15.4f %15.4f", r.first * f, r.second * f);
    }
    std::fprintf(out, " %12.4f", r.heightValue * f);
    if (r.horizontal)
        std::fprintf(out, " %8.4f %8.4f", r.sdNorth * f, r.sdEast * f);
    else
        std::fprintf(out, " %8s %8s", "", "");
    if (r.height)
        std::fprintf(out, " %8.4f", r.sdHeight * f);
    else if (r.sideShot)
        std::fprintf(out, " %8s", "");
}

void PrintCoordinateHeading(std::FILE* out, const char* more) {
    std::fprintf(out, "  %-16s %15s %15s %12s %8s %8s %8s%s\n", "station", "east/lat", "north/lon",
                 "height", "sd N", "sd E", "sd h", more);
}

void PrintStations(std::FILE* out, const Project& project, const RunResults& results) {
    const Settings& s = project.settings;
    std::fprintf(out, "\n%s coordinates (%s)\n", s.design ? "Design: precision of the" : "Adjusted",
                 s.lengthUnit.c_str());
    PrintCoordinateHeading(out, "");
    for (std::size_t k = 0; k < results.stations.size(); ++k) {
        const StationResult& r = results.stations[k];
        if (r.sideShot)
            continue;
        PrintCoordinates(out, project, k, r);
        std::fprintf(out, "%s\n", r.known ? "  known" : "");
    }
}

// Side shots: left out of the adjustment and computed after it from their
// one record, with the station they hang on held at its adjusted position.
void PrintSideShots(std::FILE* out, const Project& project, const RunResults& results) {
    bool any = false;
    for (const StationResult& r : results.stations)
        any = any || r.sideShot;
    if (!any)
        return;
    std::fprintf(out,
                 "\nSide shots (%s), computed after the adjustment from their one record; "
                 "nothing controls them\n",
                 project.settings.lengthUnit.c_str());
    PrintCoordinateHeading(out, "  from              in the file");
    for (std::size_t k = 0; k < results.stations.size(); ++k) {
        const StationResult& r = results.stations[k];
        if (!r.sideShot)
            continue;
        PrintCoordinates(out, project, k, r);
        std::fprintf(out, "  %-16s  %s\n", r.heldStation.c_str(), r.sideShotWhere.c_str());
    }
}

// The group of the variance component analysis as a reader names it.
std::string GroupName(const VarianceGroupResult& g) {
    std::string kind = VarianceKindName(g.kind);
    if (kind == "gps")
        kind = "GPS";
    return g.key == 0 ? kind : "variance_group " + std::to_string(g.key) + " " + kind;
}

// The estimated variance factors of the final solution per group, with the
// cumulative factor of the groups the mode re-weights: the factor by which
// their a-priori variances were too small. A group without redundancy has
// no estimate.
void PrintVarianceComponents(std::FILE* out, const Project& project, const RunResults& results) {
    const VarianceComponentsResult& v = results.variance;
    if (project.settings.varianceMode == VarianceMode::None || !v.computed)
        return;
    std::fprintf(out, "\nVariance components (%s, %d re-weighting pass%s)\n",
                 VarianceModeName(v.mode), v.passes, v.passes == 1 ? "" : "es");
    std::fprintf(out, "  %-40s %10s %11s %10s\n", "group", "estimate", "redundancy", "factor");
    for (const VarianceGroupResult& g : v.groups) {
        std::fprintf(out, "  %-40s ", GroupName(g).c_str());
        if (HasEstimate(g))
            std::fprintf(out, "%10.3f", g.estimate);
        else
            std::fprintf(out, "%10s", "-");
        std::fprintf(out, " %11.1f", g.redundancy);
        if (g.reweighted)
            std::fprintf(out, " %10.3f\n", g.factor);
        else
            std::fprintf(out, " %10s\n", "-");
    }
}

// A parameter's value and standard deviation in the file's units: angles in
// the angle unit, the GPS scale difference in ppm, translations in the
// length unit.
std::string ParameterText(const Settings& s, const ParameterResult& p, double value) {
    char text[96];
    const bool angle =
        p.kind == "azimuth_offset" || (p.kind == "gps_transformation" && p.group <= 3);
    if (angle)
        return FormatAngle(value, s.angleUnit, s.angleUnit == AngleUnit::Dms ? 2 : 6);
    if (p.kind == "gps_transformation" && p.group == 4)
        std::snprintf(text, sizeof text, "%.4f ppm", value * 1e6);
    else if (p.kind == "gps_transformation")
        std::snprintf(text, sizeof text, "%.4f %s", value * s.lengthFactor, s.lengthUnit.c_str());
    else
        std::snprintf(text, sizeof text, "%.8f", value);
    return text;
}

void PrintParameters(std::FILE* out, const Project& project, const RunResults& results) {
    if (results.parameters.empty())
        return;
    const Settings& s = project.settings;
    std::fprintf(out, "\nAdditional parameters (angles in %s)\n", UnitName(s.angleUnit));
    std::fprintf(out, "  %-34s %20s %20s\n", "parameter", "value", "sd");
    for (const ParameterResult& p : results.parameters) {
        const std::string name = p.kind == "gps_transformation"
                                     ? "GPS transformation " + p.name
                                     : p.kind + " group " + std::to_string(p.group);
        const std::string sd =
            p.use == GpsParameterUse::Fixed ? "fixed" : ParameterText(s, p, p.sd);
        std::fprintf(out, "  %-34s %20s %20s%s\n", name.c_str(),
                     ParameterText(s, p, p.value).c_str(), sd.c_str(),
                     p.use == GpsParameterUse::Weighted ? "  weighted" : "");
    }
}

void PrintTests(std::FILE* out, const RunResults& results) {
    const Tavex::_STATISTICS& st = results.statistics;
    std::fprintf(out, "\nDegrees of freedom %d, iterations %d\n", +st.DegreesOfFreedom,
                 +st.Iterations);
    if (st.DegreesOfFreedom > 0) {
        const bool rejected = st.FTest > st.CriticalF;
        std::fprintf(out, "F-test %.3f (critical value %.3f)%s\n", +st.FTest, +st.CriticalF,
                     rejected ? "  ** rejected" : "  accepted");
    }
    std::vector<const ReadingResult*> tested;
    for (const ReadingResult& r : results.readings)
        if (r.state == ReadingState::Adjusted)
            tested.push_back(&r);
    std::stable_sort(tested.begin(), tested.end(),
                     [](const ReadingResult* a, const ReadingResult* b) {
                         return std::fabs(a->w) > std::fabs(b->w);
                     });
    if (tested.empty())
        return;
    tested.resize(std::min(tested.size(), kLargestTests));
    const int width = KindWidth(tested);
    std::fprintf(out, "\nLargest W-tests (critical value %.2f)\n", +st.CriticalW);
    std::fprintf(out, "  %-*s %-16s %-16s %9s %7s     %s\n", width, "observation", "from", "to",
                 "W", "red %", "in the file");
    for (const ReadingResult* r : tested)
        std::fprintf(out, "  %-*s %-16s %-16s %9.2f %7.0f %3s  %s\n", width, r->kind.c_str(),
                     r->from.c_str(), r->to.c_str(), r->w, r->redundancy, r->rejected ? "**" : "",
                     r->where.c_str());
}

// Readings without results in the records: left out, or adjusted with
// their results in the kernel's report.
void PrintOtherReadings(std::FILE* out, const RunResults& results, ReadingState state,
                        const char* title) {
    std::vector<const ReadingResult*> listed;
    for (const ReadingResult& r : results.readings)
        if (r.state == state)
            listed.push_back(&r);
    if (listed.empty())
        return;
    const int width = KindWidth(listed);
    std::fprintf(out, "\n%s\n", title);
    for (const ReadingResult* r : listed)
        std::fprintf(out, "  %-*s %-16s %-16s %s\n", width, r->kind.c_str(), r->from.c_str(),
                     r->to.c_str(), r->where.c_str());
}

} // namespace

void PrintMessages(std::FILE* out, const std::vector<Message>& messages) {
    for (const Message& m : messages) {
        std::fprintf(out, "%s %d: %s", m.error ? "error" : "warning", m.code, m.text.c_str());
        if (!m.where.empty())
            std::fprintf(out, "  [%s]", m.where.c_str());
        else if (!m.station.empty())
            std::fprintf(out, "  [station %s]", m.station.c_str());
        std::fputc('\n', out);
    }
}

void PrintAdjustment(std::FILE* out, const Project& project, const RunResults& results) {
    PrintStations(out, project, results);
    PrintSideShots(out, project, results);
    PrintParameters(out, project, results);
    PrintVarianceComponents(out, project, results);
    if (!project.settings.design)
        PrintTests(out, results);
    PrintOtherReadings(out, results, ReadingState::LeftOut,
                       "Left out by the kernel (see its warnings)");
    PrintOtherReadings(out, results, ReadingState::InReport,
                       "Adjusted, with their results in the kernel's report");
}

} // namespace TavexCli
