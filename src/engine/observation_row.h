// Observation rows: one scalar equation each, from an observation reading
// or a pseudo-observation of the datum or of a parameter.
#ifndef TAVEX_ENGINE_OBSERVATION_ROW_H
#define TAVEX_ENGINE_OBSERVATION_ROW_H

#include <cstdint>

namespace Tavex {

enum RowKind : std::uint16_t {
    ROW_DIRECTION = 1,
    ROW_DISTANCE = 2,
    ROW_ZENITH = 3,
    ROW_AZIMUTH = 4,
    ROW_HEIGHT_DIFFERENCE = 5,
    ROW_GPS_BASELINE = 6,
    ROW_GPS_COORDINATE = 7,
    ROW_TRIG_HEIGHT = 8,
    ROW_RELATION = 9,
    ROW_LOCAL_COORDINATE = 10,
    ROW_DATUM_NORTH = 31,
    ROW_DATUM_EAST = 32,
    ROW_DATUM_HEIGHT = 33,
    ROW_TRANSFORMATION = 40,
    ROW_INNER_CONSTRAINT = 50,
};

// Distance codes: 0 and 2 slant, 1 horizontal, 3 horizontal after reduction
// of a slant distance with the zenith angle of the same record.
enum DistanceCode : std::uint16_t {
    DISTANCE_UNSPECIFIED = 0,
    DISTANCE_HORIZONTAL = 1,
    DISTANCE_SLANT = 2,
    DISTANCE_REDUCED = 3,
};

struct ObservationRow {
    // Observation index; station number (datum rows); parameter number
    // (transformation rows); constraint number (inner constraints).
    std::uint32_t source = 0;
    std::uint16_t component = 0; // 1 north, 2 east, 3 height; 0 where not applicable
    std::uint32_t auxiliary = 0; // distance code of distance rows
    std::uint16_t kind = 0;
    std::uint16_t sub = 0; // set, group, component or relation type
    // Kernel additions: the reading of the observation the row comes from
    // (0..2), and the row's from- and to-station (0 where none).
    std::uint16_t slot = 0;
    std::uint32_t from = 0;
    std::uint32_t to = 0;

    bool IsObservation() const { return kind >= ROW_DIRECTION && kind <= ROW_LOCAL_COORDINATE; }
    bool IsDatum() const { return kind >= ROW_DATUM_NORTH && kind <= ROW_DATUM_HEIGHT; }
    bool IsHorizontalDistance() const {
        return kind == ROW_DISTANCE &&
               (auxiliary == DISTANCE_HORIZONTAL || auxiliary == DISTANCE_REDUCED);
    }
};

// How many rows of each kind the adjustment has.
struct RowCounts {
    unsigned directions = 0;
    unsigned distances = 0;
    unsigned zenithAngles = 0;
    unsigned trigonometricHeights = 0;
    unsigned azimuths = 0;
    unsigned heightDifferences = 0;
    unsigned gpsBaselines = 0;
    unsigned gpsCoordinates = 0;
    unsigned relations = 0;
    unsigned localCoordinates = 0;
    unsigned datum = 0;
    unsigned transformation = 0;
    unsigned innerConstraints = 0;

    void Count(std::uint16_t kind);
    unsigned Observations() const {
        return directions + distances + zenithAngles + trigonometricHeights + azimuths +
               heightDifferences + gpsBaselines + gpsCoordinates + relations + localCoordinates;
    }
};

} // namespace Tavex

#endif
