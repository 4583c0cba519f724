#include "project_file.h"

#include "angle_text.h"

#include <nlohmann/json.hpp>
#include <tavex/tavex.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace TavexCli {

namespace {

using nlohmann::json;

// A JSON value with the place it came from ("observations[3].to").
class Node {
public:
    Node(const json& value, std::string where) : value_(value), where_(std::move(where)) {}

    const std::string& Where() const { return where_; }
    bool Has(const char* key) const { return value_.is_object() && value_.contains(key); }
    Node At(const char* key) const {
        if (!Has(key))
            Fail(std::string("missing field \"") + key + "\"");
        return Node(value_.at(key), Child(key));
    }
    std::vector<Node> Items() const {
        if (!value_.is_array())
            Fail("expected a list");
        std::vector<Node> items;
        for (std::size_t k = 0; k < value_.size(); ++k)
            items.emplace_back(value_[k], where_ + "[" + std::to_string(k) + "]");
        return items;
    }
    double Number() const {
        if (!value_.is_number())
            Fail("expected a number");
        const double x = value_.get<double>();
        if (!std::isfinite(x))
            Fail("expected a finite number");
        return x;
    }
    double Number(const char* key, double fallback) const {
        return Has(key) ? At(key).Number() : fallback;
    }
    double NonNegative(const char* key, double fallback) const {
        const double x = Number(key, fallback);
        if (x < 0)
            At(key).Fail("must not be negative");
        return x;
    }
    int Integer(const char* key, int fallback, int low, int high) const {
        if (!Has(key))
            return fallback;
        const Node n = At(key);
        if (!n.value_.is_number_integer())
            n.Fail("expected a whole number");
        const auto v = n.value_.get<long long>();
        if (v < low || v > high)
            n.Fail("must lie between " + std::to_string(low) + " and " + std::to_string(high));
        return static_cast<int>(v);
    }
    bool Boolean(const char* key, bool fallback) const {
        if (!Has(key))
            return fallback;
        const Node n = At(key);
        if (!n.value_.is_boolean())
            n.Fail("expected true or false");
        return n.value_.get<bool>();
    }
    std::string Text() const {
        if (!value_.is_string())
            Fail("expected text");
        return value_.get<std::string>();
    }
    std::string Text(const char* key, const std::string& fallback) const {
        return Has(key) ? At(key).Text() : fallback;
    }
    // One of the given words.
    int Choice(const char* key, const std::vector<std::string>& words, int fallback) const {
        if (!Has(key))
            return fallback;
        const Node n = At(key);
        const std::string word = n.Text();
        for (std::size_t k = 0; k < words.size(); ++k)
            if (words[k] == word)
                return static_cast<int>(k);
        std::string list;
        for (const auto& w : words)
            list += (list.empty() ? "\"" : ", \"") + w + "\"";
        n.Fail("unknown value \"" + word + "\" (expected " + list + ")");
    }
    bool IsString() const { return value_.is_string(); }
    bool IsObject() const { return value_.is_object(); }
    // Fields this object may have; anything else is a mistake worth naming.
    void Allow(const std::set<std::string>& keys) const {
        if (!value_.is_object())
            Fail("expected an object");
        for (const auto& item : value_.items())
            if (!keys.count(item.key()))
                Fail("unknown field \"" + item.key() + "\"");
    }
    [[noreturn]] void Fail(const std::string& what) const { throw ProjectError(where_, what); }

private:
    std::string Child(const char* key) const { return where_.empty() ? key : where_ + "." + key; }

    const json& value_;
    std::string where_;
};

class Reader {
public:
    explicit Reader(Project& project) : p_(project) {}

    void Read(const Node& root);

private:
    void ReadSettings(const Node& root);
    void ReadParameters(const Node& node);
    void ReadStation(const Node& node);
    void ReadObservation(const Node& node);
    double Angle(const Node& node) const;
    double Angle(const Node& parent, const char* key, double fallback) const {
        return parent.Has(key) ? Angle(parent.At(key)) : fallback;
    }
    // A standard deviation of an angle: a number in the project's unit or
    // "d m s" text; never negative.
    double AngleSd(const Node& parent, const char* key) const {
        if (!parent.Has(key))
            return 0.0;
        const double sd = Angle(parent.At(key));
        if (sd < 0)
            parent.At(key).Fail("must not be negative");
        return sd;
    }
    unsigned StationNumber(const Node& node) const;
    void ReadCommon(const Node& node, Observation& o) const;

