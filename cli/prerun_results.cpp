#include "prerun_results.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace TavexCli {

namespace {

// The kinds of check block the document holds.
enum CheckKind { kRepeated = 0, kApproximate = 1, kDefects = 2, kCoinciding = 3, kIdentical = 4 };

// The title message of the direction-set series check, which shares its
// row kind (directions) with the check of repeated directions.
constexpr int kSeriesCheckMessage = 341;
constexpr char kSeriesCheckTitle[] = "序列号检核";

// The singularity messages that name a direction set at a station.
constexpr int kStationMessage = 453;
constexpr int kOrientationMessage = 456;

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

std::string Name(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

std::string Text(const xmlNode* element, const char* name) {
    xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

double Number(const xmlNode* element, const char* name) {
    return std::strtod(Text(element, name).c_str(), nullptr);
}

long Integer(const xmlNode* element, const char* name) {
    return std::strtol(Text(element, name).c_str(), nullptr, 10);
}

std::vector<const xmlNode*> Children(const xmlNode* parent, const char* name) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = parent ? parent->children : nullptr; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE && Name(c) == name)
            children.push_back(c);
    return children;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
    const auto children = Children(parent, name);
    return children.empty() ? nullptr : children.front();
}

// The name of station number n (counted from 1), or its number when the
// project has no such station.
std::string StationName(const Project& project, long n) {
    if (n >= 1 && static_cast<std::size_t>(n) <= project.stations.size())
        return project.stations[static_cast<std::size_t>(n) - 1].name;
    return n == 0 ? std::string() : "#" + std::to_string(n);
}

// The place in the file of record number n.
std::string Place(const Project& project, long n) {
    if (n >= 1 && static_cast<std::size_t>(n) <= project.observations.size())
        return project.observations[static_cast<std::size_t>(n) - 1].where;
    return {};
}

// What the repeated observations of a row kind are called.
std::string CheckName(int rowKind, bool series) {
    if (series)
        return "direction sets (orientation of one set against another)";
    static const char* const kNames[] = {
        "observations",  "directions",      "distances",
        "zenith angles", "azimuths",        "height differences",
        "GPS baselines", "GPS coordinates", "trigonometric height differences"};
    return rowKind >= 1 && rowKind <= 8 ? kNames[rowKind] : kNames[0];
}

PreRunObservation ReadObservation(const Project& project, const xmlNode* e) {
    PreRunObservation o;
    const long record = Integer(e, "record");
    o.record = static_cast<unsigned>(record);
    o.where = Place(project, record);
    o.code = Text(e, "code");
    o.rowKind = static_cast<int>(Integer(e, "rowKind"));
    o.from = StationName(project, Integer(e, "stationNumber"));
    o.to = StationName(project, Integer(e, "targetNumber"));
    o.angle = Text(e, "unit") == "rad";
    o.horizontal = Integer(e, "horizontal") != 0;
    o.reading = Number(e, "reading");
    o.error = Number(e, "error");
    o.testValue = Number(e, "testValue");
    o.significant = Integer(e, "significant") != 0;
    o.reference = Integer(e, "reference") != 0;
    return o;
}

// Documents written before the reference was named mark it only by its
// difference of zero to itself: the first such member.
void MarkReference(std::vector<PreRunObservation>& members, const xmlNode* first) {
    if (first != nullptr && !Text(first, "reference").empty())
        return;
    for (PreRunObservation& o : members)
        if (o.testValue == 0.0 && o.error == 0.0) {
            o.reference = true;
            return;
        }
}

// The set number the file gave a direction set at station n: the kernel
// counts each station's sets from its smallest one.
unsigned FileSet(const Project& project, long n, unsigned kernelSet) {
    unsigned smallest = 0;
    bool found = false;
    for (const Observation& o : project.observations) {
        const bool direction = o.kind == ObservationKind::Direction ||
                               (o.kind == ObservationKind::TotalStation && o.direction);
        if (direction && static_cast<long>(o.from) == n && (!found || o.set < smallest)) {
            smallest = o.set;
            found = true;
        }
    }
    return kernelSet + smallest;
}

void ReadCheck(const Project& project, const xmlNode* check, PreRunResults& out) {
    switch (Integer(check, "kind")) {
    case kRepeated: {
        const bool series = Integer(check, "titleMessage") == kSeriesCheckMessage ||
                            Text(check, "title") == kSeriesCheckTitle;
        PreRunGroup group;
        group.check = CheckName(static_cast<int>(Integer(check, "observationKind")), series);
        const auto rows = Children(check, "Observation");
        for (const xmlNode* e : rows)
            group.observations.push_back(ReadObservation(project, e));
        if (!series)
            MarkReference(group.observations, rows.empty() ? nullptr : rows.front());
        out.repeated.push_back(std::move(group));
        break;
    }
    case kApproximate:
        for (const xmlNode* e : Children(check, "Observation"))
            out.approximate.push_back(ReadObservation(project, e));
        break;
    case kDefects:
        for (const xmlNode* e : Children(check, "ConfigurationDefect")) {
            PreRunDefect d;
            d.message = static_cast<int>(Integer(e, "message"));
            d.station = StationName(project, Integer(e, "stationNumber"));
            d.sub = static_cast<unsigned>(Integer(e, "sub"));
            if (d.message == kOrientationMessage || d.message == kStationMessage)
                d.sub = FileSet(project, Integer(e, "stationNumber"), d.sub);
            d.text = Text(e, "text");
            out.defects.push_back(d);
        }
        break;
    case kCoinciding:
        for (const xmlNode* e : Children(check, "Coinciding"))
            out.coinciding.push_back({StationName(project, Integer(e, "stationNumber1")),
                                      StationName(project, Integer(e, "stationNumber2")),
                                      Number(e, "distance")});
        break;
    case kIdentical: {
        std::vector<PreRunRecord> group;
        for (const xmlNode* e : Children(check, "IdenticalObservation")) {
            const long record = Integer(e, "record");
            group.push_back({static_cast<unsigned>(record), Place(project, record),
                             StationName(project, Integer(e, "stationNumber")),
                             StationName(project, Integer(e, "targetNumber"))});
        }
        if (!group.empty())
            out.identical.push_back(std::move(group));
        break;
    }
    default:
        break;
    }
}

} // namespace

