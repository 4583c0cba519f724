#include "engine/adjustment.h"

#include "engine/datum_rows.h"
#include "engine/factor_capacity.h"
#include "engine/factor_solve.h"
#include "engine/fill_system.h"
#include "engine/free_observations.h"
#include "engine/geometry_refresh.h"
#include "engine/network_setup.h"
#include "engine/number_unknowns.h"
#include "engine/numeric_factorisation.h"
#include "engine/singularity_report.h"
#include "engine/sparse_inverse.h"
#include "engine/symbolic_factorisation.h"
#include "messages/string_loader.h"
#include "platform/memory_status.h"
#include "project/settings_check.h"
#include "resources/string_ids.h"
#include "testing/covariance.h"
#include "testing/critical_values.h"
#include "testing/observation_tests.h"
#include "testing/precision.h"
#include "testing/variance_components.h"

#include <cmath>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double SingularityThreshold(const ProjectState& p) {
    return p.DeltaSingular / p.Sigma0;
}

int Factorise(ProjectState& p, EngineState& e) {
    std::uint32_t singular = 0;
    if (!NumericFactorisation(e.system, SingularityThreshold(p), singular, p.Messages)) {
        ReportSingularity(p, e, singular);
        return 0;
    }
    return 1;
}

int SymbolicAndNumeric(ProjectState& p, EngineState& e, Progress& progress) {
    if (!progress.Stage(STR_STAGE_SYMBOLIC))
        return 0;
    const std::uint64_t capacity = FactorCapacity(e.Unknowns(), e.Rows(), AvailableMemoryBytes());
    if (!SymbolicFactorisation(e.system, capacity, p.Messages))
        return 0;
    if (!progress.Stage(STR_STAGE_FILL_NORMALS))
        return 0;
    return Factorise(p, e);
}

// Solves with the factor in place, applies the corrections and brings the
// station geometry to the new values.
int SolveAndApply(ProjectState& p, EngineState& e) {
    if (!SolveNormalEquations(e.system, p.Messages))
        return 0;
    ApplyCorrections(e, e.system.x);
    RefreshGeometry(p, e);
    return 1;
}

void WarnIterationLimit(ProjectState& p, const EngineState& e) {
    const UnknownDescriptor& u = e.unknowns[e.largestUnknown];
    if (u.IsCoordinate()) {
        CKZString text = CStringL(STR_ITERATION_LIMIT_AT_STATION);
        text += L" ";
        text += p.Stations[u.station].Name;
        p.Messages.AddMessage(STR_ITERATION_LIMIT_AT_STATION, MSG_WARNING, REF_STATIONS, text,
                              u.station);
    } else {
        CKZString text;
        text.Format(L"%s %s", CStringL(STR_LIMIT_EXCEEDED).c_str(),
                    CStringL(STR_STAGE_ITERATION).c_str());
        p.Messages.AddMessage(STR_LIMIT_EXCEEDED, MSG_WARNING, REF_NONE, text);
    }
}

// The residuals of the last solution: the reduced observations minus A x.
void FormResiduals(EngineState& e) {
    if (e.residualsFormed)
        return;
    for (std::size_t r = 1; r <= e.Rows(); ++r)
        e.system.l[r] -= e.system.Ax[r];
    e.residualsFormed = true;
}

int EnsureSparseInverse(ProjectState& p, EngineState& e, Progress& progress) {
    if (e.system.factor.holdsCofactors)
        return 1;
    if (!progress.Stage(STR_STAGE_SPARSE_INVERSE))
        return 0;
    return SparseInverse(e.system.factor, p.Messages);
}