    Project& p_;
    std::map<std::string, unsigned> stationNumbers_;
};

double Reader::Angle(const Node& node) const {
    if (node.IsString()) {
        const auto radians = ParseDms(node.Text());
        if (!radians)
            node.Fail("expected an angle as a number or as \"degrees minutes seconds\"");
        return *radians;
    }
    return ToRadians(node.Number(), p_.settings.angleUnit);
}

unsigned Reader::StationNumber(const Node& node) const {
    const std::string name = node.Text();
    const auto at = stationNumbers_.find(name);
    if (at == stationNumbers_.end())
        node.Fail("unknown station \"" + name + "\"");
    return at->second;
}

void Reader::ReadSettings(const Node& root) {
    Settings& s = p_.settings;
    s.name = root.Text("name", "");
    if (!root.Has("dimension"))
        root.Fail("missing field \"dimension\" (1, 2 or 3)");
    s.dimension = root.Integer("dimension", 2, 1, 3);
    s.phase = std::vector<int>{
        1, 3,
        2}[static_cast<std::size_t>(root.Choice("datum", {"free", "weighted", "constrained"}, 0))];
    s.design = root.Boolean("design", false);
    s.angleUnit = static_cast<AngleUnit>(root.Choice("angle_unit", {"gon", "deg", "dms"}, 0));
    if (root.Has("length_unit")) {
        const Node unit = root.At("length_unit");
        unit.Allow({"name", "long_name", "factor"});
        s.lengthUnit = unit.Text("name", "m");
        s.lengthUnitLong = unit.Text("long_name", s.lengthUnit);
        s.lengthFactor = unit.Number("factor", 1.0);
        if (!(s.lengthFactor > 0))
            unit.At("factor").Fail("must be positive");
        if (s.lengthUnit.size() > 3)
            unit.At("name").Fail("at most 3 characters");
        if (s.lengthUnitLong.size() > 20)
            unit.At("long_name").Fail("at most 20 characters");
    }
    if (root.Has("ellipsoid") && root.At("ellipsoid").IsObject()) {
        const Node e = root.At("ellipsoid");
        e.Allow({"semi_major_axis", "inverse_flattening"});
        s.ellipsoid = Tavex::ELLIPSOID_USER_DEFINED;
        s.semiMajorAxis = e.At("semi_major_axis").Number();
        s.inverseFlattening = e.At("inverse_flattening").Number();
    } else {
        const int codes[] = {Tavex::ELLIPSOID_GRS80,          Tavex::ELLIPSOID_WGS84,
                             Tavex::ELLIPSOID_BESSEL1841,     Tavex::ELLIPSOID_INTERNATIONAL1924,
                             Tavex::ELLIPSOID_KRASSOVSKY1940, Tavex::ELLIPSOID_IAG1975,
                             Tavex::ELLIPSOID_CGCS2000};
        s.ellipsoid = codes[root.Choice("ellipsoid",
                                        {"GRS80", "WGS84", "Bessel1841", "International1924",
                                         "Krassovsky1940", "IAG1975", "CGCS2000"},
                                        0)];
    }
    static const json kNoSettings = json::object();
    const Node settings =
        root.Has("settings") ? root.At("settings") : Node(kNoSettings, "settings");
    settings.Allow({"sigma0", "alpha0", "beta", "max_iterations", "convergence",
                    "singularity_threshold", "confidence_1d", "confidence_2d",
                    "a_posteriori_variance_factor", "external_reliability", "covariance_output",
                    "gps_coordinate_type", "geoid_model", "report"});
    s.sigma0 = settings.Number("sigma0", 1.0);
    s.alpha0 = settings.Number("alpha0", 0.001);
    s.beta = settings.Number("beta", 0.80);
    s.iterations = settings.Integer("max_iterations", 5, 0, 1000);
    s.epsilon = settings.Number("convergence", 0.0001);
    s.deltaSingular = settings.Number("singularity_threshold", 1e-6);
    s.confidence1D = settings.Number("confidence_1d", 0.683);
    s.confidence2D = settings.Number("confidence_2d", 0.394);
    s.aPosteriori =
        settings.Choice("a_posteriori_variance_factor", {"never", "when_rejected", "always"}, 0);
    s.externalReliability = settings.Boolean("external_reliability", false);
    s.covarianceOutput = settings.Integer("covariance_output", 0, 0, 4);
    s.gpsCoordinateType = settings.Integer("gps_coordinate_type", 0, 0, 2);
    s.geoidModel = settings.Integer("geoid_model", 0, 0, 1);
    const auto positive = [&](const char* key, double v) {
        if (!(v > 0))
            settings.At(key).Fail("must be positive");
    };
    const auto probability = [&](const char* key, double v) {
        if (!(v > 0 && v < 1))
            settings.At(key).Fail("must lie between 0 and 1");
    };
    if (settings.Has("sigma0"))
        positive("sigma0", s.sigma0);
    if (settings.Has("convergence"))
        positive("convergence", s.epsilon);
    if (settings.Has("alpha0"))
        probability("alpha0", s.alpha0);
    if (settings.Has("beta"))
        probability("beta", s.beta);
    if (settings.Has("confidence_1d"))
        probability("confidence_1d", s.confidence1D);
    if (settings.Has("confidence_2d"))
        probability("confidence_2d", s.confidence2D);

    s.reportSwitch.fill(1);
    s.reportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = s.externalReliability ? 1 : 0;
    if (settings.Has("report")) {
        const Node report = settings.At("report");
        static const char* const kSections[14] = {"projection",
                                                  "input_coordinates",
                                                  "input_parameters",
                                                  "input_observations",
                                                  "adjusted_coordinates",
                                                  "external_reliability",
                                                  "absolute_precision",
                                                  "relative_precision",
                                                  "known_coordinate_test",
                                                  "known_coordinate_errors",
                                                  "parameters",
                                                  "observation_adjustment",
                                                  "observation_tests",
                                                  "observation_errors"};
        std::set<std::string> keys(std::begin(kSections), std::end(kSections));
        report.Allow(keys);
        for (int slot = 0; slot < 14; ++slot)
            if (report.Has(kSections[slot]))
                s.reportSwitch[static_cast<std::size_t>(slot)] =
                    report.Boolean(kSections[slot], true) ? 1 : 0;
        if (report.Has("external_reliability"))
            s.externalReliability = s.reportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] != 0;
    }
    s.scale.fill(1.0);
    s.refraction.fill(0.13);
    s.azimuthOffset.fill(0.0);
    s.scaleFree.fill(0);
    s.refractionFree.fill(0);
    s.azimuthOffsetFree.fill(0);
    if (root.Has("parameters"))
        ReadParameters(root.At("parameters"));
}

