// The observation rows as the pre-run's checks see them, once the pre-run
// has filled the system at the approximate coordinates: every value in its
// own unit (radians, metres), distances no longer relative.
#ifndef TAVEX_PRERUN_CHECK_ROWS_H
#define TAVEX_PRERUN_CHECK_ROWS_H

#include "engine/engine_state.h"
#include "output/report_format.h"
#include "prerun/prerun_results.h"
#include "project/project_state.h"

#include <vector>

namespace Tavex {

struct CheckRow {
    std::size_t index = 0; // the engine's row number
    const ObservationRow* row = nullptr;
    const CObservation* observation = nullptr;
    double observed = 0.0;   // the reading (a reduced distance: its horizontal value)
    double computed = 0.0;   // the value of the approximate coordinates
    double sigma = 0.0;      // a-priori standard deviation
    double misclosure = 0.0; // observed − computed (0 in a design)
    bool angle = false;      // radians, else metres
};

// The observation rows (kinds below 20) in row order.
std::vector<CheckRow> CheckRows(const ProjectState& project, const EngineState& engine);

// One reported row: its record, code, stations, reading and error in display
// units, the horizontal-distance label where asked, the mark when
// significant.
TXXML_PRERUNOBSERVATION ReportedRow(const ProjectState& project, const ReportUnits& units,
                                    const CheckRow& row, double reading, double error,
                                    double testValue, bool significant, bool horizontalLabel);

// An angle difference brought into the interval around 0: l − 2π round(l /
// 2π), fractions of one half rounding up.
double AroundZero(double angle);

} // namespace Tavex

#endif
