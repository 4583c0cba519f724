#include "testing/precision.h"

#include "messages/no_memory.h"
#include "resources/string_ids.h"

#include <cmath>
#include <new>
#include <numbers>

namespace Tavex {

namespace {

constexpr double kFloor = 1e-32;

struct StationUnknowns {
    std::uint32_t north = 0, east = 0, height = 0;
};

StationUnknowns UnknownsOf(const EngineState& e, unsigned s) {
    return {e.index.north[s], e.index.east[s], e.index.height[s]};
}

// Horizontal vector from X to P in the horizon of X (metres).
struct Horizontal {
    double n, e;
};
Horizontal VectorFrom(const StationGeometry& x, const StationGeometry& p) {
    const double dLon = std::remainder(p.lon - x.lon, 2.0 * std::numbers::pi);
    return {(x.M + x.h) * (p.lat - x.lat), (x.N + x.h) * x.cosLat * dLon};
}
double Length(const Horizontal& v) {
    return std::max(std::hypot(v.n, v.e), kFloor);
}
double Dot(const Horizontal& a, const Horizontal& b) {
    return a.n * b.n + a.e * b.e;
}
double Criterion(double d) {
    return kCriterionC0 + kCriterionC1 * d;
}

} // namespace

StandardEllipse EllipseOf(double qEE, double qNE, double qNN, double sigma0) {
    const double h = (qEE - qNN) / 2.0;
    const double s = std::sqrt(h * h + qNE * qNE);
    const double m = (qEE + qNN) / 2.0;
    const double l1 = m + s, l2 = m - s;
    StandardEllipse ellipse;
    ellipse.phi = std::fabs(l1 - qEE) < kFloor ? std::numbers::pi / 2 : std::atan(qNE / (l1 - qEE));
    ellipse.A = std::sqrt(std::max(l1, 0.0)) / sigma0;
    ellipse.B = std::sqrt(std::fabs(l2)) / sigma0;
    return ellipse;
}

void ComputeStationPrecision(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    CofactorLookup q(e.system.factor);
    const double s0 = p.Sigma0;
    const double s02 = s0 * s0;
    r.sdUnknown.assign(e.Unknowns() + 1, 0.0);
    for (std::uint32_t j = 1; j <= e.Unknowns(); ++j)
        r.sdUnknown[j] = std::sqrt(std::max(q(j, j), 0.0)) / s0;
    r.stations.assign(p.StationCount + 1, StationPrecision{});
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        const StationUnknowns u = UnknownsOf(e, s);
        if (!u.north && !u.east && !u.height)
            continue;
        StationPrecision& sp = r.stations[s];
        sp.computed = true;
        const double qNN = u.north ? q(u.north, u.north) : 0.0;
        const double qEE = u.east ? q(u.east, u.east) : 0.0;
        const double qNE = u.north && u.east ? q(u.north, u.east) : 0.0;
        const double qhh = u.height ? q(u.height, u.height) : 0.0;
        const bool all = u.north && u.east && u.height;
        sp.cNN = qNN / s02;
        sp.cNE = qNE / s02;
        sp.cEE = qEE / s02;
        sp.chh = qhh / s02;
        sp.cNh = all ? q(u.north, u.height) / s02 : 0.0;
        sp.cEh = all ? q(u.east, u.height) / s02 : 0.0;
        sp.sdHeight = std::sqrt(std::max(qhh, 0.0)) / s0;
        if (p.Dimension != 1 && u.north && u.east)
            sp.ellipse = EllipseOf(qEE, qNE, qNN, s0);
    }
    r.precisionComputed = true;
}

int ComputeRelativeEllipses(ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    try {
        CofactorLookup q(e.system.factor);
        r.relative.clear();
        r.relativeIndex.clear();
        for (std::size_t row = 1; row <= e.observationRows; ++row) {
            const ObservationRow& o = e.rows[row];
            if (o.kind == ROW_GPS_COORDINATE || o.kind == ROW_RELATION ||
                o.kind == ROW_LOCAL_COORDINATE || o.to == 0 || o.from == o.to)
                continue;
            // A pair given in both orders is one pair.
            const auto key = std::make_pair(std::min(o.from, o.to), std::max(o.from, o.to));
            if (r.relativeIndex.count(key))
                continue;
            const StationUnknowns a = UnknownsOf(e, o.from), b = UnknownsOf(e, o.to);
            // The difference of the two stations' components: q_Δ = Qbb + Qaa − Qab − Qba.
            const auto difference = [&](std::uint32_t ai, std::uint32_t aj, std::uint32_t bi,
                                        std::uint32_t bj) {
                double v = 0.0;
                if (bi && bj)
                    v += q(bi, bj);
                if (ai && aj)
                    v += q(ai, aj);
                if (ai && bj)
                    v -= q(ai, bj);
                if (bi && aj)
                    v -= q(bi, aj);
                return v;
            };
            RelativePrecision rel;
            rel.from = o.from;
            rel.to = o.to;
            const double qhh = difference(a.height, a.height, b.height, b.height);
            rel.sdHeight = std::sqrt(std::fabs(qhh)) / p.Sigma0;
            if (p.Dimension == 1) {
                rel.ellipse.A = rel.sdHeight;
            } else {
                rel.ellipse = EllipseOf(difference(a.east, a.east, b.east, b.east),
                                        difference(a.north, a.east, b.north, b.east),
                                        difference(a.north, a.north, b.north, b.north), p.Sigma0);
            }
            rel.length = Length(VectorFrom(e.geometry[o.from], e.geometry[o.to]));
            rel.criterion = std::sqrt(std::fabs(2.0 * Criterion(rel.length)));
            r.relativeIndex[key] = r.relative.size();
            r.relative.push_back(rel);
        }
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_RELATIVE_ELLIPSES);
    }
    return 1;
}

