#include "loop_results.h"

#include "angle_text.h"
#include "document_reader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace TavexCli {

namespace {

const char* Heading(const std::string& family) {
    if (family == "gps")
        return "GPS baseline loops";
    if (family == "traverse")
        return "Direction and distance loops";
    if (family == "height")
        return "Height difference loops";
    return "Zenith angle and distance loops";
}

Loop ReadLoop(const DocumentReader& d, const xmlNode* node, const Project& project) {
    Loop loop;
    loop.kind = static_cast<int>(d.Whole(node, "kind"));
    loop.length = d.Real(node, "length");
    loop.hasTolerance = d.Flag(node, "hasTolerance");
    loop.tolerance = d.Real(node, "tolerance");
    loop.flagged = d.Flag(node, "rejected");
    for (const xmlNode* s : DocumentReader::Children(node, "LoopStation")) {
        const std::size_t number = d.Number(s, "stationNumber", project.stations.size());
        loop.stations.push_back(project.stations[number - 1].name);
        if (!d.Flag(s, "angle"))
            loop.withoutAngle.push_back(loop.stations.back());
    }
    if (loop.stations.size() < 3)
        d.Fail("a loop with fewer than three stations");
    for (const xmlNode* m : DocumentReader::Children(node, "Misclosure")) {
        LoopMisclosure misclosure;
        misclosure.name = d.Attribute(m, "name");
        misclosure.value = d.Real(m, "value");
        misclosure.sd = d.Real(m, "sd");
        misclosure.test = d.Real(m, "test");
        misclosure.flagged = d.Flag(m, "rejected");
        misclosure.angle = d.Attribute(m, "unit") == "rad";
        loop.misclosures.push_back(misclosure);
    }
    return loop;
}

// A misclosure in the project's units: lengths in the length unit, angles
// in milligon or arc seconds.
std::string ValueText(const Settings& s, double value, bool angle) {
    char text[48];
    if (angle) {
        const bool gon = s.angleUnit == AngleUnit::Gon;
        const double small = gon ? value * 200.0 / std::numbers::pi * 1000.0
                                 : value * 180.0 / std::numbers::pi * 3600.0;
        std::snprintf(text, sizeof text, "%9.1f %-4s", small, gon ? "mgon" : "\"");
    } else {
        std::snprintf(text, sizeof text, "%10.4f %-4s", value * s.lengthFactor,
                      s.lengthUnit.c_str());
    }
    return text;
}

} // namespace

double Loop::Worst() const {
    double worst = 0;
    for (const LoopMisclosure& m : misclosures)
        worst = std::max(worst, std::fabs(m.test));
    return worst;
}

LoopResults ReadLoopDocument(const std::string& path, const Project& project) {
    const DocumentReader d(path);
    const xmlNode* root = DocumentReader::Child(d.Project(), "Loops");
    if (root == nullptr)
        d.Fail("no Loops element");
    LoopResults results;
    results.criticalValue = d.Real(root, "criticalW");
    for (const xmlNode* k : DocumentReader::Children(root, "LoopKind")) {
        LoopKind kind;
        kind.family = d.Attribute(k, "family");
        for (const xmlNode* l : DocumentReader::Children(k, "Loop"))
            kind.loops.push_back(ReadLoop(d, l, project));
        // Worst first; loops of equal worst keep the run's order.
        std::stable_sort(kind.loops.begin(), kind.loops.end(),
                         [](const Loop& a, const Loop& b) { return a.Worst() > b.Worst(); });
        results.kinds.push_back(std::move(kind));
    }
    return results;
}

void PrintLoops(std::FILE* out, const Project& project, const LoopResults& results) {
    const Settings& s = project.settings;
    std::fprintf(out, "\nLoop misclosures (critical value of the test %.2f; \"**\" beyond it)\n",
                 results.criticalValue);
    for (const LoopKind& kind : results.kinds) {
        std::fprintf(out, "\n%s: %zu\n", Heading(kind.family), kind.loops.size());
        if (kind.loops.empty()) {
            std::fprintf(out, "  no loops found\n");
            continue;
        }
        int number = 0;
        for (const Loop& loop : kind.loops) {
            std::string stations;
            for (std::size_t i = 0; i <= loop.stations.size(); ++i)
                stations += (i ? " - " : "") + loop.stations[i % loop.stations.size()];
            std::fprintf(out, "  %s%d  %s\n", loop.flagged ? "** " : "   ", ++number,
                         stations.c_str());
            std::fprintf(out, "       length %.3f %s", loop.length * s.lengthFactor,
                         s.lengthUnit.c_str());
            if (loop.hasTolerance)
                std::fprintf(out, ", tolerance %s", ValueText(s, loop.tolerance, false).c_str());
            std::fprintf(out, "\n");
            for (const std::string& name : loop.withoutAngle)
                std::fprintf(out, "       no angle at %s\n", name.c_str());
            if (loop.misclosures.empty())
                std::fprintf(out, "       no misclosure: two or more stations without angle\n");
            for (const LoopMisclosure& m : loop.misclosures)
                std::fprintf(out, "       %-9s %s  sd %s  test %7.2f%s\n", m.name.c_str(),
                             ValueText(s, m.value, m.angle).c_str(),
                             ValueText(s, m.sd, m.angle).c_str(), m.test, m.flagged ? " **" : "");
        }
    }
}

std::string LoopsAsJson(const LoopResults& results) {
    nlohmann::json root;
    root["critical_value"] = results.criticalValue;
    root["kinds"] = nlohmann::json::array();
    for (const LoopKind& kind : results.kinds) {
        nlohmann::json k;
        k["family"] = kind.family;
        k["loops"] = nlohmann::json::array();
        for (const Loop& loop : kind.loops) {
            nlohmann::json l;
            l["kind"] = loop.kind;
            l["stations"] = loop.stations;
            l["length"] = loop.length;
            l["flagged"] = loop.flagged;
            if (loop.hasTolerance)
                l["tolerance"] = loop.tolerance;
            if (!loop.withoutAngle.empty())
                l["stations_without_angle"] = loop.withoutAngle;
            l["misclosures"] = nlohmann::json::array();
            for (const LoopMisclosure& m : loop.misclosures)
                l["misclosures"].push_back({{"name", m.name},
                                            {"value", m.value},
                                            {"sd", m.sd},
                                            {"test", m.test},
                                            {"unit", m.angle ? "rad" : "m"},
                                            {"flagged", m.flagged}});
            k["loops"].push_back(l);
        }
        root["kinds"].push_back(k);
    }
    return root.dump();
}

} // namespace TavexCli
