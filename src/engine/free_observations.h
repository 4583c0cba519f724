// Free observations (side shots): a station that one observation record
// alone ties to the network adds nothing to the network's redundancy. It is
// taken out of the main adjustment with its record, and computed afterwards
// from that record alone, with the adjusted position of the station it hangs
// on held and that station's precision carried into its own.
//
// Detection counts how each station is tied: a record adds 1 to its station
// and 1 to its target (none for a single-station record); a record whose
// first reading is an azimuth or a GPS coordinate, or that holds a geometric
// relation or local coordinates, adds 1 more to each (the target of a GPS
// coordinate excepted); a known station counts 2 more. A station with a
// count of exactly 1 is free, and its one record a free observation.
//
// The separate adjustment solves the free station's components from the
// record's rows (the engine's own equations and weights, divided by the
// a-posteriori variance factor when the main adjustment applied it), up to
// 10 times until both plane corrections are within the iteration criterion.
// With N_f = A_fᵀ P A_f the free station's normal matrix and A_m the rows'
// derivatives by the held unknowns (the held station's north, east and
// height, and the parameters the readings depend on: a direction set's
// orientation, a scale factor, a refraction coefficient, the GPS
// transformation; all at their adjusted values, with their cofactor block
// Q_mm from the main adjustment), the free station's cofactors are
//   Q_ff = N_f⁻¹ + G Q_mm Gᵀ,   G = −N_f⁻¹ A_fᵀ P A_m,
// the record's own noise and the held unknowns' uncertainty added (the
// record did not enter the main adjustment, so the two are independent).
// These are exactly the cofactors the station would get if the record had
// stayed in the network, where it has no redundancy. A known station that
// no other record keeps in the network is held at its given coordinates
// with their a-priori standard deviations.
#ifndef TAVEX_ENGINE_FREE_OBSERVATIONS_H
#define TAVEX_ENGINE_FREE_OBSERVATIONS_H

#include "engine/observation_row.h"

#include <cstdint>
#include <vector>

namespace Tavex {

struct EngineState;
struct Participation;
struct ProjectState;

// The result of one reading of a free observation, in the reading's unit.
struct FreeRowResult {
    ObservationRow row;
    double observed = 0.0;
    double adjusted = 0.0;
    double residual = 0.0; // observed − adjusted
    double sd = 0.0;       // of the observation
    double sdAdjusted = 0.0;
};

struct FreeObservation {
    std::uint32_t observation = 0; // index in the observation list
    std::uint32_t freeStation = 0;
    std::uint32_t heldStation = 0;
    int kindLabel = 0; // string of the record kind: 599, 605, 606, 607 or 608
    bool solved = false;
    bool north = false, east = false, height = false; // the components solved
    std::vector<FreeRowResult> rows;
};

struct FreeObservations {
    std::vector<FreeObservation> list;
    // Per station number: 1 + the index in list of the station's free
    // observation, 0 for a station that is not free.
    std::vector<std::uint32_t> ofStation;

    const FreeObservation* Of(std::uint32_t station) const {
        return station < ofStation.size() && ofStation[station] != 0 ? &list[ofStation[station] - 1]
                                                                     : nullptr;
    }
    const FreeObservation* OfObservation(std::uint32_t observation) const;
};

// Marks the free stations and observations: they leave the participation of
// the main adjustment and are listed in engine.freeObservations. Returns 1, or 0 after
// error 401 when memory runs out.
int DetectFreeObservations(ProjectState& project, Participation& participation,
                           EngineState& engine);

// Adjusts every free observation after the main adjustment: the free
// station's position goes into engine.geometry and its precision into
// engine.results.stations; a record that cannot fix its station gets warning
// 521, one that cannot be adjusted an error (600 to 604, 609 singular, 624
// iteration limit) while the others are still computed. Returns 1, or 0
// after error 401 when memory runs out.
int AdjustFreeObservations(ProjectState& project, EngineState& engine);

} // namespace Tavex

#endif
