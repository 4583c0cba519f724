#include "prerun/check_rows.h"

#include "output/row_naming.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr int kReadingWidth = 13;
constexpr int kErrorWidth = 14;
constexpr int kLengthDecimals = 4;

// The value, or the largest one of its sign that the field can show:
// ±(10^(width − decimals − 2) − 10^(−decimals)).
double Fitted(double value, int width, int decimals) {
    const double largest = std::pow(10.0, width - decimals - 2) - std::pow(10.0, -decimals);
    return std::clamp(value, -largest, largest);
}

CKZString Length(const ReportUnits& units, double metres, int width) {
    return LengthField(
        units, Fitted(metres * units.linearFactor, width, kLengthDecimals) / units.linearFactor,
        width, kLengthDecimals);
}

} // namespace

double AroundZero(double angle) {
    const double turn = 2.0 * std::numbers::pi;
    return angle - turn * std::floor(angle / turn + 0.5);
}

std::vector<CheckRow> CheckRows(const ProjectState& p, const EngineState& e) {
    std::vector<CheckRow> rows;
    rows.reserve(e.observationRows);
    const bool design = p.AdjDesign != 0;
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        CheckRow c;
        c.index = r;
        c.row = &row;
        c.observation = p.Observations.GetAt(static_cast<int>(row.source));
        c.angle = IsAngleKind(row.kind);
        // Distances are reduced relatively inside the engine.
        const double unit =
            row.kind == ROW_DISTANCE || row.kind == ROW_RELATION ? e.computed[r] : 1.0;
        c.observed = e.observed[r];
        c.computed = e.computed[r];
        c.sigma = e.sigma[r] * unit;
        c.misclosure = design ? 0.0 : e.system.l[r] * unit;
        rows.push_back(c);
    }
    return rows;
}

TXXML_PRERUNOBSERVATION ReportedRow(const ProjectState& p, const ReportUnits& units,
                                    const CheckRow& row, double reading, double error,
                                    double testValue, bool significant, bool horizontalLabel) {
    TXXML_PRERUNOBSERVATION out;
    const ObservationRow& r = *row.row;
    out.recordNumber = row.observation->Record;
    out.record.Format(L"%u", out.recordNumber);
    out.code = CodeOfKind(r.kind, r.sub);
    out.stationNumber = r.from;
    out.targetNumber = r.to;
    out.station = StationName(p, r.from);
    out.target = StationName(p, r.to);
    out.rowKind = r.kind;
    out.angle = row.angle;
    out.readingValue = reading;
    out.errorValue = error;
    out.testValue = testValue;
    out.significant = significant;
    if (row.angle) {
        out.reading = AngleField(units, reading, kReadingWidth, AngleUse::Direction);
        out.error = AngleField(units, error, kErrorWidth, AngleUse::Signed);
        out.unit = units.angleName;
    } else {
        out.reading = Length(units, reading, kReadingWidth);
        out.error = Length(units, error, kErrorWidth);
        out.unit = units.linearName;
    }
    if (horizontalLabel)
        out.readingLabel = Label(STR_LABEL_HORIZONTAL_DISTANCE);
    if (significant)
        out.mark = Label(STR_MARK_REJECTED);
    return out;
}

} // namespace Tavex
