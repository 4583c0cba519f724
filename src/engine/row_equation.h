// The linearised equation of one observation row at the current values of
// the unknowns: the model's value with its derivatives, the observed value,
// the reduced observation and the standard deviation that gives its weight.
// The design matrix fill (fill_system.h) lays these onto the unknowns; the
// separate adjustment of free observations solves its small problems with
// the same equations.
#ifndef TAVEX_ENGINE_ROW_EQUATION_H
#define TAVEX_ENGINE_ROW_EQUATION_H

#include "engine/engine_state.h"
#include "engine/observation_model.h"
#include "engine/row_weights.h"
#include "project/project_state.h"

namespace Tavex {

struct RowEquation {
    RowEvaluation model;      // computed value and its raw derivatives
    RowParameters parameters; // the parameter values the model used
    double observed = 0.0;    // the observation (a reduced distance: its horizontal value)
    double computed = 0.0;    // the model's value (floored for distances)
    double sigma = 0.0;       // standard deviation in the reduced unit
    double l = 0.0;           // reduced observation; 0 in design mode
    // The factor of the whole design row: distances are reduced relatively
    // (1 / computed), every other kind 1.
    double rowScale = 1.0;
};

// The equation of an observation row (kinds 1 to 10) from the station
// geometry in engine.geometry and the parameter values in engine.values
// (or the settings, for parameters without an unknown).
RowEquation LineariseRow(const ProjectState& project, const EngineState& engine,
                         const ObservationRow& row);

// The values of the parameters a row depends on.
RowParameters RowParametersOf(const ProjectState& project, const EngineState& engine,
                              const ObservationRow& row);

// The a-priori covariance (metres², geocentric) of the GPS observation whose
// first row is given, with the centring and height errors of its stations.
Covariance3 GpsRowCovariance(const ProjectState& project, const EngineState& engine,
                             const ObservationRow& firstRow);

// The slot of the first switched-on reading of a type, or −1.
int FindSlot(const CObservation& o, std::uint16_t type);

} // namespace Tavex

#endif
