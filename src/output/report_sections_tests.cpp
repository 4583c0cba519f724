// The test sections: the test of known coordinates with its estimated
// errors, and the observation tests with theirs.
#include "output/report_sections.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/row_results.h"
#include "testing/test_lists.h"

#include <cmath>

namespace Tavex {

namespace {

constexpr int kCodeWidth = 4;
constexpr int kTestWidth = 8;
constexpr int kValueWidth = 10;
constexpr int kRatioWidth = 7;
constexpr int kErrorWidth = 12;
constexpr int kMdbWidth = 12;
constexpr int kMdbnWidth = 7;
constexpr int kRedWidth = 4;
constexpr int kBnrWidth = 6;

// A value of a row in its unit: an angle for angle rows, a length otherwise.
CKZString RowValue(const ReportContext& c, bool angle, double value, int width) {
    return angle ? AngleField(c.units, value, width, AngleUse::Signed)
                 : LengthField(c.units, value, width);
}

// The columns of one row's tests and reliability.
struct Columns {
    bool tests = false;       // W-test (and T-test) columns
    bool reliability = false; // MDB, MDBn, Red, bias-to-noise ratio
    bool groupTests = false;  // a T-test column
};

void HeadColumns(const Columns& k, ReportLine& captions, ReportLine& head) {
    if (k.tests) {
        captions.Left(Label(STR_HEADING_TESTING), kTestWidth + kMarkWidth);
        head.Right(Label(STR_LABEL_W_TEST), kTestWidth + kMarkWidth);
        if (k.groupTests) {
            captions.Skip(kTestWidth + kMarkWidth);
            head.Right(Label(STR_LABEL_T_TEST), kTestWidth + kMarkWidth);
        }
    }
    if (k.reliability) {
        captions.Left(Label(STR_HEADING_REDUNDANCY), kMdbWidth);
        head.Right(Label(STR_LABEL_MDB), kMdbWidth)
            .Right(Label(STR_LABEL_MDBN), kMdbnWidth)
            .Right(Label(STR_LABEL_RED), kRedWidth)
            .Right(Label(STR_LABEL_BNR), kBnrWidth);
    }
}

void RowColumns(const ReportContext& c, const Columns& k, std::size_t r, bool angle,
                const CTTest* group, ReportLine& line) {
    const RowResult result = ResultOf(c.p, c.e, r);
    if (k.tests) {
        line.Test(result.w, kTestWidth, 2, result.rejected);
        if (k.groupTests) {
            if (group)
                line.Test(group->T, kTestWidth, 2, group->ratio > 1.0);
            else
                line.Skip(kTestWidth + kMarkWidth);
        }
    }
    if (k.reliability) {
        // "%*.*f" with the redundancy number in per cent (4.0) and the bias-
        // to-noise ratio (6.1).
        line.Right(RowValue(c, angle, result.mdb, kMdbWidth), kMdbWidth)
            .Number(result.mdb / std::max(result.sd, 1e-32), kMdbnWidth, 1)
            .Number(result.redundancy, kRedWidth, 0)
            .Number(result.bnr, kBnrWidth, 1);
    }
}

const CTTest* StationTestOf(const EngineState& e, std::uint32_t station) {
    const auto& tests = e.results.stationTests;
    return station < tests.size() ? tests[station].get() : nullptr;
}

const CTTest* GroupTestOf(const EngineState& e, std::uint32_t observation) {
    const auto& tests = e.results.observationTests;
    return observation < tests.size() ? tests[observation].get() : nullptr;
}

bool HasGroupTests(const EngineState& e) {
    for (const auto& test : e.results.observationTests)
        if (test)
            return true;
    return false;
}

bool HasAntennaTests(const EngineState& e) {
    for (const auto& test : e.results.antennaTests)
        if (test)
            return true;
    return false;
}

// The table of a W-test list: names, the largest value with its mark, the
// estimated error and the factor (ratio).
void WTestList(const ReportContext& c, const CTestList& list, bool stations) {
    if (list.Entries().empty()) {
        WriteLine(c, Label(STR_LABEL_NONE));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth);
    if (!stations)
        head.Left(Label(STR_LABEL_TARGET), c.nameWidth);
    head.Left(Label(STR_LABEL_CODE), kCodeWidth)
        .Right(Label(STR_LABEL_LARGEST), kValueWidth + kMarkWidth)
        .Right(Label(STR_LABEL_ESTIMATED_ERROR), kErrorWidth)
        .Right(Label(STR_LABEL_FACTOR), kRatioWidth);
    WriteLine(c, head.Text());
    for (const CTest& t : list.Entries()) {
        const RowName name = NameOfTestEntry(c.p, t);
        ReportLine line;
        line.Left(name.station, c.nameWidth);
        if (!stations)
            line.Left(name.target, c.nameWidth);
        line.Left(name.code, kCodeWidth)
            .Test(t.value, kValueWidth, 2, t.ratio > 1.0)
            .Right(EstimatedErrorField(c, t, t.estimatedError[0], kErrorWidth), kErrorWidth)
            .Number(t.ratio, kRatioWidth, 2);
        WriteLine(c, line.Text());
    }
}

// The three estimated errors of a group test under component labels.
void ThreeErrorsHead(ReportLine& head, const int (&labels)[3]) {
    for (int id : labels)
        head.Right(Label(id), kErrorWidth);
}

} // namespace

CKZString EstimatedErrorField(const ReportContext& c, const CTest& t, double value, int width) {
    return RowValue(c, IsAngleKind(t.kind) && t.dimension == 1, value, width);
}

bool HasKnownCoordinateTest(const ReportContext& c) {
    if (c.p.Phase == PHASE_FREE || !c.reliability)
        return false;
    for (std::size_t r = c.e.observationRows + 1; r <= c.e.Rows(); ++r)
        if (c.e.rows[r].IsDatum())
            return true;
    return false;
}

void WriteKnownCoordinateTest(const ReportContext& c, bool reliabilityColumns) {
    WriteHeading(c, STR_HEADING_KNOWN_TEST);
    Columns k;
    k.tests = c.tested;
    k.groupTests = c.tested;
    k.reliability = reliabilityColumns || c.design;
    ReportLine captions, head;
    captions.Skip(c.nameWidth).Skip(kCodeWidth);
    head.Left(Label(STR_LABEL_STATION), c.nameWidth).Left(Label(STR_LABEL_CODE), kCodeWidth);
    HeadColumns(k, captions, head);
    WriteLine(c, captions.Text());
    WriteLine(c, head.Text());
    std::uint32_t previous = 0;
    for (std::size_t r = c.e.observationRows + 1; r <= c.e.Rows(); ++r) {
        const ObservationRow& row = c.e.rows[r];
        if (!row.IsDatum())
            continue;
        const bool first = row.source != previous;
        previous = row.source;
        ReportLine line;
        line.Left(first ? StationName(c.p, row.source) : CKZString(), c.nameWidth)
            .Left(CodeOfKind(row.kind, row.sub), kCodeWidth);
        RowColumns(c, k, r, false, first ? StationTestOf(c.e, row.source) : nullptr, line);
        WriteLine(c, line.Text());
    }
}

void WriteKnownCoordinateErrors(const ReportContext& c) {
    if (!c.tested)
        return;
    WriteHeading(c, STR_HEADING_COORDINATE_ERRORS);
    WTestList(c, RejectedCoordinateWTests(c.p, c.e, kReportListLength), true);
    WriteHeading(c, STR_HEADING_STATION_ERRORS);
    const CTestList stations = RejectedStationTTests(c.p, c.e, kReportListLength);
    if (stations.Entries().empty()) {
        WriteLine(c, Label(STR_LABEL_NONE));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Right(Label(STR_LABEL_TEST_DIMENSION), kCodeWidth)
        .Right(Label(STR_LABEL_LARGEST), kValueWidth + kMarkWidth)
        .Right(Label(STR_LABEL_FACTOR), kRatioWidth);
    ThreeErrorsHead(head, {STR_LABEL_NORTH, STR_LABEL_EAST, STR_LABEL_UP});
    WriteLine(c, head.Text());
    for (const CTest& t : stations.Entries()) {
        ReportLine line;
        line.Left(StationName(c.p, t.index), c.nameWidth)
            .Number(t.dimension, kCodeWidth, 0)
            .Test(t.value, kValueWidth, 2, t.ratio > 1.0)
            .Number(t.ratio, kRatioWidth, 2);
        // A height test alone keeps its error in the first slot.
        if (t.dimension == 1)
            line.Skip(kErrorWidth).Skip(kErrorWidth);
        for (int j = 0; j < t.dimension && j < 3; ++j)
            line.Right(LengthField(c.units, t.estimatedError[j], kErrorWidth), kErrorWidth);
        WriteLine(c, line.Text());
    }
}

void WriteObservationTests(const ReportContext& c, bool reliabilityColumns) {
    WriteHeading(c, STR_HEADING_OBSERVATION_TESTS);
    Columns k;
    k.tests = c.tested;
    k.groupTests = c.tested && HasGroupTests(c.e);
    k.reliability = c.reliability && (reliabilityColumns || c.design);
    ReportLine captions, head;
    captions.Skip(c.nameWidth).Skip(c.nameWidth).Skip(kCodeWidth);
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Left(Label(STR_LABEL_CODE), kCodeWidth);
    HeadColumns(k, captions, head);
    WriteLine(c, captions.Text());
    WriteLine(c, head.Text());
    for (std::size_t r = 1; r <= c.e.observationRows; ++r) {
        const ObservationRow& row = c.e.rows[r];
        const RowName name = NameOfRow(c.p, c.e, r);
        const bool groupStart =
            (row.kind == ROW_GPS_BASELINE || row.kind == ROW_GPS_COORDINATE) && row.sub == 0;
        ReportLine line;
        line.Left(name.station, c.nameWidth)
            .Left(name.target, c.nameWidth)
            .Left(name.code, kCodeWidth);
        RowColumns(c, k, r, name.angle, groupStart ? GroupTestOf(c.e, row.source) : nullptr, line);
        WriteLine(c, line.Text());
    }
    if (!c.tested || !HasAntennaTests(c.e))
        return;
    // The direction tests of the GPS groups along north, east and up.
    WriteLine(c, CKZString());
    WriteLine(c, Label(STR_HEADING_ANTENNA_TEST));
    ReportLine antennaHead;
    antennaHead.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Right(Label(STR_LABEL_NORTH), kTestWidth + kMarkWidth)
        .Right(Label(STR_LABEL_EAST), kTestWidth + kMarkWidth)
        .Right(Label(STR_LABEL_UP), kTestWidth + kMarkWidth)
        .Right(Label(STR_LABEL_FACTOR), kRatioWidth);
    WriteLine(c, antennaHead.Text());
    const double criticalW = c.p.Critical.criticalW;
    for (std::uint32_t k2 = 1; k2 < c.e.results.antennaTests.size(); ++k2) {
        const CHTest* test = c.e.results.antennaTests[k2].get();
        const CObservation* o = c.p.Observations.GetAt(static_cast<int>(k2));
        if (test == nullptr || o == nullptr)
            continue;
        ReportLine line;
        line.Left(StationName(c.p, o->Station), c.nameWidth)
            .Left(o->IsSingleStation() ? CKZString() : StationName(c.p, o->Target), c.nameWidth)
            .Test(test->w[0], kTestWidth, 2, false)
            .Test(test->w[1], kTestWidth, 2, false)
            .Test(test->w[2], kTestWidth, 2, test->Rejected(criticalW))
            .Number(test->ratio, kRatioWidth, 2);
        WriteLine(c, line.Text());
    }
}

void WriteObservationErrors(const ReportContext& c) {
    if (!c.tested)
        return;
    WriteHeading(c, STR_HEADING_OBSERVATION_ERRORS);
    WTestList(c, RejectedObservationWTests(c.p, c.e, kReportListLength), false);
    if (HasGroupTests(c.e)) {
        WriteHeading(c, STR_HEADING_GROUP_ERRORS);
        const CTestObsArray groups = RejectedGroupTTests(c.p, c.e, kReportListLength);
        if (groups.Entries().empty()) {
            WriteLine(c, Label(STR_LABEL_NONE));
        } else {
            ReportLine head;
            head.Left(Label(STR_LABEL_STATION), c.nameWidth)
                .Left(Label(STR_LABEL_TARGET), c.nameWidth)
                .Right(Label(STR_LABEL_LARGEST), kValueWidth + kMarkWidth)
                .Right(Label(STR_LABEL_FACTOR), kRatioWidth)
                .Right(L"DX", kErrorWidth)
                .Right(L"DY", kErrorWidth)
                .Right(L"DZ", kErrorWidth);
            WriteLine(c, head.Text());
            for (const CTestObs& entry : groups.Entries()) {
                const auto& test = static_cast<const CTTest&>(*entry.test);
                ReportLine line;
                line.Left(StationName(c.p, entry.observation->Station), c.nameWidth)
                    .Left(entry.observation->IsSingleStation()
                              ? CKZString()
                              : StationName(c.p, entry.observation->Target),
                          c.nameWidth)
                    .Test(test.T, kValueWidth, 2, test.ratio > 1.0)
                    .Number(test.ratio, kRatioWidth, 2);
                for (double error : test.estimatedError)
                    line.Right(LengthField(c.units, error, kErrorWidth), kErrorWidth);
                WriteLine(c, line.Text());
            }
        }
    }
    if (!HasAntennaTests(c.e))
        return;
    WriteHeading(c, STR_HEADING_ANTENNA_ERRORS);
    const CTestObsArray antennas = RejectedAntennaTests(c.p, c.e, kReportListLength);
    if (antennas.Entries().empty()) {
        WriteLine(c, Label(STR_LABEL_NONE));
        return;
    }
    ReportLine head;
    head.Left(Label(STR_LABEL_STATION), c.nameWidth)
        .Left(Label(STR_LABEL_TARGET), c.nameWidth)
        .Right(Label(STR_LABEL_LARGEST), kValueWidth + kMarkWidth)
        .Right(Label(STR_LABEL_ESTIMATED_ERROR), kErrorWidth)
        .Right(Label(STR_LABEL_FACTOR), kRatioWidth)
        .Right(Label(STR_LABEL_MDB), kMdbWidth);
    WriteLine(c, head.Text());
    for (const CTestObs& entry : antennas.Entries()) {
        const auto& test = static_cast<const CHTest&>(*entry.test);
        ReportLine line;
        line.Left(StationName(c.p, entry.observation->Station), c.nameWidth)
            .Left(entry.observation->IsSingleStation()
                      ? CKZString()
                      : StationName(c.p, entry.observation->Target),
                  c.nameWidth)
            .Test(test.w[2], kValueWidth, 2, true)
            .Right(LengthField(c.units, test.estimatedError[2], kErrorWidth), kErrorWidth)
            .Number(test.ratio, kRatioWidth, 2)
            .Right(LengthField(c.units, test.mdb[2], kMdbWidth), kMdbWidth);
        WriteLine(c, line.Text());
    }
}

} // namespace Tavex
