// The repeated-observation checks of the pre-run: observations of one kind
// between the same stations are compared with each other, and a group is
// reported when two of its members differ by more than the W-test critical
// value k times the standard deviation of their difference. The member with
// the fewest significant differences is the reference; every member is
// listed with its difference to it, the significant ones marked.
//
// Directions are compared within their series (the same target twice in one
// set), and the series of a station against each other: every target two
// series share gives the orientation difference of the pair, and these
// should agree. A pair of series whose differences disagree is reported with
// the directions of the series that disagrees with more of the others (with
// two series, or a tie, the later series, so that a detected contradiction
// is never left unreported), each with its difference to the other series
// (r(s2, T) − r(s1, T), negated when the later series s2 is the one listed).
#ifndef TAVEX_PRERUN_REPEATED_OBSERVATIONS_H
#define TAVEX_PRERUN_REPEATED_OBSERVATIONS_H

#include "prerun/check_rows.h"

namespace Tavex {

// Appends one block of check kind 0 per reported group. k is the W-test
// critical value.
void CheckRepeatedObservations(const ProjectState& project, const std::vector<CheckRow>& rows,
                               double k, CVelnikResultsPtrArray& results);

} // namespace Tavex

#endif