// Iterates from the current factor until the corrections converge, the
// counter reaches the limit, or the solution diverges (469, failure).
int IterateToConvergence(ProjectState& p, EngineState& e, Progress& progress, double reference) {
    const unsigned limit = static_cast<unsigned>(p.IterMax);
    while (e.iterations < limit && !e.converged) {
        if (!progress.Stage(STR_STAGE_ITERATION, e.iterations + 1))
            return 0;
        if (!FillSystem(p, e, progress))
            return 0;
        if (!Factorise(p, e))
            return 0;
        if (!SolveAndApply(p, e))
            return 0;
        ++e.iterations;
        e.converged = Converged(p, e, e.system.x, e.iterations);
        const UnknownDescriptor& holder = e.unknowns[e.largestUnknown];
        if (!e.converged && e.largestCorrection > 2.0 * reference && holder.IsCoordinate()) {
            CKZString text = CStringL(STR_SOLUTION_CONTRADICTORY);
            text += L" ";
            text += p.Stations[holder.station].Name;
            p.Messages.AddMessage(STR_SOLUTION_CONTRADICTORY, MSG_ERROR, REF_STATIONS, text,
                                  holder.station);
            return 0;
        }
    }
    return 1;
}

// One variance-component pass on the converged solution: its residuals,
// the sparse inverse, the redundancy numbers and the group estimates.
// Returns true when the passes go on (the groups are re-weighted and the
// iteration runs again), false when they end; a failure clears ok.
bool VarianceComponentPass(ProjectState& p, EngineState& e, Progress& progress, bool& ok) {
    FormResiduals(e);
    ok = EnsureSparseInverse(p, e, progress) && ComputeRedundancyNumbers(p, e);
    if (!ok)
        return false;
    EstimateVarianceComponents(p, e, true);
    if (++e.variance.passes > static_cast<unsigned>(p.VarIterMax))
        return false;
    if (VarianceComponentsConverged(p, e))
        return false;
    e.variance.reweighting = true;
    // The iteration must find a new solution with the new weights.
    e.iterations = 0;
    e.largestCorrection = 2.0 * p.Epsilon;
    e.converged = false;
    return true;
}

int Iterate(ProjectState& p, EngineState& e, Progress& progress) {
    if (!SolveAndApply(p, e))
        return 0;
    e.iterations = 0;
    e.converged = Converged(p, e, e.system.x, 0);
    // The reference of the divergence test: the largest coordinate
    // correction of the first solution.
    double reference = 0.0;
    for (std::size_t i = 1; i <= e.Unknowns(); ++i)
        if (e.unknowns[i].IsCoordinate())
            reference = std::max(reference, std::fabs(e.system.x[i]));
    for (;;) {
        if (!IterateToConvergence(p, e, progress, reference))
            return 0;
        if (p.VarComponent == 0)
            break;
        bool ok = true;
        if (!VarianceComponentPass(p, e, progress, ok)) {
            if (!ok)
                return 0;
            break;
        }
    }
    const unsigned limit = static_cast<unsigned>(p.IterMax);
    if (!e.converged && e.iterations >= limit && e.largestCorrection > p.Epsilon)
        WarnIterationLimit(p, e);
    return 1;
}

// Scales the weights and the factor by the a-posteriori variance factor when
// the setting asks for it.
void ApplyVarianceFactor(ProjectState& p, EngineState& e) {
    const bool rejected = e.varianceFactor > p.Critical.criticalF;
    if (!(p.APosVarFac == 2 || (p.APosVarFac == 1 && rejected)))
        return;
    const double f = std::max(e.varianceFactor, 1e-32);
    CompressedRows& L = e.system.factor.L;
    const double factorScale = e.system.factor.holdsCofactors ? f : std::sqrt(1.0 / f);
    for (std::size_t k = 1; k < L.val.size(); ++k)
        L.val[k] *= factorScale;
    for (double& value : e.system.factor.blocks)
        value *= factorScale;
    for (double& n : e.system.factor.normalDiagonal)
        n *= factorScale * factorScale;
    for (std::size_t k = 1; k < e.system.P.val.size(); ++k)
        e.system.P.val[k] *= 1.0 / f;
    // B = N + held weights is scaled as a whole: its held weights with it.
    for (double& w : e.system.inner.heldWeight)
        w *= 1.0 / f;
    e.system.factor.correction.Scale(f);
    e.varianceFactorApplied = true;
}

