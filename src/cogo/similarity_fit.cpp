#include "cogo/similarity_fit.h"

#include "geodesy/plane_similarity.h"

#include <cmath>

namespace Tavex {

namespace {

PlaneSimilarity FitOnList(const std::vector<PlanePoint>& source,
                          const std::vector<PlanePoint>& target,
                          const std::vector<unsigned>& list) {
    std::vector<PlanePair> pairs;
    pairs.reserve(list.size());
    for (unsigned s : list)
        pairs.push_back({source[s].e, source[s].n, target[s].e, target[s].n});
    return FitPlaneSimilarity(pairs);
}

// Position in the list of the largest absolute residual: easting before
// northing, the first station on a tie.
std::size_t LargestResidual(const std::vector<PlanePoint>& source,
                            const std::vector<PlanePoint>& target,
                            const std::vector<unsigned>& list, const PlaneSimilarity& t,
                            double& largest) {
    std::size_t where = 0;
    largest = -1.0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const unsigned s = list[i];
        double e, n;
        t.Apply(source[s].e, source[s].n, e, n);
        const double de = std::fabs(e - target[s].e), dn = std::fabs(n - target[s].n);
        if (de > largest) {
            largest = de;
            where = i;
        }
        if (dn > largest) {
            largest = dn;
            where = i;
        }
    }
    return where;
}

} // namespace

FitOutcome FitPlaneWithRejection(std::vector<PlanePoint>& source,
                                 const std::vector<PlanePoint>& target,
                                 const std::vector<int>& computed, std::vector<unsigned> list,
                                 double tolerance) {
    FitOutcome outcome;
    const std::vector<unsigned> offered = list;
    PlaneSimilarity t;
    bool fitted = false;
    while (list.size() >= 2) {
        t = FitOnList(source, target, list);
        double largest;
        const std::size_t worst = LargestResidual(source, target, list, t, largest);
        if (!(largest > tolerance)) {
            fitted = true;
            break;
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(worst));
    }
    // Residuals of every offered station under the final transformation.
    for (unsigned s : offered) {
        FitResidual r;
        r.station = s;
        r.rejected = true;
        for (unsigned kept : list)
            r.rejected &= kept != s;
        if (fitted) {
            double e, n;
            t.Apply(source[s].e, source[s].n, e, n);
            r.east = e - target[s].e;
            r.north = n - target[s].n;
        }
        outcome.stations.push_back(r);
    }
    if (!fitted)
        return outcome;
    outcome.applied = true;
    outcome.scale = t.scale;
    outcome.rotation = t.rotation;
    for (std::size_t s = 1; s < source.size() && s < computed.size(); ++s)
        if (computed[s]) {
            double e, n;
            t.Apply(source[s].e, source[s].n, e, n);
            source[s] = {e, n};
        }
    return outcome;
}

FitOutcome FitHeightsWithRejection(std::vector<double>& source, const std::vector<double>& target,
                                   const std::vector<int>& hasHeight, std::vector<unsigned> list,
                                   double tolerance) {
    FitOutcome outcome;
    const std::vector<unsigned> offered = list;
    double shift = 0.0;
    while (!list.empty()) {
        // The shift: the mean of known minus free.
        shift = 0.0;
        for (unsigned s : list)
            shift += (target[s] - source[s]) / static_cast<double>(list.size());
        std::size_t worst = 0;
        double largest = -1.0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const double r = std::fabs(source[list[i]] + shift - target[list[i]]);
            if (r > largest) {
                largest = r;
                worst = i;
            }
        }
        if (!(largest > tolerance))
            break;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(worst));
    }
    for (unsigned s : offered) {
        FitResidual r;
        r.station = s;
        r.rejected = true;
        for (unsigned kept : list)
            r.rejected &= kept != s;
        if (!list.empty())
            r.height = source[s] + shift - target[s];
        outcome.stations.push_back(r);
    }
    if (list.empty())
        return outcome;
    outcome.applied = true;
    outcome.shift = shift;
    for (std::size_t s = 1; s < source.size() && s < hasHeight.size(); ++s)
        if (hasHeight[s])
            source[s] += shift;
    return outcome;
}

} // namespace Tavex
