// The results of the tests, reliability and precision of an adjustment:
// per row, per unknown, per station and per station pair.
#ifndef TAVEX_TESTING_ADJUSTMENT_RESULTS_H
#define TAVEX_TESTING_ADJUSTMENT_RESULTS_H

#include "testing/test_records.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace Tavex {

// A standard ellipse: semi-major and semi-minor axis (metres) and the
// direction of the major axis from north towards east (radians, in
// (−π/2, π/2]).
struct StandardEllipse {
    double A = 0.0, B = 0.0, phi = 0.0;
};

// Precision of one station: its covariance block (metres², north, east,
// height; zeros where an unknown is absent), absolute ellipse, height
// standard deviation and criterion radius.
struct StationPrecision {
    bool computed = false;
    double cNN = 0, cNE = 0, cEE = 0, cNh = 0, cEh = 0, chh = 0;
    StandardEllipse ellipse;
    double sdHeight = 0.0;
    double criterion = 0.0;
};

// The relative ellipse of a station pair.
struct RelativePrecision {
    std::uint32_t from = 0, to = 0;
    StandardEllipse ellipse;
    double length = 0.0; // distance between the stations
    double sdHeight = 0.0;
    double criterion = 0.0;
};

// The largest effect of an MDB-sized error on one unknown.
struct ExternalEffect {
    double value = 0.0;
    std::uint32_t row = 0;
};

// The covariance output of the setting CovMatrix (testing/covariance.h).
struct CovarianceUnknown {
    std::uint32_t unknown = 0;
    double sd = 0.0;
};
struct CovarianceStation {
    std::uint32_t station = 0;
    double sd[3] = {0.0, 0.0, 0.0};               // north, east, height
    double c[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0}; // NN, NE, EE, Nh, Eh, hh
};
struct CovariancePair {
    std::uint32_t first = 0, second = 0; // station numbers, first < second
    double c[9] = {};                    // (north, east, height) of first × of second
};
struct CovarianceOutput {
    int mode = 0; // 0: nothing computed
    std::vector<CovarianceUnknown> unknowns;
    std::vector<CovarianceStation> stations;
    std::vector<CovariancePair> pairs;
    // Mode 1: the coordinate unknowns, and Q/σ0² of each pair (i ≥ j) by
    // columns j of that list: column j holds rows j, j + 1, ….
    std::vector<std::uint32_t> coordinates;
    std::vector<double> full;
};

struct AdjustmentResults {
    // Per unknown.
    std::vector<double> sdUnknown;
    // Of the coordinate unknowns; left at no effect for the others.
    std::vector<ExternalEffect> external;
    // Per station number.
    std::vector<StationPrecision> stations;
    std::vector<std::unique_ptr<CTTest>> stationTests;
    // Per station pair, in order of first appearance.
    std::vector<RelativePrecision> relative;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> relativeIndex;
    // Per row.
    std::vector<double> sdAdjusted; // standard deviation of the adjusted observation
    std::vector<double> D;          // D_ii, the residuals' inverse covariance diagonal
    std::vector<double> w;          // W-test
    std::vector<double> mdb;        // minimal detectable bias
    std::vector<double> redundancy; // per cent
    std::vector<double> bnr2;       // squared bias-to-noise ratio
    std::vector<double> weighted;   // P ê
    // Per observation number: the group tests of GPS observations.
    std::vector<std::unique_ptr<CTTest>> observationTests;
    std::vector<std::unique_ptr<CHTest>> antennaTests;

    CovarianceOutput covariance;

    bool precisionComputed = false;
    bool tested = false;
    bool externalComputed = false;
    double f = 1.0; // sqrt(σ̂²) when the a-posteriori factor was applied, else 1
};

} // namespace Tavex

#endif
