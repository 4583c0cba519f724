// The summary of the result document (header, counts, test parameters,
// projection constants, test summary, variance components) and the table of
// the rejected tests.
#include "engine/datum_rows.h"
#include "output/adjustment_output.h"
#include "output/document_sections.h"
#include "output/report_format.h"
#include "output/report_switches.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/test_lists.h"

namespace Tavex {

namespace {

void Item(CTXXmlNode& list, const char* name, int label, double value,
          const char* unit = kXmlUnitNone) {
    CTXXmlNode item;
    list.InsertSummaryItem({name, Label(label), value, unit}, item);
}

void CountList(CTXXmlNode& summary, const ProjectState& p, const EngineState& e) {
    CTXXmlNode list;
    summary.InsertSummaryList({"counts", Label(STR_UNKNOWNS)}, list);
    const UnknownCounts& u = e.unknownCounts;
    const RowCounts& r = e.counts;
    Item(list, "stations", STR_LABEL_STATION_COUNT, p.StationCount);
    Item(list, "unknowns", STR_UNKNOWNS, static_cast<double>(e.Unknowns()));
    Item(list, "coordinateUnknowns", STR_LABEL_COORDINATES, u.coordinates);
    Item(list, "orientations", STR_KIND_ORIENTATIONS, u.orientations);
    Item(list, "scaleFactors", STR_KIND_SCALE_FACTORS, u.scaleFactors);
    Item(list, "refractionCoefficients", STR_KIND_REFRACTION, u.refractionCoefficients);
    Item(list, "azimuthOffsets", STR_KIND_AZIMUTH_OFFSETS, u.azimuthOffsets);
    Item(list, "gpsParameters", STR_KIND_GPS_PARAMETERS, u.gpsParameters);
    Item(list, "observations", STR_LABEL_OBSERVATIONS, static_cast<double>(e.Rows()));
    Item(list, "directions", STR_KIND_DIRECTIONS, r.directions);
    Item(list, "distances", STR_KIND_DISTANCES, r.distances);
    Item(list, "zenithAngles", STR_KIND_ZENITH_ANGLES, r.zenithAngles);
    Item(list, "trigonometricHeights", STR_KIND_TRIG_HEIGHTS, r.trigonometricHeights);
    Item(list, "azimuths", STR_KIND_AZIMUTHS, r.azimuths);
    Item(list, "heightDifferences", STR_KIND_HEIGHT_DIFFERENCES, r.heightDifferences);
    Item(list, "gpsBaselines", STR_KIND_GPS_BASELINES, r.gpsBaselines);
    Item(list, "gpsCoordinates", STR_KIND_GPS_COORDINATES, r.gpsCoordinates);
    Item(list, "relations", STR_KIND_RELATIONS, r.relations);
    Item(list, "datumPseudoObservations", STR_LABEL_DATUM_PSEUDO, r.datum + r.innerConstraints);
    Item(list, "transformationPseudoObservations", STR_LABEL_TRANSFORMATION_PSEUDO,
         r.transformation);
    Item(list, "redundancy", STR_REDUNDANCY,
         static_cast<double>(e.Rows()) - static_cast<double>(e.Unknowns()));
    if (p.AdjDesign)
        return;
    Item(list, "iterations", STR_STAGE_ITERATION, e.iterations);
    Item(list, "largestCorrection", STR_LABEL_LARGEST_CORRECTION, e.largestCorrection,
         kXmlUnitMetre);
}

void TestParameterList(CTXXmlNode& summary, const ProjectState& p, const EngineState& e) {
    const CriticalValues& v = p.Critical;
    CTXXmlNode list;
    summary.InsertSummaryList({"testParameters", Label(STR_HEADING_TESTING)}, list);
    Item(list, "alpha", STR_LABEL_ALPHA, 1.0 - v.confidenceF);
    Item(list, "alpha0", STR_LABEL_ALPHA0, p.Alfa0);
    Item(list, "beta", STR_LABEL_BETA, p.Beta);
    Item(list, "criticalW", STR_LABEL_CRITICAL_W, v.criticalW);
    if (p.Dimension != 1) {
        Item(list, "criticalT3", STR_LABEL_CRITICAL_T3, v.criticalT3);
        Item(list, "criticalT2", STR_LABEL_CRITICAL_T2, v.criticalT2);
    }
    if (e.Unknowns() < e.Rows())
        Item(list, "criticalF", STR_LABEL_CRITICAL_F, v.criticalF);
    Item(list, "sigma0", STR_LABEL_SIGMA0, p.Sigma0);
}

void ProjectionList(CTXXmlNode& summary, const ProjectState& p) {
    const COutputSystem* system = p.CurrentProjection.get();
    if (system == nullptr)
        return;
    CTXXmlNode list;
    summary.InsertSummaryList({"projection", Label(STR_HEADING_PROJECTION)}, list);
    Item(list, "projectionCode", STR_LABEL_PROJECTION, system->nGetProjection());
    Item(list, "ellipsoidCode", STR_LABEL_ELLIPSOID, system->nGetEllipsoid());
    Item(list, "semiMajorAxis", STR_LABEL_SEMI_MAJOR_AXIS, system->dGetSemiMajAx(), kXmlUnitMetre);
    Item(list, "inverseFlattening", STR_LABEL_INVERSE_FLATTENING, system->dGetInvFlatt());
    if (p.ProjectionType != 0) {
        Item(list, "latitudeOrigin", STR_LABEL_LATITUDE_ORIGIN, system->dGetLatOrigin(),
             kXmlUnitRadian);
        Item(list, "centralMeridian", STR_LABEL_CENTRAL_MERIDIAN, system->dGetLonOriginCM(),
             kXmlUnitRadian);
        Item(list, "standardParallel1", STR_LABEL_STANDARD_PARALLEL_1, system->dGetStandPar1(),
             kXmlUnitRadian);
        Item(list, "standardParallel2", STR_LABEL_STANDARD_PARALLEL_2, system->dGetStandPar2(),
             kXmlUnitRadian);
        Item(list, "scaleFactor", STR_KIND_SCALE_FACTORS, system->dGetProjScaleFac());
        Item(list, "falseEasting", STR_LABEL_FALSE_EASTING, system->dGetFalseEasting(),
             kXmlUnitMetre);
        Item(list, "falseNorthing", STR_LABEL_FALSE_NORTHING, system->dGetFalseNorthing(),
             kXmlUnitMetre);
    }
    Item(list, "meanEarthRadius", STR_LABEL_MEAN_EARTH_RADIUS, p.MeanEarthRadius, kXmlUnitMetre);
}

// The record of a test-list entry.
TXXML_TEST TestRecord(const ProjectState& p, const CTest& t) {
    const RowName name = NameOfTestEntry(p, t);
    TXXML_TEST record;
    const bool gps = t.kind == ROW_GPS_BASELINE || t.kind == ROW_GPS_COORDINATE;
    if (t.kind == kStationTestKind || (gps && t.dimension == 3))
        record.test = "T";
    else if (gps && t.component == 0)
        record.test = "antenna";
    record.subject = name.record != 0 ? name.record : t.index;
    record.station = name.station;
    record.target = name.target;
    record.code = name.code;
    record.rowKind = t.kind;
    record.dimension = t.dimension;
    record.component = t.component;
    record.value = t.value;
    record.ratio = t.ratio;
    record.rejected = t.ratio > 1.0 ? 1 : 0;
    record.error1 = t.estimatedError[0];
    record.error2 = t.estimatedError[1];
    record.error3 = t.estimatedError[2];
    record.unit = name.angle ? kXmlUnitRadian : kXmlUnitMetre;
    return record;
}

void InsertTests(CTXXmlNode& parent, const ProjectState& p, const CTestList& list) {
    for (const CTest& t : list.Entries()) {
        CTXXmlNode test;
        parent.InsertTest(TestRecord(p, t), test);
    }
}

// A list of group tests (T-tests or antenna height tests) as test entries.
void InsertGroupTests(CTXXmlNode& parent, const ProjectState& p, const CTestObsArray& list,
                      bool antenna) {
    for (const CTestObs& entry : list.Entries()) {
        TXXML_TEST record;
        record.subject = entry.observation->Record;
        record.station = StationName(p, entry.observation->Station);
        record.target = StationName(p, entry.observation->Target);
        record.rowKind = entry.observation->Type[0];
        record.ratio = entry.test->ratio;
        record.rejected = 1;
        if (antenna) {
            const auto& h = static_cast<const CHTest&>(*entry.test);
            record.test = "antenna";
            record.code = Label(STR_LABEL_UP);
            record.value = h.w[2];
            record.error1 = h.estimatedError[2];
        } else {
            const auto& t = static_cast<const CTTest&>(*entry.test);
            record.test = "T";
            record.code = CodeOfKind(kStationTestKind, 0);
            record.dimension = static_cast<int>(t.dimension);
            record.value = t.T;
            record.error1 = t.estimatedError[0];
            record.error2 = t.estimatedError[1];
            record.error3 = t.estimatedError[2];
        }
        CTXXmlNode test;
        parent.InsertTest(record, test);
    }
}

} // namespace

TXXML_PROJECT ProjectRecord(const ProjectState& p, const EngineState& e) {
    TXXML_PROJECT record = MakeProject(p.NetworkName);
    record.stationCount = static_cast<int>(p.StationCount);
    record.knownStationCount = static_cast<int>(p.KnownCount);
    record.observationCount = p.Observations.Count();
    record.redundancy = static_cast<int>(e.Rows()) - static_cast<int>(e.Unknowns());
    record.varianceFactor = p.AdjDesign ? 0.0 : e.varianceFactor;
    return record;
}

void InsertSummarySection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    const bool design = p.AdjDesign != 0;
    TXXML_SUMMARY record;
    record.design = design ? 1 : 0;
    record.dimension = p.Dimension;
    record.adjustmentType = p.Phase;
    record.title = Label(CoordinatesTitle(p, e));
    CTXXmlNode summary;
    project.InsertSummary(record, summary);

