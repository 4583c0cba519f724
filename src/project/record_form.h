// What an observation record holds, decided once from its record kind and
// the type and sub-codes of its readings. Every part of the kernel asks this
// one classification, so a record whose codes do not fit its kind is caught
// here (and refused by the run's input check) instead of reaching the
// observation model with a missing station.
//
//   kinds 4 and 5   one reading (slot 1): direction, distance, zenith angle,
//                   azimuth, height difference or geometric relation;
//   kinds 6 and 100 a total-station record (slot i holds type i or nothing:
//                   1 direction, 2 distance, 3 zenith angle), or a GPS
//                   baseline (types 6, 6, 6 with sub-codes 0, 1, 2);
//   kind 7          one station, no target: a GPS coordinate (types 7, 7, 7
//                   with sub-codes 0, 1, 2) or observed local coordinates
//                   (type 10 with sub-code i in slot i, or nothing).
// A record without any reading fits no kind.
#ifndef TAVEX_PROJECT_RECORD_FORM_H
#define TAVEX_PROJECT_RECORD_FORM_H

#include <cstdint>

namespace Tavex {

enum class RecordForm : std::uint8_t {
    Invalid,          // the codes do not fit the kind
    OneReading,       // kinds 4 and 5
    TotalStation,     // kinds 6 and 100: direction, distance, zenith angle
    GpsBaseline,      // kinds 6 and 100
    GpsCoordinate,    // kind 7
    LocalCoordinates, // kind 7
};

RecordForm ClassifyRecord(int kind, const std::uint16_t (&type)[3], const std::uint16_t (&sub)[3]);

// Whether a record of this form speaks of one station only (no target).
inline bool IsSingleStationForm(RecordForm form) {
    return form == RecordForm::GpsCoordinate || form == RecordForm::LocalCoordinates;
}

} // namespace Tavex

#endif
