// The stations of a project file.
#include "project_reader.h"

#include <climits>
#include <cmath>
#include <numbers>

namespace TavexCli {

namespace {

// The kernel's name field holds 16 bytes and a terminating zero.
constexpr std::size_t kNameBytes = 16;

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const std::string& text) {
    for (std::size_t k = 0; k < text.size();) {
        const auto byte = static_cast<unsigned char>(text[k]);
        std::size_t length = 0;
        unsigned code = 0;
        if (byte < 0x80) {
            ++k;
            continue;
        } else if ((byte & 0xE0) == 0xC0) {
            length = 2, code = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            length = 3, code = byte & 0x0F;
        } else if ((byte & 0xF8) == 0xF0) {
            length = 4, code = byte & 0x07;
        } else {
            return false;
        }
        if (k + length > text.size())
            return false;
        for (std::size_t j = 1; j < length; ++j) {
            const auto next = static_cast<unsigned char>(text[k + j]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        static const unsigned kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        k += length;
    }
    return true;
}

void CheckName(const Node& node, const std::string& name) {
    if (name.empty() || name.size() > kNameBytes)
        node.Fail("a station name has 1 to 16 bytes of UTF-8 (" + std::to_string(name.size()) +
                  " given; a Chinese character takes 3)");
    if (!IsUtf8(name))
        node.Fail("a station name must be UTF-8 text");
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            node.Fail("a station name has no control characters");
}

} // namespace

void Reader::ReadStationCoordinates(const Node& node, Station& s, bool knownPosition) {
    const bool grid = node.Has("east") || node.Has("north");
    const bool geographic = node.Has("latitude") || node.Has("longitude");
    if (grid && geographic)
        node.Fail("give either east/north or latitude/longitude");
    if (!grid && !geographic) {
        if (knownPosition)
            node.Fail("missing coordinates (east and north, or latitude and longitude): a known "
                      "position must be given");
        // Computed before the adjustment (approximate coordinates); the
        // station takes the kind of the project's other stations.
        s.hasPosition = false;
        return;
    }
    // One projection serves every station: they all come one way.
    for (const Station& other : p_.stations)
        if (other.hasPosition && other.geographic != geographic)
            node.Fail(std::string("give ") +
                      (geographic ? "east and north" : "latitude and longitude") +
                      " like the first station with coordinates: one project has either grid "
                      "or geographic stations");
    if (grid) {
        s.first = node.At("east").Number();
        s.second = node.At("north").Number();
        return;
    }
    s.geographic = true;
    s.first = Angle(node.At("latitude"));
    s.second = Angle(node.At("longitude"));
    if (std::fabs(s.first) > std::numbers::pi / 2)
        node.At("latitude").Fail("a latitude lies between -90 and 90 degrees");
}

void Reader::ReadStation(const Node& node) {
    node.Allow({"name", "east", "north", "latitude", "longitude", "height", "known",
                "sd_horizontal", "sd_height", "excluded", "gps", "point_codes"});
    Station s;
    s.name = node.At("name").Text();
    CheckName(node.At("name"), s.name);
    if (stationNumbers_.count(s.name))
        node.At("name").Fail("station \"" + s.name + "\" is given twice");
    s.known = static_cast<Known>(node.Choice("known", {"none", "height", "position", "both"}, 0));
    const bool knownHeight = s.known == Known::Height || s.known == Known::Both;
    const bool knownPosition = s.known == Known::Position || s.known == Known::Both;
    ReadStationCoordinates(node, s, knownPosition);
    s.hasHeight = node.Has("height");
    s.height = node.Number("height", 0.0);
    if (knownHeight && !s.hasHeight)
        node.Fail("missing field \"height\": a known height must be given");
    s.sdHorizontal = node.NonNegative("sd_horizontal", 0.0);
    s.sdHeight = node.NonNegative("sd_height", 0.0);
    if (node.Has("sd_horizontal") && !knownPosition)
        node.At("sd_horizontal").Fail("only a known position has a standard deviation");
    if (node.Has("sd_height") && !knownHeight)
        node.At("sd_height").Fail("only a known height has a standard deviation");
    s.excluded = node.Boolean("excluded", false);
    s.gps = node.Boolean("gps", false);
    if (node.Has("point_codes")) {
        const auto codes = node.At("point_codes").Items();
        if (codes.size() != 2)
            node.At("point_codes").Fail("expected two codes");
        s.pointCode1 = static_cast<int>(codes[0].Whole(0, INT_MAX));
        s.pointCode2 = static_cast<int>(codes[1].Whole(0, INT_MAX));
    }
    p_.stations.push_back(s);
    stationNumbers_[s.name] = static_cast<unsigned>(p_.stations.size());
}

} // namespace TavexCli
