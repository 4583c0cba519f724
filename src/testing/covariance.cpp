#include "testing/covariance.h"

#include "engine/block_solve.h"
#include "engine/cofactor_lookup.h"
#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <set>
#include <utility>

namespace Tavex {

namespace {

class CovarianceComputation {
public:
    CovarianceComputation(const ProjectState& p, const EngineState& e, CovarianceOutput& out)
        : p_(p), e_(e), q_(e.system.factor), s02_(p.Sigma0 * p.Sigma0), out_(out) {}

    void Unknowns(bool coordinatesOnly);
    void Stations();
    void Pairs();
    void Full();

private:
    // Q(i, j) / σ0², 0 where an unknown is absent.
    double Covariance(std::uint32_t i, std::uint32_t j) { return i && j ? q_(i, j) / s02_ : 0.0; }
    double Sd(std::uint32_t i) { return i ? std::sqrt(std::fabs(q_(i, i))) / p_.Sigma0 : 0.0; }
    void StationUnknowns(unsigned s, std::uint32_t (&u)[3]) const {
        u[0] = e_.index.north[s];
        u[1] = e_.index.east[s];
        u[2] = e_.index.height[s];
    }

    const ProjectState& p_;
    const EngineState& e_;
    CofactorLookup q_;
    double s02_;
    CovarianceOutput& out_;
};

void CovarianceComputation::Unknowns(bool coordinatesOnly) {
    for (std::uint32_t i = 1; i <= e_.Unknowns(); ++i)
        if (!coordinatesOnly || e_.unknowns[i].IsCoordinate())
            out_.unknowns.push_back({i, Sd(i)});
}

void CovarianceComputation::Stations() {
    for (const unsigned s : AdjustedStations(e_)) {
        std::uint32_t u[3];
        StationUnknowns(s, u);
        if (!u[0] && !u[1] && !u[2])
            continue;
        const auto [n, east, h] = u;
        out_.stations.push_back({s,
                                 {Sd(n), Sd(east), Sd(h)},
                                 {Covariance(n, n), Covariance(n, east), Covariance(east, east),
                                  Covariance(n, h), Covariance(east, h), Covariance(h, h)}});
    }
}

void CovarianceComputation::Pairs() {
    std::set<std::pair<std::uint32_t, std::uint32_t>> seen;
    for (std::size_t r = 1; r <= e_.observationRows; ++r) {
        const ObservationRow& row = e_.rows[r];
        if (row.to == 0 || row.from == row.to)
            continue;
        const auto key = std::make_pair(std::min(row.from, row.to), std::max(row.from, row.to));
        if (!seen.insert(key).second)
            continue;
        std::uint32_t a[3], b[3];
        StationUnknowns(key.first, a);
        StationUnknowns(key.second, b);
        CovariancePair pair;
        pair.first = key.first;
        pair.second = key.second;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                pair.c[3 * i + j] = Covariance(a[i], b[j]);
        out_.pairs.push_back(pair);
    }
}

void CovarianceComputation::Full() {
    std::vector<std::uint32_t>& coordinates = out_.coordinates;
    for (std::uint32_t i = 1; i <= e_.Unknowns(); ++i)
        if (e_.unknowns[i].IsCoordinate())
            coordinates.push_back(i);
    const std::size_t m = coordinates.size();
    out_.full.reserve(m * (m + 1) / 2);
    const CholeskyFactor& factor = e_.system.factor;
    // Columns of Q = N⁻¹ a block of unknowns at a time, from the factor;
    // when the sparse inverse has replaced it, what lies on its pattern.
    const bool solve = !factor.holdsCofactors;
    BlockSolveWork work;
    std::uint32_t solvedFirst = 0;
    for (std::size_t jc = 0; jc < m; ++jc) {
        const std::uint32_t j = coordinates[jc];
        if (solve && (solvedFirst == 0 || j >= solvedFirst + kSolveBlock)) {
            solvedFirst = j;
            UnitBlockSolve(factor, j, std::min<std::size_t>(kSolveBlock, e_.Unknowns() + 1 - j),
                           work);
        }
        for (std::size_t ic = jc; ic < m; ++ic) {
            const std::uint32_t i = coordinates[ic];
            out_.full.push_back(solve ? work.x[std::size_t{i} * kSolveBlock + (j - solvedFirst)] /
                                            s02_
                                      : Covariance(i, j));
        }
    }
}

} // namespace

bool CovarianceFromFactor(int mode) {
    return mode == COVARIANCE_FULL || mode == COVARIANCE_STATION_BLOCKS ||
           mode == COVARIANCE_CONNECTED_BLOCKS;
}

int ComputeCovarianceOutput(ProjectState& p, EngineState& e) {
    CovarianceOutput& out = e.results.covariance;
    out = CovarianceOutput{};
    if (p.CovMatrix == COVARIANCE_NONE)
        return 1;
    try {
        CovarianceComputation computation(p, e, out);
        switch (p.CovMatrix) {
        case COVARIANCE_FULL:
            computation.Unknowns(true);
            computation.Full();
            break;
        case COVARIANCE_VARIANCE_FILE:
            computation.Unknowns(false);
            computation.Stations();
            break;
        case COVARIANCE_STATION_BLOCKS:
            computation.Stations();
            break;
        default:
            computation.Stations();
            computation.Pairs();
            break;
        }
        out.mode = p.CovMatrix;
    } catch (const std::bad_alloc&) {
        out = CovarianceOutput{};
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_COVARIANCE_MATRIX);
    }
    return 1;
}

} // namespace Tavex