    TXXML_SUMMARYHEADER header;
    header.runName = Label(design ? STR_TITLE_DESIGN : STR_TITLE_ADJUSTMENT);
    header.networkName = p.NetworkName;
    header.dateTime = LocalTimeText();
    header.version = kKernelVersion;
    CTXXmlNode headerNode;
    summary.InsertSummaryHeader(header, headerNode);

    CountList(summary, p, e);
    TestParameterList(summary, p, e);
    if (SwitchOn(p, SLOT_PROJECTION))
        ProjectionList(summary, p);

    const bool tested = !design && e.results.tested;
    const bool redundant = e.Unknowns() < e.Rows();
    TXXML_TESTSUMMARY tests;
    tests.title = Label(STR_HEADING_TEST_SUMMARY);
    tests.tested = tested ? 1 : 0;
    tests.varianceFactor = design ? 0.0 : e.varianceFactor;
    tests.criticalF = redundant ? p.Critical.criticalF : 0.0;
    if (!design && redundant)
        tests.fTest = e.varianceFactor <= p.Critical.criticalF ? 1 : 0;
    tests.aPosteriori = e.varianceFactorApplied ? 1 : 0;
    CTXXmlNode testNode;
    summary.InsertTestSummary(tests, testNode);
    if (tested)
        InsertTests(testNode, p, TestSummary(p, e));

