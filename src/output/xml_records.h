// The records handed to the XML writer layer: plain structures, one per kind
// of element, each filled by the run that writes the document. The element
// and attribute each field becomes are listed in docs/result-documents.md.
#ifndef TAVEX_OUTPUT_XML_RECORDS_H
#define TAVEX_OUTPUT_XML_RECORDS_H

#include "geodesy/kz_string.h"

namespace Tavex {

// Identity of the documents, kept here and nowhere else.
inline constexpr const char* kResultNamespace = "urn:tavex:result:3.3";
inline constexpr const char* kResultPublisher = "TAVEX developers";
inline constexpr const char* kResultProduct = "TAVEX";
inline constexpr int kResultVersionMajor = 3;
inline constexpr int kResultVersionMinor = 3;
inline constexpr int kResultVersionRevision = 0;

// "Not set" value of the project's real fields (the largest 32-bit integer,
// which no height or separation in metres can reach). Stylesheets compare
// against it.
inline constexpr double kXmlNotSet = 2147483647.0;

// Linear unit codes of the root element.
inline constexpr int kLinearUnitMetre = 1;
inline constexpr int kLinearUnitUsSurveyFoot = 2;
inline constexpr int kLinearUnitInternationalFoot = 3;

// The root element: who wrote the document and in which units its values are
// given.
struct TXXML_ROOT {
    CKZString namespaceUri; // default namespace of every element; empty: none
    CKZString publisher;
    CKZString product;
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;               // third version field
    int linearUnitCode = kLinearUnitMetre; // 1 metre, 2 US survey foot, 3 international foot
    int angleUnitCode = 0;                 // 0 gon, 1 decimal degrees, 2 degrees-minutes-seconds
};

// The project element, parent of every section.
struct TXXML_PROJECT {
    CKZString name; // "Project" when the network has no name
    // Mean height of the project area above the geoid, metres; kXmlNotSet
    // when not known.
    double meanHeight = kXmlNotSet;
    // Mean geoid separation (ellipsoidal minus orthometric height) of the
    // area, metres; kXmlNotSet when not known.
    double geoidSeparation = kXmlNotSet;
    int stationCount = 0;      // stations of the project
    int knownStationCount = 0; // stations with known (given) coordinates
    int observationCount = 0;  // observations of the project
    int redundancy = 0;        // observations minus unknowns of the run (0: not computed)
    double varianceFactor = 0; // a-posteriori variance factor of the run (0: not computed)
};

// The summary header every document carries: what was run on which network,
// when and by which version.
struct TXXML_SUMMARYHEADER {
    CKZString runName;     // the run's title, e.g. string 654 "平差" for the adjustment
    CKZString networkName; // project's network name (may be empty)
    CKZString dateTime;    // local time of the run, ISO 8601 "2024-05-17T14:03:09"
    CKZString version;     // kernel version, "3.3.0"
};

// 1 when unitName equals "METER" ignoring case, 2 for "USSURVEYFOOT", 3 for
// "INTSURVEYFOOT", and 1 for any other name (the kernel computes in metres).
int LinearUnitCode(const CKZString& unitName);
// The project's angle unit setting when it is 0 (gon), 1 (decimal degrees) or
// 2 (degrees-minutes-seconds); 0 for anything else.
int AngleUnitCode(int angleUnit);
// Root record of every document: our namespace, publisher and product,
// version 3.3.0 and the unit codes of the given linear unit name and angle
// unit setting.
TXXML_ROOT MakeRoot(const CKZString& linearUnit, int angleUnit);
// Project record named after networkName ("Project" when it is empty), both
// reals not set, counters and other reals zero.
TXXML_PROJECT MakeProject(const CKZString& networkName);

} // namespace Tavex

#endif
