#include "prerun/defect_detection.h"

#include "engine/factor_capacity.h"
#include "engine/normal_rows.h"
#include "engine/singularity_report.h"
#include "engine/symbolic_factorisation.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "platform/memory_status.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>

namespace Tavex {

namespace {

// A pivot that keeps less than this share of its diagonal element is
// rounding noise: about 500 units in the last place of N(j, j). The
// criterion c² alone is absolute, and the cancellation in the pivot of an
// undetermined unknown leaves of the order of ε N(j, j) behind (with
// 1 mm levelling, N(j, j) ~ 1e6 and the remainder ~ 1e-10, far above the
// default c² = 1e-12), so a levelling network without a known height would
// pass as determined. Genuinely weak unknowns keep far more than this.
constexpr double kRoundingShare = 1e-13;

} // namespace

std::uint32_t FactoriseFlaggingDefects(LinearSystem& s, double c, std::vector<char>& flags) {
    CholeskyFactor& factor = s.factor;
    CompressedRows& L = factor.L;
    const std::size_t u = L.rows;
    const double pivotFloor = c * c;
    flags.assign(u + 1, 0);
    std::uint32_t count = 0;
    std::vector<double> x(u + 1, 0.0);
    // The off-diagonal entries of L by columns, kept while the rows are
    // formed: column k's rows below the diagonal and their values.
    std::vector<std::vector<std::pair<std::uint32_t, double>>> column(u + 1);
    std::vector<std::pair<std::uint32_t, double>> row;
    if (L.val.size() != L.Stored() + 1)
        L.val.assign(L.Stored() + 1, 0.0);
    factor.holdsCofactors = false;

    for (std::uint32_t j = 1; j <= u; ++j) {
        ScatterNormalRow(s, j, x);
        const std::size_t diagonal = factor.Diagonal(j);
        const double njj = x[j];
        double d = njj;
        x[j] = 0.0;
        row.clear();
        // The row of L against the columns not flagged, in ascending order
        // (a topological order of the elimination tree).
        for (std::size_t e = L.Begin(j); e < diagonal; ++e) {
            const std::uint32_t k = L.col[e];
            if (flags[k]) {
                x[k] = 0.0; // a flagged unknown counts as fixed
                L.val[e] = 0.0;
                continue;
            }
            const double ljk = x[k] / L.val[factor.Diagonal(k)]; // l(j, k)
            x[k] = 0.0;
            for (const auto& [i, lik] : column[k])
                x[i] -= lik * ljk;
            d -= ljk * ljk;
            L.val[e] = ljk;
            row.emplace_back(k, ljk);
        }
        // A pivot below c² (NaN too) is singular and its row stays empty.
        // So is a pivot of 0 even with a criterion of 0 (taken as regular it
        // would put l(j, j) = 0 on the diagonal and divide the later rows by
        // it), and a pivot at the rounding level of its diagonal element.
        if (!(d >= pivotFloor && d > 0.0 && d > kRoundingShare * njj)) {
            flags[j] = 1;
            ++count;
            for (std::size_t e = L.Begin(j); e <= diagonal; ++e)
                L.val[e] = 0.0;
            continue;
        }
        L.val[diagonal] = std::sqrt(d);
        for (const auto& [k, ljk] : row)
            column[k].emplace_back(j, ljk);
    }
    return count;
}

void ListDefects(const ProjectState& p, const EngineState& e, const std::vector<char>& flags,
                 CVelnikChecks& block) {
    const auto add = [&](int message, const CKZString& text, std::uint32_t station,
                         std::uint32_t sub) {
        auto* defect = new TXXML_PRERUNCONFIGURATIONDEFECT;
        defect->text = text;
        defect->message = message;
        defect->stationNumber = station;
        defect->sub = sub;
        block.configurationDefects.Add(defect);
    };
    const auto flagged = [&](const std::vector<std::uint32_t>& index, unsigned s) {
        return s < index.size() && index[s] != 0 && flags[index[s]] != 0;
    };
    // The coordinates, combined per station.
    for (unsigned s = 1; s <= p.StationCount; ++s) {
        if (p.Stations[s].Excluded)
            continue;
        const bool n = flagged(e.index.north, s), east = flagged(e.index.east, s);
        const bool h = flagged(e.index.height, s);
        int message = 0;
        if ((n || east) && !h)
            message = STR_SINGULAR_POSITION;
        else if (h && !(n && east))
            message = STR_SINGULAR_HEIGHT;
        else if (n && east && h)
            message = STR_SINGULAR_POSITION_AND_HEIGHT;
        if (message == 0)
            continue;
        CKZString text;
        text.Format(L"%s %s", CStringL(message).c_str(), p.Stations[s].Name.c_str());
        add(message, text, s, 0);
    }
    // Every other flagged unknown with its own message.
    for (std::uint32_t j = 1; j < flags.size(); ++j) {
        if (!flags[j] || e.unknowns[j].IsCoordinate())
            continue;
        const SingularityText singular = SingularityOf(p, e, j);
        if (singular.code != 0)
            add(singular.code, singular.text, singular.station, singular.sub);
    }
}

int DetectConfigurationDefects(ProjectState& p, EngineState& e, Progress& progress,
                               CVelnikResultsPtrArray& results) {
    if (!progress.Stage(STR_STAGE_SYMBOLIC))
        return 0;
    const std::uint64_t capacity = FactorCapacity(e.Unknowns(), e.Rows(), AvailableMemoryBytes());
    if (!SymbolicFactorisation(e.system, capacity, p.Messages))
        return 0;
    if (!progress.Stage(STR_STAGE_FILL_NORMALS))
        return 0;
    std::vector<char> flags;
    std::uint32_t count = 0;
    try {
        count = FactoriseFlaggingDefects(e.system, p.DeltaSingular / p.Sigma0, flags);
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_NORMAL_MATRIX);
    }
    if (!progress.Stage(STR_STAGE_CHECK_CONFIGURATION))
        return 0;
    if (count != 0) {
        CVelnikChecks& block =
            results.AddBlock(CHECK_CONFIGURATION_DEFECTS, 0, STR_HEADING_CONFIGURATION_DEFECTS);
        ListDefects(p, e, flags, block);
    }
    e.system.factor.Clear();
    return 1;
}

} // namespace Tavex