    // The variance components of the final solution, one element per group.
    const VarianceComponents& v = e.variance;
    TXXML_VARIANCECOMPONENT components;
    components.title = Label(STR_VARIANCE_COMPONENTS);
    const bool computed = !design && redundant && v.estimated;
    components.computed = computed ? 1 : 0;
    components.groups = computed ? static_cast<int>(v.groups.size()) : 0;
    components.mode = p.VarComponent;
    components.passes = static_cast<int>(v.passes);
    CTXXmlNode componentNode;
    summary.InsertVarianceComponent(components, componentNode);
    if (!computed)
        return;
    for (const VarianceGroup& g : v.groups) {
        CTXXmlNode node;
        componentNode.InsertChild("Group",
                                  {{"key", g.key},
                                   {"kind", g.kind},
                                   {"estimate", g.estimate},
                                   {"redundancy", g.redundancy},
                                   {"factor", g.factor}},
                                  node);
    }
}

void InsertTestTable(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    CTXXmlNode table;
    project.InsertTables({"testStatistics", Label(STR_HEADING_TESTING)}, table);
    if (p.AdjDesign || !e.results.tested)
        return;
    const auto list = [&](const char* name, int title) {
        CTXXmlNode node;
        table.InsertTestList({name, Label(title)}, node);
        return node;
    };
    CTXXmlNode observations = list("observationW", STR_HEADING_OBSERVATION_ERRORS);
    InsertTests(observations, p, RejectedObservationWTests(p, e, kReportListLength));
    CTXXmlNode coordinates = list("coordinateW", STR_HEADING_COORDINATE_ERRORS);
    InsertTests(coordinates, p, RejectedCoordinateWTests(p, e, kReportListLength));
    CTXXmlNode stations = list("stationT", STR_HEADING_STATION_ERRORS);
    InsertTests(stations, p, RejectedStationTTests(p, e, kReportListLength));
    CTXXmlNode groups = list("groupT", STR_HEADING_GROUP_ERRORS);
    InsertGroupTests(groups, p, RejectedGroupTTests(p, e, kReportListLength), false);
    CTXXmlNode antennas = list("antenna", STR_HEADING_ANTENNA_ERRORS);
    InsertGroupTests(antennas, p, RejectedAntennaTests(p, e, kReportListLength), true);
}

} // namespace Tavex
