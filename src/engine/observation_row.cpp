#include "engine/observation_row.h"

namespace Tavex {

void RowCounts::Count(std::uint16_t kind) {
    switch (kind) {
    case ROW_DIRECTION:
        ++directions;
        break;
    case ROW_DISTANCE:
        ++distances;
        break;
    case ROW_ZENITH:
        ++zenithAngles;
        break;
    case ROW_TRIG_HEIGHT:
        ++trigonometricHeights;
        break;
    case ROW_AZIMUTH:
        ++azimuths;
        break;
    case ROW_HEIGHT_DIFFERENCE:
        ++heightDifferences;
        break;
    case ROW_GPS_BASELINE:
        ++gpsBaselines;
        break;
    case ROW_GPS_COORDINATE:
        ++gpsCoordinates;
        break;
    case ROW_RELATION:
        ++relations;
        break;
    case ROW_LOCAL_COORDINATE:
        ++localCoordinates;
        break;
    case ROW_DATUM_NORTH:
    case ROW_DATUM_EAST:
    case ROW_DATUM_HEIGHT:
        ++datum;
        break;
    case ROW_TRANSFORMATION:
        ++transformation;
        break;
    case ROW_INNER_CONSTRAINT:
        ++innerConstraints;
        break;
    default:
        break;
    }
}

} // namespace Tavex
