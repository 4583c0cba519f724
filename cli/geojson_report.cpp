#include "geojson_report.h"

#include "document_reader.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace TavexCli {

namespace {

using nlohmann::json;

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// [longitude, latitude] in degrees, the longitude brought into [-180, 180].
json Position(double latitude, double longitude) {
    return json::array(
        {std::remainder(longitude * kDegreesPerRadian, 360.0), latitude * kDegreesPerRadian});
}

json Feature(json geometry, json properties) {
    return {{"type", "Feature"},
            {"geometry", std::move(geometry)},
            {"properties", std::move(properties)}};
}

json Point(const json& position) {
    return {{"type", "Point"}, {"coordinates", position}};
}

// The station's coordinate element: the adjusted one, else the approximate.
const xmlNode* BestCoordinate(const DocumentReader& in, const xmlNode* station,
                              std::string& which) {
    for (const char* kind : {"adjusted", "approximate"})
        for (const xmlNode* c : DocumentReader::Children(station, "Coordinate"))
            if (in.Attribute(c, "kind") == kind) {
                which = kind;
                return c;
            }
    return nullptr;
}

// Standard deviations and the standard ellipse, orientation in degrees from
// north towards east.
void AddEllipse(const DocumentReader& in, const xmlNode* ellipse, json& properties) {
    if (ellipse == nullptr)
        return;
    properties["sd_north"] = in.Real(ellipse, "sdNorth");
    properties["sd_east"] = in.Real(ellipse, "sdEast");
    properties["sd_height"] = in.Real(ellipse, "sdHeight");
    properties["ellipse_a"] = in.Real(ellipse, "a");
    properties["ellipse_b"] = in.Real(ellipse, "b");
    properties["ellipse_orientation"] = in.Real(ellipse, "phi") * kDegreesPerRadian;
}

struct Placed {
    json position;
    std::string name;
};

// Adds a station's point feature and remembers where it is by number.
void AddStation(const DocumentReader& in, const xmlNode* station, const xmlNode* ellipse,
                json properties, json& features, std::map<long long, Placed>& placed) {
    std::string which;
    const xmlNode* c = BestCoordinate(in, station, which);
    if (c == nullptr)
        return; // no position in the document: nothing to place
    const json position = Position(in.Real(c, "latitude"), in.Real(c, "longitude"));
    properties["name"] = in.Attribute(station, "name");
    properties["position"] = which;
    properties["height"] = in.Real(c, "height");
    AddEllipse(in, ellipse, properties);
    placed[in.Whole(station, "number")] = {position, properties["name"]};
    features.push_back(Feature(Point(position), std::move(properties)));
}

bool AnyRejected(const DocumentReader& in, const xmlNode* observation) {
    for (const xmlNode* n = observation->children; n != nullptr; n = n->next)
        if (n->type == XML_ELEMENT_NODE && xmlHasProp(n, BAD_CAST "rejected") != nullptr &&
            in.Whole(n, "rejected") != 0)
            return true;
    return false;
}

// One line per unordered station pair of the observations.
void AddObservationLines(const DocumentReader& in, const std::map<long long, Placed>& placed,
                         json& features) {
    struct Pair {
        int readings = 0;
        bool rejected = false;
    };
    std::map<std::pair<long long, long long>, Pair> pairs;
    const xmlNode* section = DocumentReader::Child(in.Project(), "Observations");
    for (const xmlNode* o : DocumentReader::Children(section, "Observation")) {
        const long long a = in.Whole(o, "stationNumber"), b = in.Whole(o, "targetNumber");
        if (b == 0 || a == b || !placed.count(a) || !placed.count(b))
            continue;
        Pair& pair = pairs[{std::min(a, b), std::max(a, b)}];
        pair.readings += static_cast<int>(DocumentReader::Children(o, "ObservationRecord").size());
        pair.rejected = pair.rejected || AnyRejected(in, o);
    }
    for (const auto& [ends, pair] : pairs) {
        const Placed& from = placed.at(ends.first);
        const Placed& to = placed.at(ends.second);
        features.push_back(
            Feature({{"type", "LineString"}, {"coordinates", {from.position, to.position}}},
                    {{"from", from.name},
                     {"to", to.name},
                     {"readings", pair.readings},
                     {"rejected", pair.rejected}}));
    }
}

// The ellipse of station number s, null without one.
const xmlNode* EllipseOf(const DocumentReader& in, long long s) {
    const xmlNode* section = DocumentReader::Child(in.Project(), "Ellipses");
    for (const xmlNode* e : DocumentReader::Children(section, "Ellipse"))
        if (in.Whole(e, "number") == s)
            return e;
    return nullptr;
}

std::string Collection(json features) {
    return json{{"type", "FeatureCollection"}, {"features", std::move(features)}}.dump(1) + "\n";
}

} // namespace

std::string AdjustmentGeoJson(const std::string& documentPath) {
    const DocumentReader in(documentPath);
    json features = json::array();
    std::map<long long, Placed> placed;
    const xmlNode* stations = DocumentReader::Child(in.Project(), "Stations");
    if (stations == nullptr)
        in.Fail("no Stations: not an adjustment's document");
    for (const xmlNode* s : DocumentReader::Children(stations, "Station")) {
        const bool position = in.Flag(s, "knownNorth") || in.Flag(s, "knownEast");
        const bool height = in.Flag(s, "knownHeight");
        json properties = {{"number", in.Whole(s, "number")},
                           {"known", position || height ? "known" : "new"},
                           {"known_position", position},
                           {"known_height", height},
                           {"side_shot", false}};
        if (xmlHasProp(s, BAD_CAST "tTest") != nullptr) {
            properties["t_test"] = in.Real(s, "tTest");
            properties["rejected"] = in.Flag(s, "tRejected");
        }
        AddStation(in, s, EllipseOf(in, in.Whole(s, "number")), std::move(properties), features,
                   placed);
    }
    const xmlNode* free = DocumentReader::Child(in.Project(), "FreeStations");
    for (const xmlNode* s : DocumentReader::Children(free, "FreeStation"))
        AddStation(in, s, DocumentReader::Child(s, "Ellipse"),
                   {{"number", in.Whole(s, "number")},
                    {"known", "new"},
                    {"side_shot", true},
                    {"held_station", in.Attribute(s, "heldStation")}},
                   features, placed);
    if (placed.empty())
        in.Fail("no station has a position (the report switches left the coordinates out)");
    AddObservationLines(in, placed, features);
    return Collection(std::move(features));
}

std::string CogoGeoJson(const std::string& documentPath) {
    const DocumentReader in(documentPath);
    const xmlNode* cogo = DocumentReader::Child(in.Project(), "Cogo");
    if (cogo == nullptr)
        in.Fail("no Cogo: not an approximate-coordinate document");
    json features = json::array();
    for (const xmlNode* s : DocumentReader::Children(cogo, "Station")) {
        if (!in.Flag(s, "horizontal"))
            continue; // a height alone has no place on a map
        json properties = {{"name", in.Attribute(s, "name")},
                           {"number", in.Whole(s, "stationNumber")},
                           {"height_computed", in.Flag(s, "height")}};
        if (in.Flag(s, "height"))
            properties["height"] = in.Real(s, "h");
        features.push_back(
            Feature(Point(Position(in.Real(s, "lat"), in.Real(s, "lon"))), std::move(properties)));
    }
    return Collection(std::move(features));
}

} // namespace TavexCli
