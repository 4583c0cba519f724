// How SetStations and SetObservations fail: they take over a whole array or
// nothing. A call they cannot complete leaves the project as it was, logs an
// error, and marks the project incomplete, so that every run fails (error
// 737) until the next Initialize instead of computing without those records.
#ifndef TAVEX_PROJECT_SETTER_FAILURE_H
#define TAVEX_PROJECT_SETTER_FAILURE_H

#include "project/project_state.h"

namespace Tavex {

// The most stations and observation records one project may hold. Station
// and row numbers are 32-bit; these keep every count derived from them (3
// rows per record, unknowns per station) far inside that range.
inline constexpr unsigned kMaxStations = 10'000'000;
inline constexpr unsigned kMaxObservationRecords = 50'000'000;

// A call of n records when the project can take only `limit` more: error
// 736. Returns 0.
int RefuseRecordCount(ProjectState& project, unsigned n, unsigned limit);

// A call whose tables could not be allocated: error 400 with the name of
// the table (string structureId). Returns 0.
int RefuseForMemory(ProjectState& project, int structureId);

} // namespace Tavex

#endif
