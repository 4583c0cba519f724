// Unknowns: one entry per scalar unknown of the adjustment.
#ifndef TAVEX_ENGINE_UNKNOWN_H
#define TAVEX_ENGINE_UNKNOWN_H

#include <cstdint>

namespace Tavex {

enum UnknownKind : std::uint16_t {
    UNK_NORTH = 1,              // latitude of a station (radians)
    UNK_EAST = 2,               // longitude of a station (radians)
    UNK_HEIGHT = 3,             // ellipsoidal height (metres)
    UNK_ORIENTATION = 4,        // orientation of a direction set (radians)
    UNK_SCALE = 5,              // scale factor of a group (near 1)
    UNK_REFRACTION = 6,         // vertical refraction coefficient of a group
    UNK_AZIMUTH_OFFSET = 7,     // azimuth offset of a group (radians)
    UNK_GPS_TRANSFORMATION = 8, // sub 1..7: rotations X, Y, Z, scale, translations X, Y, Z
    UNK_DEFLECTION_EAST = 9,
    UNK_DEFLECTION_NORTH = 10,
    UNK_ADDITIONAL_ROTATION = 11,
    UNK_ADDITIONAL_TRANSFORMATION = 12,
};

// GPS transformation parameters by sub-code.
enum GpsParameter : std::uint16_t {
    GPS_ROTATION_X = 1,
    GPS_ROTATION_Y = 2,
    GPS_ROTATION_Z = 3,
    GPS_SCALE = 4,
    GPS_TRANSLATION_X = 5,
    GPS_TRANSLATION_Y = 6,
    GPS_TRANSLATION_Z = 7,
};
inline constexpr int kGpsParameters = 7;

struct UnknownDescriptor {
    std::uint32_t station = 0; // 0 for network-wide parameters
    std::uint16_t kind = 0;
    std::uint16_t sub = 0;

    bool IsCoordinate() const { return kind >= UNK_NORTH && kind <= UNK_HEIGHT; }
    bool IsDeflection() const {
        return kind == UNK_DEFLECTION_EAST || kind == UNK_DEFLECTION_NORTH;
    }
};

// Bits of the per-station unknown flags.
enum StationUnknownBits : std::uint32_t {
    FLAG_NORTH = 1u << 0,
    FLAG_EAST = 1u << 1,
    FLAG_HEIGHT = 1u << 2,
    FLAG_DEFLECTION = 1u << 3,
};

} // namespace Tavex

#endif
