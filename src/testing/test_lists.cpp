#include "testing/test_lists.h"

#include "testing/row_results.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;
constexpr std::uint16_t kFirstPseudoKind = 20;
constexpr std::uint16_t kFirstUntestedKind = 35;

// Whether the test step left W-tests to list.
bool Tested(const ProjectState& p, const EngineState& e) {
    return e.results.tested && p.Critical.criticalW > 0.0 && e.results.w.size() == e.Rows() + 1;
}

double WRatio(const ProjectState& p, const EngineState& e, std::size_t r) {
    return std::fabs(e.results.w[r]) / p.Critical.criticalW;
}

// The W-test entry of row r under index; the value is w, or |w| (floored)
// for the summary.
CTest WEntry(const ProjectState& p, const EngineState& e, std::size_t r, std::uint32_t index,
             bool absolute) {
    const ObservationRow& row = e.rows[r];
    const RowResult result = ResultOf(p, e, r);
    CTest entry;
    entry.index = index;
    entry.kind = row.kind;
    entry.sub = row.sub;
    entry.dimension = 1;
    entry.component = row.component;
    entry.value = absolute ? std::max(std::fabs(result.w), kFloor) : result.w;
    entry.ratio = WRatio(p, e, r);
    entry.estimatedError[0] = result.estimatedError;
    return entry;
}

CTest GroupEntry(std::uint32_t index, std::uint16_t kind, const CTTest& test) {
    CTest entry;
    entry.index = index;
    entry.kind = kind;
    entry.dimension = static_cast<std::uint16_t>(test.dimension);
    entry.value = test.T;
    entry.ratio = test.ratio;
    std::copy(test.estimatedError, test.estimatedError + 3, entry.estimatedError);
    return entry;
}

const CTTest* StationTest(const EngineState& e, std::uint32_t station) {
    const auto& tests = e.results.stationTests;
    return station < tests.size() ? tests[station].get() : nullptr;
}
const CTTest* GroupTest(const EngineState& e, std::uint32_t observation) {
    const auto& tests = e.results.observationTests;
    return observation < tests.size() ? tests[observation].get() : nullptr;
}
const CHTest* AntennaTest(const EngineState& e, std::uint32_t observation) {
    const auto& tests = e.results.antennaTests;
    return observation < tests.size() ? tests[observation].get() : nullptr;
}

// The number of consecutive coordinate rows of the known station that row r
// starts (at most 3).
std::size_t StationRows(const EngineState& e, std::size_t r) {
    std::size_t size = 1;
    while (size < 3 && r + size <= e.Rows() && e.rows[r + size].IsDatum() &&
           e.rows[r + size].source == e.rows[r].source)
        ++size;
    return size;
}

// Whether rows r, r+1, r+2 are the three components of one GPS observation.
bool GpsGroupAt(const EngineState& e, std::size_t r) {
    const ObservationRow& row = e.rows[r];
    if ((row.kind != ROW_GPS_BASELINE && row.kind != ROW_GPS_COORDINATE) || row.sub != 0 ||
        r + 2 > e.Rows())
        return false;
    return e.rows[r + 1].source == row.source && e.rows[r + 2].source == row.source &&
           e.rows[r + 1].kind == row.kind && e.rows[r + 2].kind == row.kind;
}

double LargestWRatio(const ProjectState& p, const EngineState& e, std::size_t first,
                     std::size_t size) {
    double largest = 0.0;
    for (std::size_t k = first; k < first + size; ++k)
        largest = std::max(largest, WRatio(p, e, k));
    return largest;
}

void InsertRejectedW(const ProjectState& p, const EngineState& e, std::size_t first,
                     std::size_t size, std::uint32_t index, CTestList& list) {
    for (std::size_t k = first; k < first + size; ++k)
        if (WRatio(p, e, k) > 1.0)
            list.Insert(WEntry(p, e, k, index, true));
}

// The summary entries of a known station's rows; returns the rows used.
std::size_t SummariseStation(const ProjectState& p, const EngineState& e, std::size_t r,
                             CTestList& list) {
    const std::size_t size = StationRows(e, r);
    const std::uint32_t station = e.rows[r].source;
    const CTTest* test = StationTest(e, station);
    if (test == nullptr || test->dimension < 2 || test->dimension != size) {
        InsertRejectedW(p, e, r, 1, station, list);
        return 1;
    }
    if (test->ratio >= LargestWRatio(p, e, r, size) && test->ratio > 1.0)
        list.Insert(GroupEntry(station, kStationTestKind, *test));
    else
        InsertRejectedW(p, e, r, size, station, list);
    return size;
}

