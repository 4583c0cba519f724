#include "project/record_form.h"

#include "project/observation.h"

namespace Tavex {

namespace {

bool IsOneReadingType(std::uint16_t type) {
    switch (type) {
    case OBS_DIRECTION:
    case OBS_DISTANCE:
    case OBS_ZENITH:
    case OBS_AZIMUTH:
    case OBS_HEIGHT_DIFFERENCE:
    case OBS_GEOMETRIC_RELATION:
        return true;
    default:
        return false;
    }
}

// The three components of one GPS observation, in slot order.
bool IsGpsTriple(std::uint16_t gpsType, const std::uint16_t (&type)[3],
                 const std::uint16_t (&sub)[3]) {
    for (int i = 0; i < 3; ++i)
        if (type[i] != gpsType || sub[i] != i)
            return false;
    return true;
}

// Slot i holds the reading `typeOfSlot(i)` with sub-code `subOfSlot(i)` or
// nothing, and at least one slot holds a reading.
template <class TypeOfSlot>
bool SlotsFit(const std::uint16_t (&type)[3], TypeOfSlot typeOfSlot) {
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (type[i] == OBS_NONE)
            continue;
        if (!typeOfSlot(i))
            return false;
        any = true;
    }
    return any;
}

} // namespace

RecordForm ClassifyRecord(int kind, const std::uint16_t (&type)[3], const std::uint16_t (&sub)[3]) {
    switch (kind) {
    case RECORD_ONE_READING:
    case RECORD_ONE_READING_SHORT:
        return IsOneReadingType(type[0]) && type[1] == OBS_NONE && type[2] == OBS_NONE
                   ? RecordForm::OneReading
                   : RecordForm::Invalid;
    case RECORD_THREE_READINGS:
    case RECORD_THREE_READINGS_NO_CODE:
        if (type[0] == OBS_GPS_BASELINE || type[1] == OBS_GPS_BASELINE ||
            type[2] == OBS_GPS_BASELINE)
            return IsGpsTriple(OBS_GPS_BASELINE, type, sub) ? RecordForm::GpsBaseline
                                                            : RecordForm::Invalid;
        return SlotsFit(type, [&](int i) { return type[i] == i + 1; }) ? RecordForm::TotalStation
                                                                       : RecordForm::Invalid;
    case RECORD_ONE_STATION:
        if (IsGpsTriple(OBS_GPS_COORDINATE, type, sub))
            return RecordForm::GpsCoordinate;
        return SlotsFit(type, [&](int i) { return type[i] == OBS_LOCAL_COORDINATE && sub[i] == i; })
                   ? RecordForm::LocalCoordinates
                   : RecordForm::Invalid;
    default:
        return RecordForm::Invalid;
    }
}

} // namespace Tavex
