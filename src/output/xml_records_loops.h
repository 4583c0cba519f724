// The records of the loop run's result document: one per loop, one per
// station of a loop, one per observation a misclosure was computed from.
// Values in SI units (metres, radians); the element and attribute each
// field becomes are listed in docs/result-documents.md.
#ifndef TAVEX_OUTPUT_XML_RECORDS_LOOPS_H
#define TAVEX_OUTPUT_XML_RECORDS_LOOPS_H

#include "geodesy/kz_string.h"
#include "output/xml_records_adjustment.h"

namespace Tavex {

// One misclosure of a loop with its standard deviation and test value.
struct TXXML_LOOPMISCLOSURE {
    const char* name = ""; // attribute stem: "dx", "north", "angle", "height", ...
    double value = 0.0;
    double sd = 0.0;
    double test = 0.0; // value / sd
    int rejected = 0;  // 1 when |test| exceeds the critical value
    const char* unit = kXmlUnitMetre;
};

inline constexpr int kLoopMisclosureSlots = 6;

// A loop.
struct TXXML_LOOP {
    int number = 0;          // 1-based, in the order of the run
    int kind = 0;            // 1, 2, 3 traverse, 5 height, 6 GPS, 8 trigonometric
    const char* family = ""; // "gps", "traverse", "height", "trigonometric"
    CKZString title;         // the family's heading
    int stations = 0;
    double length = 0.0; // m
    double criticalW = 0.0;
    int rejected = 0; // 1 when a misclosure's test exceeds the critical value
    TXXML_LOOPMISCLOSURE misclosures[kLoopMisclosureSlots];
    int misclosureCount = 0;
    int hasTolerance = 0;   // heights: the tolerance follows
    double tolerance = 0.0; // m
    int hasCentre = 0;      // with a map projection: the mean grid position follows
    double centreEasting = 0.0, centreNorthing = 0.0; // m
};

// A station of a loop, in loop order.
struct TXXML_LOOPSTATION {
    int position = 0; // 1-based place in the loop
    unsigned number = 0;
    CKZString name;
    int angle = 1; // traverses: 0 when no angle could be formed at the station
};

// An observation a misclosure was computed from, or the mean of a leg's
// observations, or the angle of a traverse at a station. The texts are the
// report's: the identification (record number, or the mean's label), the
// stations, the reading's code, and up to three values "%*.*f" 13 wide with
// 4 decimals in the project's units.
struct TXXML_LOOPOBSERVATION {
    CKZString identification;
    CKZString fromStation, toStation;
    CKZString code;
    CKZString value1, value2, value3;
    // The same in SI units for the document.
    const char* reading = ""; // "baseline", "heightDifference", "trigonometricHeight",
                              // "distance", "direction", "angle", "legMean"
    unsigned record = 0;      // the observation's record number, 0 for a mean or an angle
    int valueCount = 0;
    double values[3] = {0.0, 0.0, 0.0};
    const char* unit = kXmlUnitMetre;
};

} // namespace Tavex

#endif