void Reader::ReadParameters(const Node& node) {
    node.Allow({"scale", "refraction", "azimuth_offset"});
    Settings& s = p_.settings;
    const auto read = [&](const char* key, std::array<double, 10>& value, std::array<int, 10>& free,
                          bool angle) {
        if (!node.Has(key))
            return;
        for (const Node& item : node.At(key).Items()) {
            item.Allow({"group", "value", "estimate"});
            const auto group = static_cast<std::size_t>(item.Integer("group", 0, 0, 9));
            if (item.Has("value"))
                value[group] = angle ? Angle(item.At("value")) : item.At("value").Number();
            free[group] = item.Boolean("estimate", true) ? 1 : 0;
        }
    };
    read("scale", s.scale, s.scaleFree, false);
    read("refraction", s.refraction, s.refractionFree, false);
    read("azimuth_offset", s.azimuthOffset, s.azimuthOffsetFree, true);
}

void Reader::ReadStation(const Node& node) {
    node.Allow({"name", "east", "north", "latitude", "longitude", "height", "known",
                "sd_horizontal", "sd_height", "excluded", "gps", "point_codes"});
    Station s;
    s.name = node.At("name").Text();
    if (s.name.empty() || s.name.size() > 16)
        node.At("name").Fail("a station name has 1 to 16 characters");
    if (stationNumbers_.count(s.name))
        node.At("name").Fail("station \"" + s.name + "\" is given twice");
    const bool grid = node.Has("east") || node.Has("north");
    const bool geographic = node.Has("latitude") || node.Has("longitude");
    if (grid && geographic)
        node.Fail("give either east/north or latitude/longitude");
    if (grid) {
        s.first = node.At("east").Number();
        s.second = node.At("north").Number();
    } else if (geographic) {
        s.geographic = true;
        s.first = Angle(node.At("latitude"));
        s.second = Angle(node.At("longitude"));
        if (std::fabs(s.first) > M_PI / 2)
            node.At("latitude").Fail("a latitude lies between -90 and 90 degrees");
    } else {
        node.Fail("missing coordinates (east and north, or latitude and longitude)");
    }
    s.hasHeight = node.Has("height");
    s.height = node.Number("height", 0.0);
    s.known = static_cast<Known>(node.Choice("known", {"none", "height", "position", "both"}, 0));
    s.sdHorizontal = node.NonNegative("sd_horizontal", 0.0);
    s.sdHeight = node.NonNegative("sd_height", 0.0);
    s.excluded = node.Boolean("excluded", false);
    s.gps = node.Boolean("gps", false);
    if (node.Has("point_codes")) {
        const auto codes = node.At("point_codes").Items();
        if (codes.size() != 2)
            node.At("point_codes").Fail("expected two codes");
        s.pointCode1 = static_cast<int>(codes[0].Number());
        s.pointCode2 = static_cast<int>(codes[1].Number());
    }
    p_.stations.push_back(s);
    stationNumbers_[s.name] = static_cast<unsigned>(p_.stations.size());
}

