// Taking over the host's observation records.
#ifndef TAVEX_PROJECT_SET_OBSERVATIONS_H
#define TAVEX_PROJECT_SET_OBSERVATIONS_H

#include "project/project_state.h"

namespace Tavex {

// Appends one CObservation per record of kind 4, 5, 6, 7 or 100 at positions
// 1..n (records of other kinds are skipped), updates the presence flags,
// determines the adjustment mode and normalises the direction sets. Each
// observation keeps its own host record for the results, so arrays of
// several calls all stay in use. The direction sets of a station are
// numbered from the set numbers of its records, over all calls. A null
// array with n > 0 changes nothing, logs warning 717 and returns 0. Returns
// 0, having stored nothing, when the records are more than a project may
// hold or memory runs out (error 736, or 400 with the observation list);
// every later run then fails.
int TakeOverObservations(ProjectState& project, _OBSERVATION* records, unsigned n);

// The kernel's copy of one record, or null for a kind that is not taken.
CObservation* ObservationFromRecord(const _OBSERVATION& record);

// Subtracts at every station the smallest set number of its directions from
// the set numbers of those directions, so that every station's sets start at
// 0.
void NormaliseDirectionSets(CObsPtrArray& observations);

} // namespace Tavex

#endif
