// The engine's per-run tables: station order, rows, unknowns, the linear
// system and the iteration state. They live for one adjustment run; the run
// driver frees them at its end.
#ifndef TAVEX_ENGINE_ENGINE_STATE_H
#define TAVEX_ENGINE_ENGINE_STATE_H

#include "engine/free_observations.h"
#include "engine/linear_system.h"
#include "engine/local_frame.h"
#include "engine/observation_row.h"
#include "engine/station_geometry.h"
#include "engine/station_order.h"
#include "engine/unknown.h"
#include "testing/adjustment_results.h"
#include "testing/variance_components.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Tavex {

inline constexpr int kParameterGroups = 10;

// Where each unknown sits in the numbering (0 = no such unknown).
struct UnknownIndex {
    std::vector<std::uint32_t> north, east, height;               // per station
    std::unordered_map<std::uint64_t, std::uint32_t> orientation; // (station, set)
    std::uint32_t scale[kParameterGroups] = {};
    std::uint32_t refraction[kParameterGroups] = {};
    std::uint32_t azimuthOffset[kParameterGroups] = {};
    std::uint32_t gps[kGpsParameters + 1] = {};
    std::uint32_t local[kLocalParameterSlots] = {}; // by sub-code

    static std::uint64_t OrientationKey(std::uint32_t station, std::uint32_t set) {
        return (static_cast<std::uint64_t>(station) << 32) | set;
    }
    std::uint32_t Orientation(std::uint32_t station, std::uint32_t set) const {
        const auto at = orientation.find(OrientationKey(station, set));
        return at == orientation.end() ? 0 : at->second;
    }
};

// Counts of unknowns by kind.
struct UnknownCounts {
    unsigned coordinates = 0;
    unsigned orientations = 0;
    unsigned scaleFactors = 0;
    unsigned refractionCoefficients = 0;
    unsigned azimuthOffsets = 0;
    unsigned gpsParameters = 0;
    unsigned deflections = 0;
    unsigned additionalRotations = 0;
    unsigned additionalParameters = 0;
};

struct EngineState {
    // Stations and rows.
    StationOrder order;
    std::vector<unsigned> known;      // known-table entries of ordered stations
    std::vector<ObservationRow> rows; // 1..rows, element 0 unused
    unsigned observationRows = 0;     // rows before the pseudo-observations
    RowCounts counts;
    std::vector<std::uint32_t> flags;      // per station
    std::vector<StationGeometry> geometry; // per station, at the current values
    LocalFrame localFrame;                 // observed local coordinates' tangent frame
    FreeObservations freeObservations;     // side shots, adjusted after the network

    // Unknowns.
    std::vector<UnknownDescriptor> unknowns; // 1..u, element 0 unused
    std::vector<double> values;              // current values
    UnknownIndex index;
    UnknownCounts unknownCounts;

    // The linear system and the per-row vectors.
    LinearSystem system;
    std::vector<double> observed; // the observation value of each row
    std::vector<double> computed; // the model's value at the current unknowns
    std::vector<double> sigma;    // standard deviation used for the weight
    std::vector<double> residual; // observed − adjusted, in the observation's unit
    std::vector<double> adjusted; // the adjusted observation

    // Iteration.
    unsigned iterations = 0;
    double largestCorrection = 0.0;
    std::uint32_t largestUnknown = 0;
    double varianceFactor = 0.0; // a-posteriori variance factor F
    bool varianceFactorApplied = false;
    bool converged = false;
    int phaseOfWeights = 0; // 1 in the constrained phase: known coordinates fixed

    // Tests, reliability and precision.
    AdjustmentResults results;
    VarianceComponents variance;
    bool residualsFormed = false; // l holds the residuals of the last solution

    std::size_t Rows() const { return rows.empty() ? 0 : rows.size() - 1; }
    std::size_t Unknowns() const { return unknowns.empty() ? 0 : unknowns.size() - 1; }

    // Frees every table: unknowns, matrices, result vectors, rows and order.
    void Free() { *this = EngineState{}; }
};

// The stations that take part in the adjustment, by station number (the
// order the reports and documents list them in, whatever the order of the
// unknowns).
inline std::vector<unsigned> AdjustedStations(const EngineState& e) {
    std::vector<unsigned> stations;
    for (unsigned s = 1; s < e.order.positionOf.size(); ++s)
        if (e.order.positionOf[s] != 0)
            stations.push_back(s);
    return stations;
}

} // namespace Tavex

#endif
