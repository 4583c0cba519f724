#include "prerun_results.h"

#include "document_reader.h"

namespace TavexCli {

namespace {

// The kinds of check block the document holds.
enum CheckKind { kRepeated = 0, kApproximate = 1, kDefects = 2, kCoinciding = 3, kIdentical = 4 };

// The title message of the direction-set series check, which shares its
// row kind (directions) with the check of repeated directions.
constexpr int kSeriesCheckMessage = 341;

// The singularity messages that name a direction set at a station.
constexpr int kStationMessage = 453;
constexpr int kOrientationMessage = 456;

// The name of the station an attribute numbers; empty for none (0).
std::string StationName(const DocumentReader& in, const Project& project, const xmlNode* e,
                        const char* attribute) {
    const std::size_t n = in.NumberOrNone(e, attribute, project.stations.size());
    return n == 0 ? std::string() : project.stations[n - 1].name;
}

// The record an attribute numbers and its place in the file.
PreRunRecord Record(const DocumentReader& in, const Project& project, const xmlNode* e) {
    PreRunRecord r;
    r.record = static_cast<unsigned>(in.Number(e, "record", project.observations.size()));
    r.where = project.observations[r.record - 1].where;
    r.from = StationName(in, project, e, "stationNumber");
    r.to = StationName(in, project, e, "targetNumber");
    return r;
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

PreRunObservation ReadObservation(const DocumentReader& in, const Project& project,
                                  const xmlNode* e) {
    PreRunObservation o;
    const PreRunRecord r = Record(in, project, e);
    o.record = r.record;
    o.where = r.where;
    o.from = r.from;
    o.to = r.to;
    o.code = in.Attribute(e, "code");
    o.rowKind = static_cast<int>(in.Whole(e, "rowKind"));
    o.angle = in.Attribute(e, "unit") == "rad";
    o.horizontal = in.Flag(e, "horizontal");
    o.reading = in.Real(e, "reading");
    o.error = in.Real(e, "error");
    o.testValue = in.Real(e, "testValue");
    o.significant = in.Flag(e, "significant");
    o.reference = in.Flag(e, "reference");
    return o;
}

// The set number the file gave a direction set at station n: the kernel
// counts each station's sets from its smallest one.
unsigned FileSet(const Project& project, long long n, unsigned kernelSet) {
    unsigned smallest = 0;
    bool found = false;
    for (const Observation& o : project.observations) {
        const bool direction = o.kind == ObservationKind::Direction ||
                               (o.kind == ObservationKind::TotalStation && o.direction);
        if (direction && static_cast<long long>(o.from) == n && (!found || o.set < smallest)) {
            smallest = o.set;
            found = true;
        }
    }
    return kernelSet + smallest;
}

void ReadCheck(const DocumentReader& in, const Project& project, const xmlNode* check,
               PreRunResults& out) {
    switch (in.Whole(check, "kind")) {
    case kRepeated: {
        PreRunGroup group;
        group.check = CheckName(static_cast<int>(in.Whole(check, "observationKind")),
                                in.Whole(check, "titleMessage") == kSeriesCheckMessage);
        for (const xmlNode* e : DocumentReader::Children(check, "Observation"))
            group.observations.push_back(ReadObservation(in, project, e));
        out.repeated.push_back(std::move(group));
        break;
    }
    case kApproximate:
        for (const xmlNode* e : DocumentReader::Children(check, "Observation"))
            out.approximate.push_back(ReadObservation(in, project, e));
        break;
    case kDefects:
        for (const xmlNode* e : DocumentReader::Children(check, "ConfigurationDefect")) {
            PreRunDefect d;
            d.message = static_cast<int>(in.Whole(e, "message"));
            d.station = StationName(in, project, e, "stationNumber");
            d.sub = static_cast<unsigned>(in.Whole(e, "sub"));
            if (d.message == kOrientationMessage || d.message == kStationMessage)
                d.sub = FileSet(project, in.Whole(e, "stationNumber"), d.sub);
            d.text = in.Attribute(e, "text");
            out.defects.push_back(d);
        }
        break;
    case kCoinciding:
        for (const xmlNode* e : DocumentReader::Children(check, "Coinciding"))
            out.coinciding.push_back({StationName(in, project, e, "stationNumber1"),
                                      StationName(in, project, e, "stationNumber2"),
                                      in.Real(e, "distance")});
        break;
    case kIdentical: {
        std::vector<PreRunRecord> group;
        for (const xmlNode* e : DocumentReader::Children(check, "IdenticalObservation"))
            group.push_back(Record(in, project, e));
        if (!group.empty())
            out.identical.push_back(std::move(group));
        break;
    }
    default:
        in.Fail("unknown check kind");
    }
}

} // namespace

PreRunResults ReadPreRunDocument(const std::string& path, const Project& project) {
    const DocumentReader in(path);
    const xmlNode* prerun = DocumentReader::Child(in.Project(), "Prerun");
    if (prerun == nullptr)
        in.Fail("not a pre-run result document");
    PreRunResults out;
    out.design = in.Flag(prerun, "design");
    out.criticalW = in.Real(prerun, "criticalW");
    out.singularityCriterion = in.Real(prerun, "singularityCriterion");
    for (const xmlNode* check : DocumentReader::Children(prerun, "Check"))
        ReadCheck(in, project, check, out);
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