// Adjusted observations in the observation's own unit.
void FormAdjustedObservations(EngineState& e) {
    const std::size_t rows = e.Rows();
    e.residual.assign(rows + 1, 0.0);
    e.adjusted.assign(rows + 1, 0.0);
    for (std::size_t r = 1; r <= rows; ++r) {
        const ObservationRow& row = e.rows[r];
        double v = e.system.l[r];
        if (row.kind == ROW_DISTANCE || row.kind == ROW_RELATION)
            v *= e.computed[r];
        e.residual[r] = v;
        if (row.IsDatum()) {
            // A datum row's residual is in metres; its adjusted value is the
            // station's adjusted coordinate.
            e.adjusted[r] = e.computed[r];
            continue;
        }
        double adjusted = e.observed[r] - v;
        if (row.kind == ROW_DIRECTION || row.kind == ROW_AZIMUTH) {
            adjusted = std::fmod(adjusted, kTwoPi);
            if (adjusted < 0.0)
                adjusted += kTwoPi;
        }
        e.adjusted[r] = adjusted;
    }
}

// A zenith angle read in the second face: its residual and its W-test
// change sign.
void SecondFaceZenithAngles(EngineState& e) {
    for (std::size_t r = 1; r <= e.Rows(); ++r)
        if (e.rows[r].kind == ROW_ZENITH && e.computed[r] > std::numbers::pi) {
            e.residual[r] = -e.residual[r];
            if (r < e.results.w.size())
                e.results.w[r] = -e.results.w[r];
        }
}

// The covariance output of modes 1, 3 and 4 needs elements off the factor's
// structure, so it is formed while the factor still holds L.
int CovarianceFromTheFactor(ProjectState& p, EngineState& e, Progress& progress) {
    if (!CovarianceFromFactor(p.CovMatrix))
        return 1;
    if (e.system.factor.holdsCofactors && !Factorise(p, e))
        return 0;
    if (!progress.Stage(STR_STAGE_COVARIANCE))
        return 0;
    return ComputeCovarianceOutput(p, e);
}

// The covariance output, relative ellipses, the station precision and the
// criterion circles of a free network, from the sparse inverse.
int Precision(ProjectState& p, EngineState& e, Progress& progress) {
    if (!CovarianceFromTheFactor(p, e, progress))
        return 0;
    if (!EnsureSparseInverse(p, e, progress))
        return 0;
    if (p.CovMatrix == COVARIANCE_VARIANCE_FILE && !ComputeCovarianceOutput(p, e))
        return 0;
    if (!ComputeRelativeEllipses(p, e))
        return 0;
    if (!progress.Stage(STR_STAGE_PRECISION))
        return 0;
    ComputeStationPrecision(p, e);
    if (p.Phase == PHASE_FREE)
        ComputeCriterionCircles(p, e);
    return 1;
}

// Steps 3 to 8 of the solution: precision (the free and weighted types; the
// constrained type takes its precision from its constrained phase), the
// standard deviations of the adjusted observations and the tests.
int PrecisionAndTests(ProjectState& p, EngineState& e, Progress& progress) {
    if (p.Phase != PHASE_CONSTRAINED) {
        if (!Precision(p, e, progress))
            return 0;
    } else if (!EnsureSparseInverse(p, e, progress)) {
        return 0;
    }
    if (!ComputeAdjustedObservationPrecision(p, e))
        return 0;
    if (e.Unknowns() <= e.Rows()) {
        if (!progress.Stage(STR_STAGE_TESTS))
            return 0;
        if (!RunTests(p, e, progress))
            return 0;
    }
    return 1;
}

int ConstrainedPhase(ProjectState& p, EngineState& e, Progress& progress) {
    if (!progress.Stage(STR_STAGE_CONSTRAINED))
        return 0;
    e.phaseOfWeights = 1; // known coordinates fixed
    if (!FillSystem(p, e, progress))
        return 0;
    if (!p.AdjDesign && e.Unknowns() < e.Rows())
        ApplyVarianceFactor(p, e);
    if (!SymbolicAndNumeric(p, e, progress))
        return 0;
    if (!p.AdjDesign) {
        if (!SolveAndApply(p, e))
            return 0;
        FormResiduals(e);
    }
    return Precision(p, e, progress);
}