void Reader::ReadCommon(const Node& node, Observation& o) const {
    o.instrumentHeight = node.Number("instrument_height", 0.0);
    o.targetHeight = node.Number("target_height", 0.0);
    if (node.Has("centring")) {
        const Node c = node.At("centring");
        c.Allow({"station", "target"});
        o.centringFrom = c.NonNegative("station", 0.0);
        o.centringTo = c.NonNegative("target", 0.0);
    }
    if (node.Has("height_error")) {
        const Node c = node.At("height_error");
        c.Allow({"station", "target"});
        o.heightErrorFrom = c.NonNegative("station", 0.0);
        o.heightErrorTo = c.NonNegative("target", 0.0);
    }
    o.varianceGroup = static_cast<unsigned>(node.Integer("variance_group", 0, 0, 1000000));
}

void Reader::ReadObservation(const Node& node) {
    static const std::set<std::string> common = {
        "type",          "from",     "to",           "instrument_height",
        "target_height", "centring", "height_error", "variance_group"};
    const auto allow = [&](std::set<std::string> extra) {
        extra.insert(common.begin(), common.end());
        node.Allow(extra);
    };
    Observation o;
    o.where = node.Where();
    const int type = node.Choice("type",
                                 {"direction", "distance", "zenith", "azimuth", "height_difference",
                                  "gps_baseline", "gps_coordinate", "total_station"},
                                 -1);
    if (type < 0)
        node.Fail("missing field \"type\"");
    o.kind = static_cast<ObservationKind>(type);
    switch (o.kind) {
    case ObservationKind::Direction:
        allow({"value", "set", "sd", "sd_length"});
        o.direction = Angle(node.At("value"));
        o.set = static_cast<unsigned>(node.Integer("set", 0, 0, 65535));
        o.sdDirection = AngleSd(node, "sd");
        o.sdDirectionLength = node.NonNegative("sd_length", 0.0);
        break;
    case ObservationKind::Distance:
        allow({"value", "slant", "group", "sd", "sd_ppm"});
        o.distance = node.At("value").Number();
        if (!(*o.distance > 0))
            node.At("value").Fail("a distance must be positive");
        o.horizontalDistance = !node.Boolean("slant", false);
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, 9));
        o.sdDistance = node.NonNegative("sd", 0.0);
        o.sdDistanceRelative = node.NonNegative("sd_ppm", 0.0) * 1e-6;
        break;
    case ObservationKind::Zenith:
        allow({"value", "group", "sd", "sd_length"});
        o.zenith = Angle(node.At("value"));
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, 9));
        o.sdZenith = AngleSd(node, "sd");
        o.sdZenithLength = node.NonNegative("sd_length", 0.0);
        break;
    case ObservationKind::Azimuth:
        allow({"value", "group", "sd"});
        o.value = Angle(node.At("value"));
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, 9));
        o.sdAngle = AngleSd(node, "sd");
        break;
    case ObservationKind::HeightDifference:
        allow({"value", "sd", "sd_per_km", "length"});
        o.value = node.At("value").Number();
        o.sdLevelling = node.NonNegative("sd", 0.0);
        // Metres per √km in the file, metres per √m in the kernel.
        o.sdPerRootMetre = node.NonNegative("sd_per_km", 0.0) / std::sqrt(1000.0);
        o.length = node.NonNegative("length", 0.0);
        break;
    case ObservationKind::GpsBaseline:
    case ObservationKind::GpsCoordinate: {
        const bool baseline = o.kind == ObservationKind::GpsBaseline;
        if (baseline)
            allow({"dx", "dy", "dz", "sd", "correlation"});
        else
            allow({"station", "x", "y", "z", "sd", "correlation"});
        const char* names[3] = {baseline ? "dx" : "x", baseline ? "dy" : "y",
                                baseline ? "dz" : "z"};
        for (int k = 0; k < 3; ++k)
            o.vector[static_cast<std::size_t>(k)] = node.At(names[k]).Number();
        const auto sd = node.At("sd").Items();
        if (sd.size() != 3)
            node.At("sd").Fail("expected three standard deviations (x, y, z)");
        for (int k = 0; k < 3; ++k) {
            o.sdGps[static_cast<std::size_t>(k)] = sd[static_cast<std::size_t>(k)].Number();
            if (!(o.sdGps[static_cast<std::size_t>(k)] > 0))
                sd[static_cast<std::size_t>(k)].Fail("a standard deviation must be positive");
        }
        if (node.Has("correlation")) {
            if (!baseline)
                node.At("correlation").Fail("GPS coordinates carry standard deviations only");
            const auto r = node.At("correlation").Items();
            if (r.size() != 3)
                node.At("correlation").Fail("expected three correlations (xy, xz, yz)");
            for (int k = 0; k < 3; ++k) {
                const double c = r[static_cast<std::size_t>(k)].Number();
                if (!(c > -1 && c < 1))
                    r[static_cast<std::size_t>(k)].Fail("a correlation lies between -1 and 1");
                o.correlation[static_cast<std::size_t>(k)] = c;
            }
        }
        break;
    }
    case ObservationKind::TotalStation:
        allow({"direction", "distance", "zenith", "set", "group", "sd_direction",
               "sd_direction_length", "sd_distance", "sd_ppm", "sd_zenith", "sd_zenith_length"});
        if (node.Has("direction"))
            o.direction = Angle(node.At("direction"));
        if (node.Has("distance")) {
            o.distance = node.At("distance").Number();
            if (!(*o.distance > 0))
                node.At("distance").Fail("a distance must be positive");
        }
        if (node.Has("zenith"))
            o.zenith = Angle(node.At("zenith"));
        if (!o.direction && !o.distance && !o.zenith)
            node.Fail("a total-station record needs a direction, a distance or a zenith angle");
        o.set = static_cast<unsigned>(node.Integer("set", 0, 0, 65535));
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, 9));
        o.sdDirection = AngleSd(node, "sd_direction");
        o.sdDirectionLength = node.NonNegative("sd_direction_length", 0.0);
        o.sdDistance = node.NonNegative("sd_distance", 0.0);
        o.sdDistanceRelative = node.NonNegative("sd_ppm", 0.0) * 1e-6;
        o.sdZenith = AngleSd(node, "sd_zenith");
        o.sdZenithLength = node.NonNegative("sd_zenith_length", 0.0);
        break;
    }
    if (o.kind == ObservationKind::GpsCoordinate) {
        o.from = StationNumber(node.At("station"));
    } else {
        o.from = StationNumber(node.At("from"));
        o.to = StationNumber(node.At("to"));
        if (o.from == o.to)
            node.At("to").Fail("an observation needs two different stations");
    }
    ReadCommon(node, o);
    p_.observations.push_back(o);
}

