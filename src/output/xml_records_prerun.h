// The records of the pre-run's checks, as its text report prints them and
// its result document carries them: the texts in display units that the
// checks format, and beside them the numbers behind the texts (SI units,
// record and station numbers) for hosts that read the document.
#ifndef TAVEX_OUTPUT_XML_RECORDS_PRERUN_H
#define TAVEX_OUTPUT_XML_RECORDS_PRERUN_H

#include "geodesy/kz_string.h"

#include <cstdint>

namespace Tavex {

// One reported observation row of a repeated-observation check or of the
// check against approximate coordinates.
struct TXXML_PRERUNOBSERVATION {
    CKZString record; // the observation's record number
    CKZString code;   // the reading's short code
    CKZString station, target;
    CKZString reading;      // observed value in display units
    CKZString readingLabel; // 水平距 for a reduced distance, else empty
    CKZString error;        // the difference in display units
    CKZString unit;         // unit abbreviation of the difference
    CKZString mark;         // "**" when significant
    // The numbers behind the texts.
    std::uint32_t recordNumber = 0;
    std::uint32_t stationNumber = 0, targetNumber = 0;
    int rowKind = 0;
    bool angle = false; // values in radians (else metres)
    double readingValue = 0.0;
    double errorValue = 0.0;
    double testValue = 0.0; // the normalised difference it was judged by
    bool significant = false;
    bool reference = false; // the member the others of its group were compared with
};

// One line of the configuration defects.
struct TXXML_PRERUNCONFIGURATIONDEFECT {
    CKZString text;
    int message = 0;                 // the singularity message (450 to 468)
    std::uint32_t stationNumber = 0; // 0 for network-wide parameters
    std::uint32_t sub = 0;           // set or group number, parameter sub-code
};

// A pair of stations closer than 2 m.
struct TXXML_PRERUNCOINCIDING {
    CKZString station1, station2;
    CKZString distance; // in display units
    CKZString unit;
    std::uint32_t stationNumber1 = 0, stationNumber2 = 0;
    double distanceValue = 0.0; // m
};

// One observation record of a group of possibly identical observations.
struct TXXML_PRERUNOBSERVATIONRECORD {
    CKZString station, target;
    CKZString code[3], reading[3]; // per reading, empty where none
    CKZString record;
    std::uint32_t recordNumber = 0;
    std::uint32_t stationNumber = 0, targetNumber = 0;
};

} // namespace Tavex

#endif
