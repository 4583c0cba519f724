// The checks every run makes of the project before it computes: numbers that
// are not finite, station numbers outside the station table, grid stations
// that no projection converts. A run that finds one fails with messages that
// name the record and the field, instead of computing with garbage.
#ifndef TAVEX_PROJECT_INPUT_CHECK_H
#define TAVEX_PROJECT_INPUT_CHECK_H

#include "project/project_state.h"

namespace Tavex {

// At most this many input messages are logged per run; the run fails all
// the same when there are more.
inline constexpr int kMaxInputMessages = 100;

// Returns 1 when the project can be computed, else 0 after error messages.
int CheckRunInput(ProjectState& project);

} // namespace Tavex

#endif