void ComputeCriterionCircles(const ProjectState& p, EngineState& e) {
    AdjustmentResults& r = e.results;
    if (r.stations.empty())
        return;
    if (p.Dimension == 1) {
        // Base: the last known station with a fixed height.
        unsigned base = 0;
        for (unsigned k : e.known)
            if (p.Known[k].HeightKnown && e.index.height[p.Known[k].Station])
                base = p.Known[k].Station;
        if (base == 0)
            return;
        for (unsigned position = 1; position <= e.order.count; ++position) {
            const unsigned s = e.order.stationAt[position];
            if (!r.stations[s].computed)
                continue;
            const double d = Length(VectorFrom(e.geometry[base], e.geometry[s]));
            r.stations[s].criterion =
                s == base ? r.stations[s].sdHeight : std::sqrt(std::fabs(2.0 * Criterion(d)));
        }
        return;
    }
    unsigned bases[2] = {0, 0};
    int found = 0;
    for (unsigned k : e.known) {
        const KnownRec& known = p.Known[k];
        if (found < 2 && known.LatKnown && known.LonKnown)
            bases[found++] = known.Station;
    }
    if (found < 2)
        return;
    const StationGeometry& A = e.geometry[bases[0]];
    const StationGeometry& B = e.geometry[bases[1]];
    // A − B in the horizon of A and in that of B.
    const Horizontal eAfromA = {-VectorFrom(A, B).n, -VectorFrom(A, B).e};
    const Horizontal eBfromB = VectorFrom(B, A);
    const double dAB = Length(eAfromA);
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        if (!r.stations[s].computed || !e.index.north[s] || !e.index.east[s])
            continue;
        if (s == bases[0] || s == bases[1]) {
            r.stations[s].criterion = r.stations[s].ellipse.A;
            continue;
        }
        const Horizontal a = VectorFrom(A, e.geometry[s]);
        const Horizontal b = VectorFrom(B, e.geometry[s]);
        const double T =
            -2.0 * (Dot(a, eBfromB) * Criterion(Length(b)) -
                    Dot(b, eAfromA) * Criterion(Length(a)) - Dot(a, b) * Criterion(dAB));
        r.stations[s].criterion = std::sqrt(std::fabs(T) / (dAB * dAB));
    }
}

double RowCofactor(const EngineState& e, CofactorLookup& q, std::size_t i, std::size_t k) {
    const CompressedRows& A = e.system.A;
    double sum = 0.0;
    for (std::size_t a = A.Begin(i); a < A.End(i); ++a)
        for (std::size_t b = A.Begin(k); b < A.End(k); ++b)
            sum += A.val[a] * A.val[b] * q(A.col[a], A.col[b]);
    return sum;
}

void RowBlockCofactors(const EngineState& e, CofactorLookup& q, std::size_t first, int count,
                       double (&B)[3][3]) {
    constexpr int kMost = 3 * 24; // a design row has at most 24 entries
    const CompressedRows& A = e.system.A;
    std::size_t entries = 0;
    for (int j = 0; j < count; ++j)
        entries += A.End(first + j) - A.Begin(first + j);
    if (entries > static_cast<std::size_t>(kMost)) {
        for (int j = 0; j < count; ++j)
            for (int k = 0; k < count; ++k)
                B[j][k] = RowCofactor(e, q, first + j, first + k);
        return;
    }
    std::uint32_t unknown[kMost];
    double a[3][kMost] = {};
    int n = 0;
    for (int j = 0; j < count; ++j)
        for (std::size_t g = A.Begin(first + j); g < A.End(first + j); ++g) {
            int at = 0;
            while (at < n && unknown[at] != A.col[g])
                ++at;
            if (at == n)
                unknown[n++] = A.col[g];
            a[j][at] = A.val[g];
        }
    // Each cofactor once: Q is symmetric.
    static thread_local double Q[kMost][kMost];
    for (int i = 0; i < n; ++i)
        for (int l = 0; l <= i; ++l)
            Q[i][l] = Q[l][i] = q(unknown[i], unknown[l]);
    for (int j = 0; j < count; ++j)
        for (int k = 0; k < count; ++k) {
            double sum = 0.0;
            for (int i = 0; i < n; ++i) {
                if (a[j][i] == 0.0)
                    continue;
                double row = 0.0;
                for (int l = 0; l < n; ++l)
                    row += Q[i][l] * a[k][l];
                sum += a[j][i] * row;
            }
            B[j][k] = sum;
        }
}

int ComputeAdjustedObservationPrecision(ProjectState& p, EngineState& e) {
    try {
        CofactorLookup q(e.system.factor);
        e.results.sdAdjusted.assign(e.Rows() + 1, 0.0);
        for (std::size_t i = 1; i <= e.Rows(); ++i) {
            double B[3][3];
            RowBlockCofactors(e, q, i, 1, B);
            e.results.sdAdjusted[i] = std::sqrt(std::fabs(B[0][0])) / p.Sigma0;
        }
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE, STR_OBJECT_ADJUSTED_SD);
    }
    return 1;
}

} // namespace Tavex
