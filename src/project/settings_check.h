// The range checks of the settings an adjustment reads. Values outside the
// range a computation can use fail the run with error 731 naming the
// setting, instead of reaching a division, a distribution function or a
// loop bound (a confidence level of 1, for example, would print infinite
// ellipses as a success).
#ifndef TAVEX_PROJECT_SETTINGS_CHECK_H
#define TAVEX_PROJECT_SETTINGS_CHECK_H

#include "project/project_state.h"

namespace Tavex {

// Returns 1 when every setting is in range, else 0 after error 731 for the
// first one that is not.
int CheckAdjustmentSettings(ProjectState& project);
// The same for the settings the pre-run reads.
int CheckPreRunSettings(ProjectState& project);

// Error 731 for a setting and its value; returns 0.
int SettingOutOfRange(ProjectState& project, const char* setting, double value);

} // namespace Tavex

#endif