void Reader::Read(const Node& root) {
    root.Allow({"name", "dimension", "datum", "design", "angle_unit", "length_unit", "ellipsoid",
                "projection", "settings", "parameters", "stations", "observations"});
    ReadSettings(root);
    for (const Node& station : root.At("stations").Items())
        ReadStation(station);
    if (p_.stations.empty())
        root.At("stations").Fail("a project needs stations");
    // A local grid for east/north stations unless the file says otherwise.
    bool anyGrid = false;
    for (const Station& s : p_.stations)
        anyGrid |= !s.geographic;
    const int projection =
        root.Choice("projection", {"none", "local_stereographic"}, anyGrid ? 1 : 0);
    p_.settings.projection =
        projection == 1 ? Tavex::PROJECTION_LOCAL_STEREOGRAPHIC : Tavex::PROJECTION_NONE;
    if (anyGrid && projection == 0)
        root.At("projection").Fail("stations given by east and north need a projection");
    if (root.Has("observations"))
        for (const Node& observation : root.At("observations").Items())
            ReadObservation(observation);
}

} // namespace

Project ParseProject(const std::string& text, const std::string& path) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& error) {
        // The library's text names the line and column.
        std::string what = error.what();
        const auto at = what.find("parse error");
        throw ProjectError(path, at == std::string::npos ? what : what.substr(at));
    }
    Project project;
    project.path = path;
    Reader(project).Read(Node(root, ""));
    return project;
}

Project ReadProjectFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ProjectError(path, "cannot open the project file");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseProject(text.str(), path);
}

} // namespace TavexCli
