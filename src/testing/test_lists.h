// The lists of rejected tests that the reports and result documents print:
// the rejected W-tests of observations and of known coordinates, the
// rejected T-tests of known stations and of GPS observation groups, the
// rejected antenna height tests, and the test summary ("检验总结", string
// 668), which keeps for every observation group or known station only its
// most telling rejected test.
//
// All lists read the results of the test step (AdjustmentResults); a list is
// empty when the adjustment was not tested (design mode, or no redundancy
// test step). A test is rejected when its ratio (statistic over critical
// value) exceeds 1. Entries stand in descending ratio; among equal ratios
// the one inserted later stands first (CTestList::Insert).
//
// Example:
//
//   const CTestList worst = RejectedObservationWTests(project, engine, 10);
//   for (const CTest& t : worst.Entries()) ... t.index is the observation number
#ifndef TAVEX_TESTING_TEST_LISTS_H
#define TAVEX_TESTING_TEST_LISTS_H

#include "engine/engine_state.h"
#include "project/project_state.h"
#include "testing/test_records.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tavex {

// The length the reports ask for.
inline constexpr std::size_t kReportListLength = 10;
// Kind code of a station T-test entry.
inline constexpr std::uint16_t kStationTestKind = 30;

// A group test (CTTest or CHTest) together with the observation that owns
// it (number = its index in the observation list).
struct CTestObs {
    const CTestBase* test = nullptr;
    const CObservation* observation = nullptr;
    std::uint32_t number = 0;
};

// CTestObs entries in descending ratio of their test, with the insertion
// rule of CTestList.
class CTestObsArray {
public:
    void Insert(const CTestObs& entry);
    void Truncate(std::size_t length);
    const std::vector<CTestObs>& Entries() const { return entries_; }

private:
    std::vector<CTestObs> entries_;
};

// Observation rows (kinds below 20) with |w| above the critical value:
// index = observation number, kind and sub of the row, dimension 1,
// component = the row's component; value w, ratio |w| / criticalW and the
// estimated error ∇ = w MDB / √λ0 in the observation's unit (radians,
// metres).
CTestList RejectedObservationWTests(const ProjectState& project, const EngineState& engine,
                                    std::size_t length);
// The same for the coordinate rows of known stations (kinds 21 to 34), with
// the station number as index (∇ in metres).
CTestList RejectedCoordinateWTests(const ProjectState& project, const EngineState& engine,
                                   std::size_t length);
// Known stations whose T-test ratio exceeds 1: index = station number, kind
// 30, the test's dimension; value T, ratio, and the estimated errors in the
// order of the station's coordinate rows (north, east, height; a height
// alone in the first slot), metres.
CTestList RejectedStationTTests(const ProjectState& project, const EngineState& engine,
                                std::size_t length);
// GPS observations whose group T-test ratio exceeds 1.
CTestObsArray RejectedGroupTTests(const ProjectState& project, const EngineState& engine,
                                  std::size_t length);
// GPS baselines and coordinates whose antenna height test is rejected: the
// up W-test above the critical value while north and east stay below it.
CTestObsArray RejectedAntennaTests(const ProjectState& project, const EngineState& engine,
                                   std::size_t length);

// The test summary, not truncated. Rows are walked in order, leaving out
// rows of kind 35 and above and, in a free network, all rows of kind 20 and
// above:
//  - the rows of a known station with a two- or three-dimensional T-test:
//    one station entry (kind 30, value T) when its ratio is the largest of
//    the group and above 1, otherwise a W-test entry for each of its rows
//    whose ratio is above 1;
//  - the three rows of a GPS baseline or coordinate: one T-test entry
//    (dimension 3, component 1, value T, the three estimated errors) when the
//    T-test ratio is the largest and above 1; one antenna entry (dimension 1,
//    component 0, value w_up, estimated error ∇_up) when the rejected
//    antenna height test has the largest ratio and it is above 1; otherwise a
//    W-test entry for each row whose ratio is above 1;
//  - any other row: a W-test entry when |w| is above the critical value.
// W-test entries hold |w| (at least 1e-32) as value; ties in "largest" go to
// the T-test, then to the antenna test.
CTestList TestSummary(const ProjectState& project, const EngineState& engine);

} // namespace Tavex

#endif
