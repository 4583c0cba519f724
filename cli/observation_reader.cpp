// The observations of a project file, one record each. A field is accepted
// only where the kernel reads it: a height difference carries no instrument
// or target height, centring or height error; the fields of a reading a
// total-station record does not hold are refused.
#include "project_reader.h"

#include <cmath>

namespace TavexCli {

namespace {

// Scale, refraction and offset groups of the settings.
constexpr int kLastGroup = 9;

bool OneStation(ObservationKind kind) {
    return kind == ObservationKind::GpsCoordinate || kind == ObservationKind::LocalCoordinates;
}

std::string TypeName(ObservationKind kind) {
    return std::string("a ") + kObservationTypes[static_cast<int>(kind)];
}

// A 3 × 3 correlation matrix with these off-diagonal elements is positive
// definite: its leading minors 1, 1 − r12², det are positive.
bool PositiveDefinite(const std::array<double, 3>& r) {
    const double xy = r[0], xz = r[1], yz = r[2];
    const double det = 1 + 2 * xy * xz * yz - xy * xy - xz * xz - yz * yz;
    return 1 - xy * xy > 0 && det > 0;
}

} // namespace

void Reader::ReadStations(const Node& node, Observation& o) const {
    if (OneStation(o.kind)) {
        o.from = StationNumber(node.At("station"));
        return;
    }
    o.from = StationNumber(node.At("from"));
    o.to = StationNumber(node.At("to"));
    if (o.from == o.to)
        node.At("to").Fail("an observation needs two different stations");
}

// Instrument and target heights, centring and height errors; the kind's
// field list has already refused those it does not carry.
void Reader::ReadEccentricity(const Node& node, Observation& o) const {
    o.instrumentHeight = node.Number("instrument_height", 0.0);
    o.targetHeight = node.Number("target_height", 0.0);
    const std::set<std::string> ends = OneStation(o.kind)
                                           ? std::set<std::string>{"station"}
                                           : std::set<std::string>{"station", "target"};
    if (node.Has("centring")) {
        const Node c = node.At("centring");
        c.Allow(ends, TypeName(o.kind) + "'s centring");
        o.centringFrom = c.NonNegative("station", 0.0);
        o.centringTo = c.NonNegative("target", 0.0);
    }
    if (node.Has("height_error")) {
        const Node c = node.At("height_error");
        c.Allow(ends, TypeName(o.kind) + "'s height error");
        o.heightErrorFrom = c.NonNegative("station", 0.0);
        o.heightErrorTo = c.NonNegative("target", 0.0);
    }
}

// Directions, slant distances, zenith angles, azimuths, double and tape
// distances: one reading each.
void Reader::ReadOneReading(const Node& node, Observation& o) {
    const std::set<std::string> placed = {
        "type", "from", "to", "instrument_height", "target_height", "variance_group"};
    const auto allow = [&](std::set<std::string> fields) {
        fields.insert(placed.begin(), placed.end());
        node.Allow(fields, TypeName(o.kind));
    };
    switch (o.kind) {
    case ObservationKind::Direction:
        allow({"value", "set", "sd", "sd_length", "centring"});
        o.direction = Angle(node.At("value"));
        o.set = static_cast<unsigned>(node.Integer("set", 0, 0, 65535));
        o.sdDirection = AngleSd(node, "sd");
        o.sdDirectionLength = node.NonNegative("sd_length", 0.0);
        break;
    case ObservationKind::Distance:
        allow({"value", "slant", "group", "sd", "sd_ppm", "centring"});
        o.distance = node.Positive("value");
        o.horizontalDistance = !node.Boolean("slant", false);
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, kLastGroup));
        o.sdDistance = node.NonNegative("sd", 0.0);
        o.sdDistanceRelative = node.NonNegative("sd_ppm", 0.0) * 1e-6;
        break;
    case ObservationKind::Zenith:
        allow({"value", "group", "sd", "sd_length", "height_error"});
        o.zenith = Angle(node.At("value"));
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, kLastGroup));
        o.sdZenith = AngleSd(node, "sd");
        o.sdZenithLength = node.NonNegative("sd_length", 0.0);
        break;
    case ObservationKind::Azimuth:
        allow({"value", "group", "sd", "sd_length", "centring"});
        o.value = Angle(node.At("value"));
        o.group = static_cast<unsigned>(node.Integer("group", 0, 0, kLastGroup));
        o.sdAngle = AngleSd(node, "sd");
        o.sdAngleLength = node.NonNegative("sd_length", 0.0);
        break;
    default: // double and tape distances: lengths in metres
        allow({"value", "sd", "sd_ppm", "centring"});
        o.value = node.Positive("value");
        o.sdDistance = node.NonNegative("sd", 0.0);
        o.sdDistanceRelative = node.NonNegative("sd_ppm", 0.0) * 1e-6;
        break;
    }
}

