// The records of the adjustment's result document, one per kind of element.
// The adjustment fills them from its results (all values in SI units:
// radians and metres, ratios and factors dimensionless, redundancy numbers
// in per cent) and hands them to the typed inserts of CTXXmlNode. The
// element and attribute each field becomes are listed in
// docs/result-documents.md.
#ifndef TAVEX_OUTPUT_XML_RECORDS_ADJUSTMENT_H
#define TAVEX_OUTPUT_XML_RECORDS_ADJUSTMENT_H

#include "geodesy/kz_string.h"

namespace Tavex {

// Unit names of the document's attributes.
inline constexpr const char* kXmlUnitMetre = "m";
inline constexpr const char* kXmlUnitRadian = "rad";
inline constexpr const char* kXmlUnitNone = "1";
inline constexpr const char* kXmlUnitPercent = "%";

// The summary of the run: what was computed on which datum.
struct TXXML_SUMMARY {
    int design = 0;         // 1 for a design (planning) computation
    int dimension = 0;      // 1, 2 or 3
    int adjustmentType = 0; // 1 free network, 3 weighted constraints, 4 constraints
    CKZString title;        // title of the coordinates (strings 205 to 215)
};

// A named list of the summary (counts, test parameters, projection).
struct TXXML_SUMMARYLIST {
    const char* name = "";
    CKZString title;
};

// One entry of a summary list.
struct TXXML_SUMMARYITEM {
    const char* name = ""; // English key, e.g. "directions"
    CKZString label;       // the string-table label
    double value = 0.0;
    const char* unit = kXmlUnitNone;
};

// The test summary (string 668) with the F-test.
struct TXXML_TESTSUMMARY {
    CKZString title;
    int tested = 0;              // 1 when the tests were made
    double varianceFactor = 0.0; // the a-posteriori variance factor
    double criticalF = 0.0;
    int fTest = -1;      // 1 accepted, 0 rejected, -1 not made
    int aPosteriori = 0; // 1 when the results use the a-posteriori factor
};

// One entry of a test list or of the test summary.
struct TXXML_TEST {
    const char* test = "w"; // "w" W-test, "T" T-test, "antenna" antenna height test
    unsigned subject = 0;   // observation record position, or station number
    CKZString station, target, code;
    int rowKind = 0;   // row kind, 30 for a station T-test
    int dimension = 1; // of the test
    int component = 0;
    double value = 0.0; // w or T
    double ratio = 0.0; // statistic over its critical value
    int rejected = 0;
    double error1 = 0.0, error2 = 0.0, error3 = 0.0; // estimated errors (rad or m)
    const char* unit = kXmlUnitMetre;                // of the estimated errors
};

// The variance components of the summary (string 84).
struct TXXML_VARIANCECOMPONENT {
    CKZString title;
    int computed = 0; // 1 when the estimates of the final solution follow
    int groups = 0;   // the number of Group children
    int mode = 0;     // VarComponent: 0 estimates only, 1 to 3 re-weighted
    int passes = 0;   // re-weighting passes completed
};

// A table: the column headings (labels of the string table and units) of
// the section before it, or the lists of rejected tests.
struct TXXML_TABLE {
    const char* name = "";
    CKZString title;
};
struct TXXML_TABLECOLUMN {
    const char* attribute = ""; // the attribute the column shows
    CKZString label;
    const char* unit = kXmlUnitNone;
};
struct TXXML_TESTLIST {
    const char* name = "";
    CKZString title;
};

// A station of the adjustment.
struct TXXML_STATION {
    CKZString name;
    unsigned number = 0;
    int knownNorth = 0, knownEast = 0, knownHeight = 0; // components given as known
    int horizontal = 0; // 1 when the horizontal position is an unknown
    int height = 0;     // 1 when the height is an unknown
    int tested = 0;     // 1 when a station T-test follows
    int testDimension = 0;
    double tTest = 0.0, tRatio = 0.0;
    int tRejected = 0;
};

// A position of a station: approximate (input) or adjusted.
struct TXXML_COORDINATE {
    const char* kind = "adjusted";                        // "approximate" or "adjusted"
    double latitude = 0.0, longitude = 0.0, height = 0.0; // rad, rad, m
    int grid = 0;                                         // 1 when easting and northing follow
    double easting = 0.0, northing = 0.0;                 // m
    int corrections = 0; // 1 when the corrections to the approximate position follow
    double correctionNorth = 0.0, correctionEast = 0.0, correctionUp = 0.0; // m
};

// The external reliability of one coordinate unknown.
struct TXXML_EXTERNALRELIABILITY {
    const char* component = "north"; // "north", "east", "height"
    double value = 0.0;              // m
    unsigned causeRow = 0;
    CKZString causeStation, causeTarget, causeCode;
    unsigned causeRecord = 0; // record position of the causing observation, 0 for a datum row
};

// The absolute standard ellipse and covariance block of a station.
struct TXXML_ELLIPSE {
    CKZString station;
    unsigned number = 0;
    double a = 0.0, b = 0.0, phi = 0.0; // m, m, rad from north towards east
    double sdNorth = 0.0, sdEast = 0.0, sdHeight = 0.0;
    double covNN = 0.0, covNE = 0.0, covEE = 0.0, covNh = 0.0, covEh = 0.0, covhh = 0.0; // m²
    double criterion = 0.0; // criterion radius (free network), m
};

// The relative standard ellipse of a station pair.
struct TXXML_RELATIVEELLIPSE {
    CKZString from, to;
    unsigned fromNumber = 0, toNumber = 0;
    double a = 0.0, b = 0.0, psi = 0.0; // m, m, rad
    double length = 0.0;                // horizontal distance of the pair, m
    double sdHeight = 0.0;              // of the height difference, m
    double criterion = 0.0;
};

// An observation (one record of the host) with the rows made from it.
struct TXXML_OBSERVATION {
    unsigned number = 0; // index in the observation list
    unsigned record = 0; // the host's record position
    int recordKind = 0;
    CKZString station, target;
    unsigned stationNumber = 0, targetNumber = 0;
    double instrumentHeight = 0.0, targetHeight = 0.0; // m
};

// One row (a reading, or a coordinate of a known station) with the parts
// the report switches select.
struct TXXML_OBSERVATIONRECORD {
    unsigned row = 0;
    CKZString code;
    int rowKind = 0;
    int sub = 0;
    int component = 0;
    const char* unit = kXmlUnitMetre; // of the values: "rad" or "m"
    bool hasInput = false;
    double observed = 0.0, sd = 0.0;
    bool hasAdjustment = false; // not in design: no adjusted values exist
    double adjusted = 0.0, residual = 0.0;
    bool hasPrecision = false;
    double sdAdjusted = 0.0;
    bool hasTest = false;
    double w = 0.0, estimatedError = 0.0;
    int rejected = 0;
    bool hasReliability = false;
    double mdb = 0.0, mdbn = 0.0, redundancy = 0.0, bnr = 0.0;
};

// The T-test of a GPS observation group.
struct TXXML_GROUPTEST {
    int dimension = 3;
    double T = 0.0, ratio = 0.0;
    int rejected = 0;
    double error1 = 0.0, error2 = 0.0, error3 = 0.0; // m, along X, Y, Z
};

// The direction (antenna height) tests of a GPS observation group.
struct TXXML_ANTENNATEST {
    double wNorth = 0.0, wEast = 0.0, wUp = 0.0;
    double mdbNorth = 0.0, mdbEast = 0.0, mdbUp = 0.0;       // m
    double errorNorth = 0.0, errorEast = 0.0, errorUp = 0.0; // m
    double ratio = 0.0;
    int rejected = 0;
};

// The additional parameters and one of them.
struct TXXML_ADDITPARS {
    CKZString title;
    int count = 0;
};
struct TXXML_ADDITPAR {
    const char* kind = ""; // "orientation", "scale", "refraction", "azimuthOffset", ...
    CKZString label;
    CKZString station; // orientations: their station
    unsigned group = 0;
    int hasAPriori = 0;
    double aPriori = 0.0, value = 0.0, sd = 0.0;
    const char* unit = kXmlUnitNone;
};

} // namespace Tavex

#endif
