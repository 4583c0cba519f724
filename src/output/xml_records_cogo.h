// The records of the approximate-coordinate run, as its text report prints
// them and its result document carries them: names and values in SI units
// (radians, metres), station numbers for hosts that read the document.
#ifndef TAVEX_OUTPUT_XML_RECORDS_COGO_H
#define TAVEX_OUTPUT_XML_RECORDS_COGO_H

#include "geodesy/kz_string.h"

#include <cstdint>
#include <vector>

namespace Tavex {

// One station with what was computed for it.
struct TXXML_COGOSTATION {
    CKZString name;
    std::uint32_t stationNumber = 0;
    bool horizontal = false;              // a horizontal position was computed
    bool height = false;                  // a height was computed
    double lat = 0.0, lon = 0.0;          // radians
    double easting = 0.0, northing = 0.0; // metres, in the computation's plane
    double h = 0.0;                       // metres
};

// One known station of a fit: its residuals (fitted − known, metres) and
// whether it was rejected.
struct TXXML_COGORESIDUAL {
    CKZString name;
    std::uint32_t stationNumber = 0;
    double first = 0.0, second = 0.0; // east and north (plane fit)
    double height = 0.0;              // height fit
    bool rejected = false;
};

// The whole content of the report and the document.
struct TXXML_COGO {
    bool projected = false;                  // residuals labelled east/north, else lat/lon
    std::vector<TXXML_COGOSTATION> stations; // computed stations
    bool planeFit = false;                   // two or more known stations were fitted
    bool heightFit = false;                  // one or more known heights were fitted
    double scale = 1.0, rotation = 0.0, heightShift = 0.0;
    std::vector<TXXML_COGORESIDUAL> planeResiduals;
    std::vector<TXXML_COGORESIDUAL> heightResiduals;
    std::vector<TXXML_COGOSTATION> notComputed;
};

} // namespace Tavex

#endif