void SummariseGps(const ProjectState& p, const EngineState& e, std::size_t r, CTestList& list) {
    const ObservationRow& row = e.rows[r];
    const CTTest* test = GroupTest(e, row.source);
    const CHTest* antenna = AntennaTest(e, row.source);
    const double largestW = LargestWRatio(p, e, r, 3);
    const double tRatio = test ? test->ratio : 0.0;
    const double hRatio = antenna && antenna->Rejected(p.Critical.criticalW) ? antenna->ratio : 0.0;
    if (test && tRatio >= largestW && tRatio >= hRatio && tRatio > 1.0) {
        CTest entry = GroupEntry(row.source, row.kind, *test);
        entry.dimension = 3;
        entry.component = 1;
        list.Insert(entry);
    } else if (hRatio >= largestW && hRatio > 1.0) {
        CTest entry;
        entry.index = row.source;
        entry.kind = row.kind;
        entry.dimension = 1;
        entry.value = antenna->w[2];
        entry.ratio = antenna->ratio;
        entry.estimatedError[0] = antenna->estimatedError[2];
        list.Insert(entry);
    } else {
        InsertRejectedW(p, e, r, 3, row.source, list);
    }
}

} // namespace

void CTestObsArray::Insert(const CTestObs& entry) {
    auto at = entries_.begin();
    while (at != entries_.end() && at->test->ratio > entry.test->ratio)
        ++at;
    entries_.insert(at, entry);
}

void CTestObsArray::Truncate(std::size_t length) {
    if (entries_.size() > length)
        entries_.resize(length);
}

CTestList RejectedObservationWTests(const ProjectState& p, const EngineState& e,
                                    std::size_t length) {
    CTestList list;
    if (!Tested(p, e))
        return list;
    for (std::size_t r = 1; r <= e.Rows(); ++r)
        if (e.rows[r].kind < kFirstPseudoKind && WRatio(p, e, r) > 1.0)
            list.Insert(WEntry(p, e, r, e.rows[r].source, false));
    list.Truncate(length);
    return list;
}

CTestList RejectedCoordinateWTests(const ProjectState& p, const EngineState& e,
                                   std::size_t length) {
    CTestList list;
    if (!Tested(p, e))
        return list;
    for (std::size_t r = 1; r <= e.Rows(); ++r) {
        const std::uint16_t kind = e.rows[r].kind;
        if (kind > 20 && kind < kFirstUntestedKind && WRatio(p, e, r) > 1.0)
            list.Insert(WEntry(p, e, r, e.rows[r].source, false));
    }
    list.Truncate(length);
    return list;
}

CTestList RejectedStationTTests(const ProjectState& p, const EngineState& e, std::size_t length) {
    CTestList list;
    if (!Tested(p, e))
        return list;
    for (std::uint32_t s = 1; s < e.results.stationTests.size(); ++s) {
        const CTTest* test = StationTest(e, s);
        if (test != nullptr && test->ratio > 1.0 && s <= p.StationCount && !p.Stations[s].Excluded)
            list.Insert(GroupEntry(s, kStationTestKind, *test));
    }
    list.Truncate(length);
    return list;
}

CTestObsArray RejectedGroupTTests(const ProjectState& p, const EngineState& e, std::size_t length) {
    CTestObsArray list;
    if (!Tested(p, e))
        return list;
    for (std::uint32_t k = 1; k < e.results.observationTests.size(); ++k) {
        const CTTest* test = GroupTest(e, k);
        if (test != nullptr && test->ratio > 1.0)
            list.Insert({test, p.Observations.GetAt(static_cast<int>(k)), k});
    }
    list.Truncate(length);
    return list;
}

CTestObsArray RejectedAntennaTests(const ProjectState& p, const EngineState& e,
                                   std::size_t length) {
    CTestObsArray list;
    if (!Tested(p, e))
        return list;
    for (std::uint32_t k = 1; k < e.results.antennaTests.size(); ++k) {
        const CHTest* test = AntennaTest(e, k);
        if (test != nullptr && test->Rejected(p.Critical.criticalW))
            list.Insert({test, p.Observations.GetAt(static_cast<int>(k)), k});
    }
    list.Truncate(length);
    return list;
}

CTestList TestSummary(const ProjectState& p, const EngineState& e) {
    CTestList list;
    if (!Tested(p, e))
        return list;
    const bool free = p.Phase == PHASE_FREE;
    std::size_t r = 1;
    while (r <= e.Rows()) {
        const ObservationRow& row = e.rows[r];
        if (row.kind >= kFirstUntestedKind || (free && row.kind >= kFirstPseudoKind)) {
            ++r;
        } else if (row.IsDatum()) {
            r += SummariseStation(p, e, r, list);
        } else if (GpsGroupAt(e, r)) {
            SummariseGps(p, e, r, list);
            r += 3;
        } else {
            InsertRejectedW(p, e, r, 1, row.source, list);
            ++r;
        }
    }
    return list;
}

} // namespace Tavex
