// The slots of ReportSwitch that select the parts of the adjustment's text
// report and result document (slot 5 also asks the adjustment for external
// reliability; slot 14 is an engine switch and slot 15 the output form).
#ifndef TAVEX_OUTPUT_REPORT_SWITCHES_H
#define TAVEX_OUTPUT_REPORT_SWITCHES_H

#include "project/project_state.h"

namespace Tavex {

enum ReportSlot : int {
    SLOT_PROJECTION = 0,         // projection and ellipsoid constants
    SLOT_INPUT_COORDINATES = 1,  // approximate coordinates, known stations, geoid heights
    SLOT_INPUT_PARAMETERS = 2,   // additional parameters of the settings
    SLOT_INPUT_OBSERVATIONS = 3, // observations and their standard deviations
    SLOT_COORDINATES = 4,        // adjusted coordinates
    SLOT_EXTERNAL_RELIABILITY = 5,
    SLOT_ABSOLUTE_PRECISION = 6,
    SLOT_RELATIVE_PRECISION = 7,
    SLOT_KNOWN_TEST_COLUMNS = 8, // reliability columns of the test of known coordinates
    SLOT_KNOWN_ERRORS = 9,       // estimated errors of known coordinates
    SLOT_PARAMETERS = 10,        // adjusted additional parameters
    SLOT_OBSERVATIONS = 11,      // adjusted observations
    SLOT_TEST_COLUMNS = 12,      // reliability columns of the observation tests
    SLOT_OBSERVATION_ERRORS = 13,
};

// Whether the project's switch of slot is on (nonzero).
inline bool SwitchOn(const ProjectState& project, ReportSlot slot) {
    return project.ReportSwitch[slot] != 0;
}

} // namespace Tavex

#endif
