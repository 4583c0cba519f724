// The checks every run makes of the project before it computes: numbers that
// are not finite or beyond kLargestMagnitude, station numbers outside the
// station table, grid stations that no projection converts. A run that finds
// one fails with messages that name the record and the field, instead of
// computing with garbage.
#ifndef TAVEX_PROJECT_INPUT_CHECK_H
#define TAVEX_PROJECT_INPUT_CHECK_H

#include "project/project_state.h"

namespace Tavex {

// At most this many input messages are logged per run; the run fails all
// the same when there are more.
inline constexpr int kMaxInputMessages = 100;

// The largest magnitude of a number the kernel computes with (coordinates,
// heights, readings, standard deviations, centring errors, the real-valued
// settings but the length unit's factor, which only scales what reports
// print): 1e9 in metres, radians or the setting's unit. Within it,
// squares and sums of squares of a whole network stay far from overflow and
// no conversion to an integer overflows; a larger number is reported like
// one that is not finite.
inline constexpr double kLargestMagnitude = 1e9;

// Returns 1 when the project can be computed, else 0 after error messages.
int CheckRunInput(ProjectState& project);

} // namespace Tavex

#endif
