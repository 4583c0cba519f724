// The "parameters" part of a project file: additional parameters per group
// and the GPS transformation parameters.
#include "angle_text.h"
#include "project_reader.h"

namespace TavexCli {

void Reader::ReadParameters(const Node& node) {
    node.Allow({"scale", "refraction", "azimuth_offset", "gps_transformation"});
    Settings& s = p_.settings;
    ReadGroups(node, "scale", s.scale, s.scaleFree, scalePlaces_, false);
    ReadGroups(node, "refraction", s.refraction, s.refractionFree, refractionPlaces_, false);
    ReadGroups(node, "azimuth_offset", s.azimuthOffset, s.azimuthOffsetFree, offsetPlaces_, true);
    if (node.Has("gps_transformation"))
        ReadGpsTransformation(node.At("gps_transformation"));
}

void Reader::ReadGroups(const Node& node, const char* key, std::array<double, 10>& value,
                        std::array<int, 10>& free, std::array<std::string, 10>& places,
                        bool angle) {
    if (!node.Has(key))
        return;
    for (const Node& item : node.At(key).Items()) {
        item.Allow({"group", "value", "estimate"});
        const auto group = static_cast<std::size_t>(item.Integer("group", 0, 0, 9));
        if (!places[group].empty())
            item.Fail("group " + std::to_string(group) + " is given twice (first at " +
                      places[group] + ")");
        places[group] = item.Where();
        if (item.Has("value"))
            value[group] = angle ? Angle(item.At("value")) : item.At("value").Number();
        free[group] = item.Boolean("estimate", true) ? 1 : 0;
    }
}

// {"parameter": "rotation_z", "value": ..., "estimate": true|false, "sd": ...}:
// estimated freely (the default), fixed at its value (estimate false), or
// weighted with its standard deviation (sd given).
void Reader::ReadGpsTransformation(const Node& node) {
    Settings& s = p_.settings;
    std::vector<std::string> names(kGpsParameterNames + 1, kGpsParameterNames + kGpsParameterSlots);
    for (const Node& item : node.Items()) {
        item.Allow({"parameter", "value", "estimate", "sd"});
        if (!item.Has("parameter"))
            item.Fail("missing field \"parameter\"");
        const auto sub = static_cast<std::size_t>(item.Choice("parameter", names, 0) + 1);
        if (!gpsPlaces_[sub].empty())
            item.At("parameter")
                .Fail("\"" + names[sub - 1] + "\" is given twice (first at " + gpsPlaces_[sub] +
                      ")");
        gpsPlaces_[sub] = item.Where();
        const bool rotation = sub <= 3, scale = sub == 4;
        // Rotations in the angle unit, the scale difference in parts per
        // million, translations in metres.
        const auto read = [&](const Node& value) {
            return rotation ? Angle(value) : value.Number() * (scale ? 1e-6 : 1.0);
        };
        if (item.Has("value"))
            s.gpsParameter[sub] = read(item.At("value"));
        const bool estimate = item.Boolean("estimate", true);
        if (item.Has("sd")) {
            if (!estimate)
                item.At("sd").Fail("a fixed parameter has no standard deviation");
            s.gpsParameterSd[sub] = read(item.At("sd"));
            if (!(s.gpsParameterSd[sub] > 0))
                item.At("sd").Fail("must be positive");
            s.gpsParameterUse[sub] = GpsParameterUse::Weighted;
        } else {
            s.gpsParameterUse[sub] = estimate ? GpsParameterUse::Estimated : GpsParameterUse::Fixed;
        }
    }
}

} // namespace TavexCli
