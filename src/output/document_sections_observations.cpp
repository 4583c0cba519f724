// The observations of the result document with their records and group
// tests, the observation table, and the additional parameters with their
// table.
#include "engine/local_frame.h"
#include "output/document_sections.h"
#include "output/report_format.h"
#include "output/report_switches.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"
#include "testing/row_results.h"

#include <cmath>

namespace Tavex {

namespace {

void Column(CTXXmlNode& table, const char* attribute, int label, const char* unit) {
    CTXXmlNode node;
    table.InsertTableColumn({attribute, Label(label), unit}, node);
}

TXXML_OBSERVATION ObservationRecord(const ProjectState& p, const CObservation& o,
                                    std::uint32_t number) {
    TXXML_OBSERVATION record;
    record.number = number;
    record.record = o.Record;
    record.recordKind = o.RecordKind;
    record.station = StationName(p, o.Station);
    record.stationNumber = o.Station;
    if (!o.IsSingleStation()) {
        record.target = StationName(p, o.Target);
        record.targetNumber = o.Target;
    }
    record.instrumentHeight = o.StationHeight;
    record.targetHeight = o.TargetHeight;
    return record;
}

void InsertGroupTests(CTXXmlNode& observation, const ProjectState& p, const EngineState& e,
                      std::uint32_t k) {
    const AdjustmentResults& r = e.results;
    if (k < r.observationTests.size() && r.observationTests[k]) {
        const CTTest& t = *r.observationTests[k];
        TXXML_GROUPTEST record;
        record.dimension = static_cast<int>(t.dimension);
        record.T = t.T;
        record.ratio = t.ratio;
        record.rejected = t.ratio > 1.0 ? 1 : 0;
        record.error1 = t.estimatedError[0];
        record.error2 = t.estimatedError[1];
        record.error3 = t.estimatedError[2];
        CTXXmlNode node;
        observation.InsertGroupTest(record, node);
    }
    if (k < r.antennaTests.size() && r.antennaTests[k]) {
        const CHTest& h = *r.antennaTests[k];
        TXXML_ANTENNATEST record;
        record.wNorth = h.w[0];
        record.wEast = h.w[1];
        record.wUp = h.w[2];
        record.mdbNorth = h.mdb[0];
        record.mdbEast = h.mdb[1];
        record.mdbUp = h.mdb[2];
        record.errorNorth = h.estimatedError[0];
        record.errorEast = h.estimatedError[1];
        record.errorUp = h.estimatedError[2];
        record.ratio = h.ratio;
        record.rejected = h.Rejected(p.Critical.criticalW) ? 1 : 0;
        CTXXmlNode node;
        observation.InsertAntennaTest(record, node);
    }
}

struct ParameterKind {
    const char* kind;
    int label;
    const char* unit;
};

ParameterKind KindOf(const UnknownDescriptor& u) {
    switch (u.kind) {
    case UNK_ORIENTATION:
        return {"orientation", STR_KIND_ORIENTATIONS, kXmlUnitRadian};
    case UNK_SCALE:
        return {"scale", STR_KIND_SCALE_FACTORS, kXmlUnitNone};
    case UNK_REFRACTION:
        return {"refraction", STR_KIND_REFRACTION, kXmlUnitNone};
    case UNK_AZIMUTH_OFFSET:
        return {"azimuthOffset", STR_KIND_AZIMUTH_OFFSETS, kXmlUnitRadian};
    case UNK_GPS_TRANSFORMATION:
        if (u.sub >= GPS_ROTATION_X && u.sub <= GPS_ROTATION_Z)
            return {"gpsRotation", STR_LABEL_GPS_ROTATION_X + u.sub - 1, kXmlUnitRadian};
        if (u.sub == GPS_SCALE)
            return {"gpsScale", STR_LABEL_GPS_SCALE, kXmlUnitNone};
        return {"gpsTranslation", STR_LABEL_GPS_ROTATION_X + u.sub - 1, kXmlUnitMetre};
    case UNK_DEFLECTION_EAST:
        return {"deflectionEast", STR_KIND_DEFLECTIONS, kXmlUnitRadian};
    case UNK_DEFLECTION_NORTH:
        return {"deflectionNorth", STR_KIND_DEFLECTIONS, kXmlUnitRadian};
    case UNK_ADDITIONAL_ROTATION:
        return {"additionalRotation", STR_KIND_ADDITIONAL_TRANSFORMATION, kXmlUnitRadian};
    default:
        switch (LocalParameterUnitOf(u.sub)) {
        case LocalParameterUnit::Angle:
            return {"additionalParameter", STR_KIND_ADDITIONAL_TRANSFORMATION, kXmlUnitRadian};
        case LocalParameterUnit::Scale:
            return {"additionalParameter", STR_KIND_ADDITIONAL_TRANSFORMATION, kXmlUnitNone};
        default:
            return {"additionalParameter", STR_KIND_ADDITIONAL_TRANSFORMATION, kXmlUnitMetre};
        }
    }
}

} // namespace

TXXML_OBSERVATIONRECORD RowRecord(const ProjectState& p, const EngineState& e, std::size_t r,
                                  bool input, bool adjustment, bool tests) {
    const ObservationRow& row = e.rows[r];
    const RowName name = NameOfRow(p, e, r);
    const RowResult result = ResultOf(p, e, r);
    const bool design = p.AdjDesign != 0;
    TXXML_OBSERVATIONRECORD record;
    record.row = static_cast<unsigned>(r);
    record.code = name.code;
    record.rowKind = row.kind;
    record.sub = row.sub;
    record.component = row.component;
    record.unit = name.angle ? kXmlUnitRadian : kXmlUnitMetre;
    record.hasInput = input;
    record.observed = result.observed;
    record.sd = result.sd;
    record.hasAdjustment = adjustment && !design;
    record.adjusted = result.adjusted;
    record.residual = result.residual;
    record.hasPrecision = adjustment && r < e.results.sdAdjusted.size();
    record.sdAdjusted = result.sdAdjusted;
    record.hasTest = tests && !design && e.results.tested && r < e.results.w.size();
    record.w = result.w;
    record.rejected = result.rejected ? 1 : 0;
    record.estimatedError = result.estimatedError;
    record.hasReliability = tests && r < e.results.mdb.size();
    record.mdb = result.mdb;
    record.mdbn = result.mdb / std::max(result.sd, 1e-32);
    record.redundancy = result.redundancy;
    record.bnr = result.bnr;
    return record;
}

void InsertObservationSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    CTXXmlNode observations;
    project.InsertChild("Observations", observations);
    const bool input = SwitchOn(p, SLOT_INPUT_OBSERVATIONS);
    const bool adjustment = SwitchOn(p, SLOT_OBSERVATIONS);
    const bool tests = SwitchOn(p, SLOT_TEST_COLUMNS);
    CTXXmlNode observation;
    std::uint32_t current = 0;
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const std::uint32_t k = e.rows[r].source;
        if (k != current) {
            current = k;
            const CObservation* o = p.Observations.GetAt(static_cast<int>(k));
            if (o == nullptr)
                continue;
            observation.Unbind();
            observations.InsertObservation(ObservationRecord(p, *o, k), observation);
            if (tests && !p.AdjDesign && e.results.tested)
                InsertGroupTests(observation, p, e, k);
        }
        CTXXmlNode node;
        observation.InsertObservationRecord(RowRecord(p, e, r, input, adjustment, tests), node);
    }
}

