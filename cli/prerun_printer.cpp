#include "prerun_printer.h"

#include "angle_text.h"

#include <nlohmann/json.hpp>

#include <numbers>

namespace TavexCli {

namespace {

constexpr char kNothingFound[] = "  nothing found\n";

// Differences of angles in a unit small enough to read: milligon for gon,
// arc seconds for degrees and d-m-s.
double SmallAngle(double radians, AngleUnit unit) {
    const double gon = radians * 200.0 / std::numbers::pi;
    return unit == AngleUnit::Gon ? gon * 1000.0 : radians * 180.0 / std::numbers::pi * 3600.0;
}

const char* SmallAngleName(AngleUnit unit) {
    return unit == AngleUnit::Gon ? "mgon" : "\"";
}

std::string ReadingText(const Settings& s, const PreRunObservation& o) {
    char text[64];
    if (o.angle)
        return FormatAngle(o.reading, s.angleUnit, s.angleUnit == AngleUnit::Dms ? 1 : 5);
    std::snprintf(text, sizeof text, "%.4f %s", o.reading * s.lengthFactor, s.lengthUnit.c_str());
    return text;
}

// The difference: angles in mgon or arc seconds, lengths in millimetres of
// the length unit.
std::string ErrorText(const Settings& s, const PreRunObservation& o) {
    char text[64];
    if (o.angle)
        std::snprintf(text, sizeof text, "%.1f %s", SmallAngle(o.error, s.angleUnit),
                      SmallAngleName(s.angleUnit));
    else
        std::snprintf(text, sizeof text, "%.1f m%s", o.error * s.lengthFactor * 1000.0,
                      s.lengthUnit.c_str());
    return text;
}

void PrintObservationHeader(std::FILE* out) {
    std::fprintf(out, "    %-20s %-4s %-16s %-16s %18s %14s %8s\n", "in the file", "code", "from",
                 "to", "reading", "difference", "w");
}

void PrintObservation(std::FILE* out, const Settings& s, const PreRunObservation& o,
                      const char* note) {
    const std::string reading = ReadingText(s, o) + (o.horizontal ? " (horiz.)" : "");
    std::fprintf(out, "    %-20s %-4s %-16s %-16s %18s %14s %8.2f  %s\n", o.where.c_str(),
                 o.code.c_str(), o.from.c_str(), o.to.c_str(), reading.c_str(),
                 ErrorText(s, o).c_str(), o.testValue, note);
}

void PrintDefects(std::FILE* out, const PreRunResults& r) {
    std::fprintf(out, "\nConfiguration defects (singularity criterion %.1e)\n",
                 r.singularityCriterion);
    if (r.defects.empty())
        std::fputs(kNothingFound, out);
    for (const PreRunDefect& d : r.defects)
        std::fprintf(out, "  %s\n", DescribeDefect(d).c_str());
}

void PrintRepeated(std::FILE* out, const Settings& s, const PreRunResults& r) {
    std::fprintf(out, "\nRepeated observations that contradict each other (critical value %.2f)\n",
                 r.criticalW);
    if (r.design) {
        std::fputs("  not checked in a design\n", out);
        return;
    }
    if (r.repeated.empty())
        std::fputs(kNothingFound, out);
    for (const PreRunGroup& g : r.repeated) {
        std::fprintf(out, "  %s\n", g.check.c_str());
        PrintObservationHeader(out);
        for (const PreRunObservation& o : g.observations)
            PrintObservation(out, s, o, o.significant ? "**" : (o.reference ? "reference" : ""));
    }
}

void PrintApproximate(std::FILE* out, const Settings& s, const PreRunResults& r) {
    std::fprintf(out, "\nObservations against the approximate coordinates (critical value %.2f)\n",
                 10.0 * r.criticalW);
    if (r.design) {
        std::fputs("  not checked in a design\n", out);
        return;
    }
    if (r.approximate.empty()) {
        std::fputs(kNothingFound, out);
        return;
    }
    PrintObservationHeader(out);
    for (const PreRunObservation& o : r.approximate)
        PrintObservation(out, s, o, "**");
}

void PrintIdentical(std::FILE* out, const PreRunResults& r) {
    std::fputs("\nPossibly identical observations\n", out);
    if (r.design) {
        std::fputs("  not checked in a design\n", out);
        return;
    }
    if (r.identical.empty())
        std::fputs(kNothingFound, out);
    for (std::size_t g = 0; g < r.identical.size(); ++g) {
        std::fprintf(out, "  group %zu\n", g + 1);
        for (const PreRunRecord& record : r.identical[g])
            std::fprintf(out, "    %-20s %-16s %-16s\n", record.where.c_str(), record.from.c_str(),
                         record.to.c_str());
    }
}

void PrintCoinciding(std::FILE* out, const Project& project, const PreRunResults& r) {
    const Settings& s = project.settings;
    std::fprintf(out, "\nPossibly coinciding stations (closer than %.1f %s)\n",
                 2.0 * s.lengthFactor, s.lengthUnit.c_str());
    if (s.dimension == 1) {
        std::fputs("  not checked in a levelling network\n", out);
        return;
    }
    if (r.coinciding.empty())
        std::fputs(kNothingFound, out);
    for (const PreRunPair& p : r.coinciding)
        std::fprintf(out, "  %-16s %-16s %10.4f %s\n", p.first.c_str(), p.second.c_str(),
                     p.distance * s.lengthFactor, s.lengthUnit.c_str());
}

using nlohmann::json;

json ObservationJson(const PreRunObservation& o) {
    return {{"record", o.record},      {"where", o.where},
            {"code", o.code},          {"row_kind", o.rowKind},
            {"from", o.from},          {"to", o.to},
            {"angle", o.angle},        {"horizontal", o.horizontal},
            {"reading", o.reading},    {"difference", o.error},
            {"w", o.testValue},        {"significant", o.significant},
            {"reference", o.reference}};
}

} // namespace

void PrintPreRun(std::FILE* out, const Project& project, const PreRunResults& r) {
    PrintDefects(out, r);
    PrintRepeated(out, project.settings, r);
    PrintApproximate(out, project.settings, r);
    PrintIdentical(out, r);
    PrintCoinciding(out, project, r);
}

std::string PreRunAsJson(const PreRunResults& r) {
    json root;
    root["design"] = r.design;
    root["critical_value"] = r.criticalW;
    root["singularity_criterion"] = r.singularityCriterion;
    json defects = json::array();
    for (const PreRunDefect& d : r.defects) {
        json j = {{"message", d.message}, {"description", DescribeDefect(d)}, {"text", d.text}};
        if (!d.station.empty())
            j["station"] = d.station;
        if (d.sub != 0)
            j["sub"] = d.sub;
        defects.push_back(j);
    }
    root["configuration_defects"] = defects;
    json repeated = json::array();
    for (const PreRunGroup& g : r.repeated) {
        json members = json::array();
        for (const PreRunObservation& o : g.observations)
            members.push_back(ObservationJson(o));
        repeated.push_back({{"check", g.check}, {"observations", members}});
    }
    root["repeated_observations"] = repeated;
    json approximate = json::array();
    for (const PreRunObservation& o : r.approximate)
        approximate.push_back(ObservationJson(o));
    root["approximate_coordinates"] = approximate;
    json identical = json::array();
    for (const auto& group : r.identical) {
        json records = json::array();
        for (const PreRunRecord& record : group)
            records.push_back({{"record", record.record},
                               {"where", record.where},
                               {"from", record.from},
                               {"to", record.to}});
        identical.push_back(records);
    }
    root["identical_observations"] = identical;
    json coinciding = json::array();
    for (const PreRunPair& p : r.coinciding)
        coinciding.push_back({{"first", p.first}, {"second", p.second}, {"distance", p.distance}});
    root["coinciding_stations"] = coinciding;
    return root.dump(2);
}

} // namespace TavexCli