PreRunResults ReadPreRunDocument(const std::string& path, const Project& project) {
    Document document(xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOWARNING),
                      xmlFreeDoc);
    if (!document)
        throw std::runtime_error("cannot read the pre-run's result document " + path);
    const xmlNode* root = xmlDocGetRootElement(document.get());
    const xmlNode* prerun = Child(Child(root, "Project"), "Prerun");
    if (prerun == nullptr)
        throw std::runtime_error(path + " is not a pre-run result document");
    PreRunResults out;
    out.design = Integer(prerun, "design") != 0;
    out.criticalW = Number(prerun, "criticalW");
    out.singularityCriterion = Number(prerun, "singularityCriterion");
    for (const xmlNode* check : Children(prerun, "Check"))
        ReadCheck(project, check, out);
    return out;
}

std::string DescribeDefect(const PreRunDefect& d) {
    const std::string station = "station " + d.station + ": ";
    const std::string group = " of group " + std::to_string(d.sub);
    static const char* const kGps[] = {
        "rotation about X",    "rotation about Y",    "rotation about Z",   "scale",
        "translation along X", "translation along Y", "translation along Z"};
    switch (d.message) {
    case 450:
        return station + "horizontal position undetermined";
    case 451:
        return station + "height undetermined";
    case 452:
        return station + "horizontal position and height undetermined";
    case kStationMessage:
    case kOrientationMessage:
        return station + "orientation of direction set " + std::to_string(d.sub) + " undetermined";
    case 454:
        return station + "north deflection of the vertical undetermined";
    case 455:
        return station + "east deflection of the vertical undetermined";
    case 457:
        return "scale factor" + group + " undetermined";
    case 458:
        return "refraction coefficient" + group + " undetermined";
    case 459:
        return "azimuth offset" + group + " undetermined";
    case 467:
        return "additional rotation about the east axis undetermined";
    case 468:
        return "additional rotation about the north axis undetermined";
    default:
        if (d.message >= 460 && d.message <= 466)
            return std::string("GPS transformation: ") + kGps[d.message - 460] + " undetermined";
        return d.text;
    }
}

} // namespace TavexCli
