// How reports and documents name an observation row or a test entry: its
// station and target, the short code of its reading ("R0", "S1", "DX",
// "TH", ...; north, east and height labels for the coordinate rows of known
// stations), its record position, and whether its values are angles.
#ifndef TAVEX_OUTPUT_ROW_NAMING_H
#define TAVEX_OUTPUT_ROW_NAMING_H

#include "engine/engine_state.h"
#include "project/project_state.h"
#include "testing/test_records.h"

#include <cstdint>
#include <vector>

namespace Tavex {

struct RowName {
    CKZString station; // from-station, or the known station of a coordinate row
    CKZString target;  // empty for single-station rows
    CKZString code;
    std::uint32_t observation = 0; // index in the observation list, 0 for pseudo-observations
    std::uint32_t record = 0;      // the host's record position, 0 for pseudo-observations
    bool angle = false;            // values in radians (else metres)
};

// The name of station s; empty for 0 or a number beyond the table.
CKZString StationName(const ProjectState& project, std::uint32_t s);

// Whether rows of this kind carry angles: directions, zenith angles and
// azimuths (a geometric relation row of this kernel is a distance).
bool IsAngleKind(std::uint16_t kind);

// The short code of a row of kind and sub: the reading's code for the
// observation kinds ("TH" for a trigonometric height difference), the north,
// east or height label for kinds 31 to 33, "T" for a station test (30).
CKZString CodeOfKind(std::uint16_t kind, std::uint16_t sub);

// The name of row r.
RowName NameOfRow(const ProjectState& project, const EngineState& engine, std::size_t r);

// The name of an entry of a test list (testing/test_lists.h): the station
// of a station test or of a coordinate row, the stations of an observation;
// the code of the reading, "T" for a group T-test, the up label for an
// antenna height test. observation and record name the observation (0 for
// station entries); angle tells whether the estimated error is an angle.
RowName NameOfTestEntry(const ProjectState& project, const CTest& entry);

// The value an additional parameter (scale factor, refraction coefficient,
// azimuth offset, GPS transformation parameter) started from, when the
// settings give one; false for other unknowns.
bool APrioriParameterValue(const ProjectState& project, const UnknownDescriptor& unknown,
                           double& value);

} // namespace Tavex

#endif