void InsertObservationTable(CTXXmlNode& project, const ProjectState&, const EngineState&) {
    CTXXmlNode table;
    project.InsertTables({"observations", Label(STR_HEADING_OBSERVATION_ADJUSTMENT)}, table);
    // The values of a record are in the record's unit ("rad" or "m").
    const char* own = "unit";
    Column(table, "observed", STR_LABEL_READING, own);
    Column(table, "sd", STR_LABEL_SD, own);
    Column(table, "adjusted", STR_LABEL_ADJUSTED, own);
    Column(table, "residual", STR_LABEL_RESIDUAL, own);
    Column(table, "sdAdjusted", STR_LABEL_SD_ADJUSTED, own);
    Column(table, "w", STR_LABEL_W_TEST, kXmlUnitNone);
    Column(table, "estimatedError", STR_LABEL_ESTIMATED_ERROR, own);
    Column(table, "mdb", STR_LABEL_MDB, own);
    Column(table, "mdbn", STR_LABEL_MDBN, kXmlUnitNone);
    Column(table, "redundancy", STR_LABEL_RED, kXmlUnitPercent);
    Column(table, "bnr", STR_LABEL_BNR, kXmlUnitNone);
}

void InsertParameterSection(CTXXmlNode& project, const ProjectState& p, const EngineState& e) {
    if (!SwitchOn(p, SLOT_PARAMETERS))
        return;
    int count = 0;
    for (std::uint32_t i = 1; i <= e.Unknowns(); ++i)
        count += e.unknowns[i].IsCoordinate() ? 0 : 1;
    CTXXmlNode parameters;
    project.InsertAdditPars({Label(STR_HEADING_PARAMETER_ADJUSTMENT), count}, parameters);
    const auto& sd = e.results.sdUnknown;
    for (std::uint32_t i = 1; i <= e.Unknowns(); ++i) {
        const UnknownDescriptor& u = e.unknowns[i];
        if (u.IsCoordinate())
            continue;
        const ParameterKind kind = KindOf(u);
        TXXML_ADDITPAR record;
        record.kind = kind.kind;
        record.label = Label(kind.label);
        record.station = StationName(p, u.station);
        record.group = u.sub;
        record.hasAPriori = APrioriParameterValue(p, u, record.aPriori) ? 1 : 0;
        record.value = e.values[i];
        // A scale factor's standard deviation is relative to its value.
        record.sd = i < sd.size() ? sd[i] : 0.0;
        if (u.kind == UNK_SCALE)
            record.sd *= e.values[i];
        record.unit = kind.unit;
        CTXXmlNode node;
        parameters.InsertAdditPar(record, node);
    }
    CTXXmlNode table;
    project.InsertTables({"additionalParameters", Label(STR_HEADING_PARAMETER_ADJUSTMENT)}, table);
    Column(table, "aPriori", STR_LABEL_A_PRIORI, "unit");
    Column(table, "value", STR_LABEL_ADJUSTED, "unit");
    Column(table, "sd", STR_LABEL_SD, "unit");
}

} // namespace Tavex