void Reader::ReadTotalStation(const Node& node, Observation& o) {
    node.Allow({"type",
                "from",
                "to",
                "direction",
                "distance",
                "zenith",
                "set",
                "group",
                "distance_group",
                "zenith_group",
                "sd_direction",
                "sd_direction_length",
                "sd_distance",
                "sd_ppm",
                "sd_zenith",
                "sd_zenith_length",
                "instrument_height",
                "target_height",
                "centring",
                "height_error",
                "variance_group"},
               "a total_station");
    if (node.Has("direction"))
        o.direction = Angle(node.At("direction"));
    if (node.Has("distance"))
        o.distance = node.Positive("distance");
    if (node.Has("zenith"))
        o.zenith = Angle(node.At("zenith"));
    if (!o.direction && !o.distance && !o.zenith)
        node.Fail("a total-station record needs a direction, a distance or a zenith angle");
    // Fields of a reading the record does not hold would be ignored.
    const auto needs = [&](const char* field, bool held, const char* reading) {
        if (node.Has(field) && !held)
            node.At(field).Fail(std::string("the record has no ") + reading);
    };
    needs("set", o.direction.has_value(), "direction");
    needs("sd_direction", o.direction.has_value(), "direction");
    needs("sd_direction_length", o.direction.has_value(), "direction");
    needs("centring", o.direction || o.distance, "direction or distance");
    needs("sd_distance", o.distance.has_value(), "distance");
    needs("sd_ppm", o.distance.has_value(), "distance");
    needs("distance_group", o.distance.has_value(), "distance");
    needs("sd_zenith", o.zenith.has_value(), "zenith angle");
    needs("sd_zenith_length", o.zenith.has_value(), "zenith angle");
    needs("zenith_group", o.zenith.has_value(), "zenith angle");
    needs("height_error", o.zenith.has_value(), "zenith angle");
    needs("group", o.distance || o.zenith, "distance or zenith angle");
    if (node.Has("group") && (node.Has("distance_group") || node.Has("zenith_group")))
        node.At("group").Fail("give either group (for both) or distance_group and zenith_group");
    o.set = static_cast<unsigned>(node.Integer("set", 0, 0, 65535));
    const int both = node.Integer("group", 0, 0, kLastGroup);
    o.group = static_cast<unsigned>(node.Integer("distance_group", both, 0, kLastGroup));
    o.zenithGroup = static_cast<unsigned>(node.Integer("zenith_group", both, 0, kLastGroup));
    o.sdDirection = AngleSd(node, "sd_direction");
    o.sdDirectionLength = node.NonNegative("sd_direction_length", 0.0);
    o.sdDistance = node.NonNegative("sd_distance", 0.0);
    o.sdDistanceRelative = node.NonNegative("sd_ppm", 0.0) * 1e-6;
    o.sdZenith = AngleSd(node, "sd_zenith");
    o.sdZenithLength = node.NonNegative("sd_zenith_length", 0.0);
}

void Reader::ReadHeightDifference(const Node& node, Observation& o) {
    // A levelled line has no instrument or target height and no centring.
    node.Allow(
        {"type", "from", "to", "value", "sd", "sd_per_km", "sd_ppm", "length", "variance_group"},
        "a height_difference");
    o.value = node.At("value").Number();
    o.sdLevelling = node.NonNegative("sd", 0.0);
    // Metres per √km in the file, metres per √m in the kernel.
    o.sdPerRootMetre = node.NonNegative("sd_per_km", 0.0) / std::sqrt(1000.0);
    // Millimetres per kilometre (parts per million) in the file, metres per
    // metre in the kernel.
    o.sdPerMetre = node.NonNegative("sd_ppm", 0.0) * 1e-6;
    o.length = node.NonNegative("length", 0.0);
}