int Prepare(ProjectState& p, EngineState& e, Progress& progress) {
    if (!CheckAdjustmentSettings(p))
        return 0;
    if (!SetUpNetwork(p, e))
        return 0;
    AppendDatumRows(p, e);
    if (!CheckCounts(p, e))
        return 0;
    BuildVarianceGroups(p, e);
    if (!FillSystem(p, e, progress))
        return 0;
    const unsigned rows = static_cast<unsigned>(e.Rows());
    const unsigned unknowns = static_cast<unsigned>(e.Unknowns());
    if (!ComputeAdjustmentCriticalValues(p.Alfa0, p.Beta, rows, unknowns, p.Critical))
        return SettingOutOfRange(p, "Alfa0/Beta", p.Alfa0);
    return 1;
}

} // namespace

bool Converged(const ProjectState& p, EngineState& e, const std::vector<double>& c,
               unsigned iteration) {
    const std::size_t u = e.Unknowns();
    double largest = 0.0;
    std::uint32_t holder = 0;
    for (std::size_t i = 1; i <= u; ++i)
        if (e.unknowns[i].IsCoordinate() && (holder == 0 || std::fabs(c[i]) > largest)) {
            largest = std::fabs(c[i]);
            holder = static_cast<std::uint32_t>(i);
        }
    e.largestCorrection = largest;
    e.largestUnknown = holder;
    if (largest > p.Epsilon)
        return false;
    CofactorWorkspace work;
    for (std::size_t i = 1; i <= u; ++i) {
        const UnknownDescriptor& unknown = e.unknowns[i];
        if (unknown.IsCoordinate())
            continue;
        if (unknown.kind == UNK_ADDITIONAL_TRANSFORMATION &&
            iteration < static_cast<unsigned>(p.IterMax)) {
            e.largestUnknown = static_cast<std::uint32_t>(i);
            return false;
        }
        const auto index = static_cast<std::uint32_t>(i);
        // r below needs q(i, i) ≥ 1 / n(i, i); a correction too small to
        // reach 1 even with that bound needs no cofactor.
        const double reach = unknown.kind == UNK_ADDITIONAL_ROTATION ? 10.0 : 1.0;
        const double scaled = c[i] * p.Sigma0 / reach;
        if (scaled * scaled * NormalDiagonal(e.system.factor, index) < 1.0)
            continue;
        const double s = std::sqrt(CofactorElement(e.system.factor, index, index, work)) / p.Sigma0;
        double r = std::fabs(c[i]) / s;
        if (unknown.kind == UNK_ADDITIONAL_ROTATION)
            r /= 10.0;
        if (r >= 1.0) {
            e.largestCorrection = r * p.Epsilon;
            e.largestUnknown = index;
            return false;
        }
    }
    return true;
}

double PosterioriVarianceFactor(const ProjectState& p, const EngineState& e) {
    const std::size_t n = e.Rows(), u = e.Unknowns();
    if (n <= u)
        return 0.0;
    std::vector<double> pv;
    Multiply(e.system.P, e.system.l, pv);
    double vpv = 0.0;
    for (std::size_t r = 1; r <= n; ++r)
        vpv += e.system.l[r] * pv[r];
    return vpv * p.Sigma0 * p.Sigma0 / static_cast<double>(n - u);
}

int RunAdjustment(ProjectState& p, EngineState& e, Progress& progress) {
    if (!Prepare(p, e, progress))
        return 0;
    if (!SymbolicAndNumeric(p, e, progress))
        return 0;
    const bool design = p.AdjDesign != 0;
    if (!design) {
        if (!Iterate(p, e, progress))
            return 0;
        FormResiduals(e);
        e.varianceFactor = PosterioriVarianceFactor(p, e);
        if (p.APosVarFac != 0 && e.Unknowns() < e.Rows())
            ApplyVarianceFactor(p, e);
    }
    e.results.f = e.varianceFactorApplied ? std::sqrt(e.varianceFactor) : 1.0;
    if (!PrecisionAndTests(p, e, progress))
        return 0;
    if (p.Phase == PHASE_CONSTRAINED && !ConstrainedPhase(p, e, progress))
        return 0;
    if (!design && e.Unknowns() <= e.Rows())
        FormAdjustedObservations(e);
    if (!e.freeObservations.list.empty() && !AdjustFreeObservations(p, e))
        return 0;
    if (!design && e.Unknowns() <= e.Rows())
        SecondFaceZenithAngles(e);
    return 1;
}

} // namespace Tavex
