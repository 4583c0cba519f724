#include "testing/row_results.h"

#include <cmath>

namespace Tavex {

RowResult ResultOf(const ProjectState& p, const EngineState& e, std::size_t r) {
    const AdjustmentResults& results = e.results;
    const ObservationRow& row = e.rows[r];
    const bool relative = row.kind == ROW_DISTANCE || row.kind == ROW_RELATION;
    const double scale = relative ? e.computed[r] : 1.0;
    RowResult out;
    out.observed = e.observed[r];
    out.residual = r < e.residual.size() ? e.residual[r] : 0.0;
    // Without adjusted observations (a design has no readings) the model's
    // value at the solution stands for them.
    out.adjusted = r < e.adjusted.size() ? e.adjusted[r] : e.computed[r];
    out.sd = e.sigma[r] * scale;
    if (r < results.sdAdjusted.size())
        out.sdAdjusted = results.sdAdjusted[r] * (relative ? out.adjusted : 1.0);
    if (r < results.mdb.size()) {
        out.redundancy = results.redundancy[r];
        out.mdb = results.mdb[r] * scale;
        out.bnr = std::sqrt(std::fabs(results.bnr2[r]));
        out.w = results.w[r];
        const double lambda0 = p.Critical.lambda0;
        out.estimatedError = lambda0 > 0.0 ? out.w * out.mdb / std::sqrt(lambda0) : 0.0;
        out.rejected = std::fabs(out.w) > p.Critical.criticalW;
    }
    return out;
}

RowResult FreeResultOf(const FreeRowResult& free) {
    RowResult out;
    out.observed = free.observed;
    out.adjusted = free.adjusted;
    out.residual = free.residual;
    out.sd = free.sd;
    out.sdAdjusted = free.sdAdjusted;
    return out;
}

} // namespace Tavex