void Reader::ReadGps(const Node& node, Observation& o) {
    const bool baseline = o.kind == ObservationKind::GpsBaseline;
    if (baseline)
        node.Allow({"type", "from", "to", "dx", "dy", "dz", "sd", "correlation",
                    "instrument_height", "target_height", "centring", "height_error",
                    "variance_group"},
                   "a gps_baseline");
    else
        node.Allow({"type", "station", "x", "y", "z", "sd", "instrument_height", "centring",
                    "height_error", "variance_group"},
                   "a gps_coordinate (it carries standard deviations only)");
    const char* names[3] = {baseline ? "dx" : "x", baseline ? "dy" : "y", baseline ? "dz" : "z"};
    for (std::size_t k = 0; k < 3; ++k)
        o.vector[k] = node.At(names[k]).Number();
    const auto sd = node.At("sd").Items();
    if (sd.size() != 3)
        node.At("sd").Fail("expected three standard deviations (x, y, z)");
    for (std::size_t k = 0; k < 3; ++k) {
        o.sdGps[k] = sd[k].Number();
        if (!(o.sdGps[k] > 0))
            sd[k].Fail("a standard deviation must be positive");
    }
    if (!node.Has("correlation"))
        return;
    const auto r = node.At("correlation").Items();
    if (r.size() != 3)
        node.At("correlation").Fail("expected three correlations (xy, xz, yz)");
    for (std::size_t k = 0; k < 3; ++k) {
        o.correlation[k] = r[k].Number();
        if (!(o.correlation[k] > -1 && o.correlation[k] < 1))
            r[k].Fail("a correlation lies between -1 and 1");
    }
    if (!PositiveDefinite(o.correlation))
        node.At("correlation")
            .Fail("these correlations form no covariance matrix (it is not positive definite)");
}

// Observed coordinates of a station in the project's local system: any of
// east, north and height, each with its standard deviation.
void Reader::ReadLocalCoordinates(const Node& node, Observation& o) {
    node.Allow({"type", "station", "east", "north", "height", "sd_east", "sd_north", "sd_height",
                "instrument_height", "centring", "height_error", "variance_group"},
               "a local_coordinates");
    static const char* const kComponents[3] = {"east", "north", "height"};
    static const char* const kSds[3] = {"sd_east", "sd_north", "sd_height"};
    for (std::size_t k = 0; k < 3; ++k) {
        if (node.Has(kComponents[k])) {
            o.local[k] = node.At(kComponents[k]).Number();
            o.sdGps[k] = node.Positive(kSds[k]);
        } else if (node.Has(kSds[k])) {
            node.At(kSds[k]).Fail(std::string("the record has no ") + kComponents[k]);
        }
    }
    if (!o.local[0] && !o.local[1] && !o.local[2])
        node.Fail("local coordinates need an east, a north or a height");
    if (node.Has("centring") && !o.local[0] && !o.local[1])
        node.At("centring").Fail("the record has no east or north");
    if (node.Has("height_error") && !o.local[2])
        node.At("height_error").Fail("the record has no height");
}

void Reader::ReadObservation(const Node& node) {
    Observation o;
    o.where = node.Where();
    const std::vector<std::string> types(std::begin(kObservationTypes),
                                         std::end(kObservationTypes));
    const int type = node.Choice("type", types, -1);
    if (type < 0)
        node.Fail("missing field \"type\"");
    o.kind = static_cast<ObservationKind>(type);
    switch (o.kind) {
    case ObservationKind::TotalStation:
        ReadTotalStation(node, o);
        break;
    case ObservationKind::HeightDifference:
        ReadHeightDifference(node, o);
        break;
    case ObservationKind::GpsBaseline:
    case ObservationKind::GpsCoordinate:
        ReadGps(node, o);
        break;
    case ObservationKind::LocalCoordinates:
        ReadLocalCoordinates(node, o);
        break;
    default:
        ReadOneReading(node, o);
        break;
    }
    ReadStations(node, o);
    ReadEccentricity(node, o);
    o.varianceGroup = static_cast<unsigned>(node.Integer("variance_group", 0, 0, 1000000));
    p_.observations.push_back(o);
}

} // namespace TavexCli
