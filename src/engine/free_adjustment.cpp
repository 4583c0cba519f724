// The separate adjustment of free observations (free_observations.h).
#include "engine/build_rows.h"
#include "engine/cofactor_lookup.h"
#include "engine/engine_state.h"
#include "engine/free_observations.h"
#include "engine/geometry_refresh.h"
#include "engine/row_equation.h"
#include "engine/row_weights.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "project/project_state.h"
#include "resources/string_ids.h"
#include "testing/precision.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Tavex {

namespace {

constexpr int kMaxRepetitions = 10;
constexpr int kMaxRows = 3; // a record has three readings
constexpr int kMaxFree = 3; // north, east, height of the free station
// The held unknowns: the held station's north, east and height, the
// parameters of the record's readings (an orientation, a scale factor, a
// refraction coefficient) and the seven GPS transformation parameters.
constexpr int kMaxHeld = 3 + 3 + kGpsParameters;
// A component whose normal-matrix diagonal is below this part of the
// largest is not determined by the record (the height of a horizontal
// distance in 3D).
constexpr double kUndetermined = 1e-12;

// The record's kind by the readings it holds: label and failure message.
struct RecordKind {
    int label = 0;
    int failure = 0;
};
constexpr RecordKind kBaseline = {STR_FREE_BASELINE, STR_FREE_BASELINE_FAILED};
constexpr RecordKind kHeightDifference = {STR_FREE_HEIGHT_DIFFERENCE,
                                          STR_FREE_HEIGHT_DIFFERENCE_FAILED};
constexpr RecordKind kDirectionDistance = {STR_FREE_DIRECTION_DISTANCE,
                                           STR_FREE_DIRECTION_DISTANCE_FAILED};
constexpr RecordKind kTotalStation = {STR_FREE_TOTAL_STATION, STR_FREE_TOTAL_STATION_FAILED};
constexpr RecordKind kTrigonometricHeight = {STR_FREE_TRIGONOMETRIC_HEIGHT,
                                             STR_FREE_TRIGONOMETRIC_HEIGHT_FAILED};

// Cholesky decomposition and inverse of a small symmetric matrix (n ≤ 3);
// false when it is not positive definite.
bool InvertSmall(const double (&a)[kMaxFree][kMaxFree], int n,
                 double (&inverse)[kMaxFree][kMaxFree]) {
    double g[kMaxFree][kMaxFree] = {};
    for (int j = 0; j < n; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k)
            d -= g[j][k] * g[j][k];
        if (!(d > 0.0))
            return false;
        g[j][j] = std::sqrt(d);
        for (int i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (int k = 0; k < j; ++k)
                s -= g[i][k] * g[j][k];
            g[i][j] = s / g[j][j];
        }
    }
    // Columns of A⁻¹ by forward and back substitution of unit vectors.
    for (int c = 0; c < n; ++c) {
        double y[kMaxFree] = {};
        for (int i = 0; i < n; ++i) {
            double s = i == c ? 1.0 : 0.0;
            for (int k = 0; k < i; ++k)
                s -= g[i][k] * y[k];
            y[i] = s / g[i][i];
        }
        for (int i = n - 1; i >= 0; --i) {
            double s = y[i];
            for (int k = i + 1; k < n; ++k)
                s -= g[k][i] * inverse[k][c];
            inverse[i][c] = s / g[i][i];
        }
    }
    return true;
}

// The record's linearised rows at the free station's current position:
// derivatives by the free components (af) and by the held unknowns (am),
// reduced observations and the weight matrix.
struct RecordSystem {
    int rows = 0;
    double af[kMaxRows][kMaxFree] = {};
    double am[kMaxRows][kMaxHeld] = {};
    double l[kMaxRows] = {};
    double w[kMaxRows][kMaxRows] = {};
    RowEquation equation[kMaxRows];
};

class FreeAdjuster {
public:
    FreeAdjuster(ProjectState& p, EngineState& e, FreeObservation& f)
        : p_(p), e_(e), f_(f), o_(*p.Observations.GetAt(static_cast<int>(f.observation))) {}

    // Builds, classifies and solves the record; messages for what fails.
    void Run();

private:
    bool UsableRows();
    void Classify();
    void SetUpComponents();
    void HoldKnownStation();
    struct Held;
    double HeldDerivative(const ObservationRow& row, const RowEquation& q, const double* byHeld,
                          const Held& held) const;
    void Linearise(RecordSystem& s) const;
    // Leaves out the candidate components the record does not determine.
    void DropUndetermined(const RecordSystem& s);
    // Solves the normal equations of the components in use; false when
    // they are singular.
    bool Solve(const RecordSystem& s, double (&dx)[kMaxFree],
               double (&nInverse)[kMaxFree][kMaxFree]) const;
    void Apply(const double (&dx)[kMaxFree]);
    void Store(const RecordSystem& s, const double (&dx)[kMaxFree],
               const double (&nInverse)[kMaxFree][kMaxFree]);
    CKZString Stations() const;
    void Error(int id, const CKZString& text) {
        p_.Messages.AddMessage(id, MSG_ERROR, REF_OBSERVATIONS, text, o_.Record);
    }
    void Fail() {
        CKZString text;
        text.Format(L"%s %s", CStringL(kind_.failure).c_str(), Stations().c_str());
        Error(kind_.failure, text);
    }

    ProjectState& p_;
    EngineState& e_;
    FreeObservation& f_;
    const CObservation& o_;
    std::vector<ObservationRow> rows_;
    RecordKind kind_;
    int components_[kMaxFree] = {}; // 0 north, 1 east, 2 height
    int componentCount_ = 0;
    // The held unknowns (kMaxHeld), or, for a known station without
    // unknowns, its known components.
    struct Held {
        std::uint32_t unknown = 0; // 0: a known coordinate held as given
        int component = 0;     // 0 north, 1 east, 2 height; kHeldParameter; kHeldGps + sub − 1
        double variance = 0.0; // of a known coordinate: σ0² σ²
    };
    static constexpr int kHeldParameter = 3; // the row's own parameter
    static constexpr int kHeldGps = 4;
    void Hold(std::uint32_t unknown, int component) {
        if (unknown == 0)
            return;
        for (int m = 0; m < heldCount_; ++m)
            if (held_[m].unknown == unknown)
                return;
        held_[heldCount_++] = {unknown, component, 0.0};
    }
    Held held_[kMaxHeld];
    int heldCount_ = 0;
};

CKZString FreeAdjuster::Stations() const {
    CKZString text = p_.Stations[o_.Station].Name;
    text += L" - ";
    text += p_.Stations[o_.Target].Name;
    return text;
}

// Keeps the rows the record can use for its free station: a direction needs
// the orientation of its set, which only the held station has in the main
// adjustment.
bool FreeAdjuster::UsableRows() {
    if (!BuildRecordRows(p_, f_.observation, rows_))
        return false;
    std::erase_if(rows_, [&](const ObservationRow& row) {
        return row.kind == ROW_DIRECTION &&
               (row.from != f_.heldStation || e_.index.Orientation(row.from, row.sub) == 0);
    });
    return true;
}

void FreeAdjuster::Classify() {
    bool direction = false, distance = false, zenith = false;
    for (const ObservationRow& row : rows_) {
        switch (row.kind) {
        case ROW_GPS_BASELINE:
            kind_ = kBaseline;
            return;
        case ROW_HEIGHT_DIFFERENCE:
            kind_ = kHeightDifference;
            return;
        case ROW_TRIG_HEIGHT:
            kind_ = kTrigonometricHeight;
            return;
        case ROW_DIRECTION:
            direction = true;
            break;
        case ROW_DISTANCE:
            distance = true;
            break;
        case ROW_ZENITH:
            zenith = true;
            break;
        default:
            break;
        }
    }
    // A reduced distance carries its record's zenith angle.
    zenith |= o_.HasZenith();
    kind_ = zenith && direction && distance ? kTotalStation : kDirectionDistance;
}

void FreeAdjuster::SetUpComponents() {
    const bool baseline = kind_.label == STR_FREE_BASELINE;
    componentCount_ = 0;
    if (p_.Dimension != 1) {
        components_[componentCount_++] = 0;
        components_[componentCount_++] = 1;
    }
    if (p_.Dimension != 2 || baseline)
        components_[componentCount_++] = 2;
    heldCount_ = 0;
    const unsigned h = f_.heldStation;
    const std::uint32_t coordinates[3] = {e_.index.north[h], e_.index.east[h], e_.index.height[h]};
    for (int c = 0; c < 3; ++c)
        if (coordinates[c] != 0)
            held_[heldCount_++] = {coordinates[c], c, 0.0};
    if (heldCount_ == 0)
        HoldKnownStation();
    // The parameters the readings depend on, at their adjusted values with
    // their cofactors.
    for (const ObservationRow& row : rows_) {
        const unsigned group = row.sub;
        switch (row.kind) {
        case ROW_DIRECTION:
            Hold(e_.index.Orientation(row.from, row.sub), kHeldParameter);
            break;
        case ROW_DISTANCE:
            if (group < kParameterGroups)
                Hold(e_.index.scale[group], kHeldParameter);
            break;
        case ROW_ZENITH:
            if (group < kParameterGroups)
                Hold(e_.index.refraction[group], kHeldParameter);
            break;
        case ROW_GPS_BASELINE:
            for (int sub = 1; sub <= kGpsParameters; ++sub)
                Hold(e_.index.gps[sub], kHeldGps + sub - 1);
            break;
        default:
            break;
        }
    }
}

// A known station that no other observation keeps in the network: its given
// coordinates are held with their a-priori standard deviations.
void FreeAdjuster::HoldKnownStation() {
    const unsigned h = f_.heldStation;
    const StationRec& station = p_.Stations[h];
    for (unsigned k = 1; k <= p_.KnownCount; ++k) {
        const KnownRec& known = p_.Known[k];
        if (known.Station != h)
            continue;
        e_.geometry[h] = StationGeometry::At(p_.CurrentProjection->GetEllipsoid(), station.Lat,
                                             station.Lon, station.Height);
        const double s02 = p_.Sigma0 * p_.Sigma0;
        if (known.LatKnown && known.LonKnown && p_.Dimension != 1) {
            held_[heldCount_++] = {0, 0, s02 * known.SdLat * known.SdLat};
            held_[heldCount_++] = {0, 1, s02 * known.SdLon * known.SdLon};
        }
        if (known.HeightKnown && p_.Dimension != 2)
            held_[heldCount_++] = {0, 2, s02 * known.SdHeight * known.SdHeight};
    }
}

// The derivative of a row by a held unknown (0 when the row does not
// depend on it).
double FreeAdjuster::HeldDerivative(const ObservationRow& row, const RowEquation& q,
                                    const double* byHeld, const Held& held) const {
    if (held.component < kHeldParameter)
        return byHeld[held.component];
    if (held.component >= kHeldGps)
        return row.kind == ROW_GPS_BASELINE ? q.model.gps[held.component - kHeldGps + 1] : 0.0;
    const unsigned group = row.sub;
    switch (row.kind) {
    case ROW_DIRECTION:
        return held.unknown == e_.index.Orientation(row.from, row.sub) ? q.model.parameter : 0.0;
    case ROW_DISTANCE: // the scale factor's unknown is a relative correction
        return group < kParameterGroups && held.unknown == e_.index.scale[group]
                   ? q.model.parameter * q.parameters.scale
                   : 0.0;
    case ROW_ZENITH:
        return group < kParameterGroups && held.unknown == e_.index.refraction[group]
                   ? q.model.parameter
                   : 0.0;
    default:
        return 0.0;
    }
}

void FreeAdjuster::Linearise(RecordSystem& s) const {
    s = RecordSystem{};
    s.rows = static_cast<int>(rows_.size());
    const double scale = e_.varianceFactorApplied ? std::max(e_.varianceFactor, 1e-32) : 1.0;
    for (int i = 0; i < s.rows; ++i) {
        const ObservationRow& row = rows_[static_cast<std::size_t>(i)];
        const RowEquation q = LineariseRow(p_, e_, row);
        s.equation[i] = q;
        const bool freeIsFrom = row.from == f_.freeStation;
        const double* byFree = freeIsFrom ? q.model.from : q.model.to;
        const double* byHeld = freeIsFrom ? q.model.to : q.model.from;
        for (int c = 0; c < componentCount_; ++c)
            s.af[i][c] = byFree[components_[c]] * q.rowScale;
        for (int m = 0; m < heldCount_; ++m)
            s.am[i][m] = HeldDerivative(row, q, byHeld, held_[m]) * q.rowScale;
        s.l[i] = q.l;
        if (row.kind != ROW_GPS_BASELINE)
            s.w[i][i] = WeightOf(q.sigma, p_.Sigma0) / scale;
    }
    // A baseline's three rows share the inverse of its covariance.
    if (kind_.label == STR_FREE_BASELINE && s.rows == 3) {
        Covariance3 cov = GpsRowCovariance(p_, e_, rows_[0]), inverse{};
        for (auto& line : cov.c)
            for (double& c : line)
                c *= p_.Sigma0 * p_.Sigma0 * scale;
        if (InvertPositiveDefinite(cov, inverse))
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    s.w[i][j] = inverse.c[i][j];
        for (int i = 0; i < 3; ++i)
            s.equation[i].sigma = std::sqrt(cov.c[i][i] / scale) / p_.Sigma0;
    }
}

void FreeAdjuster::DropUndetermined(const RecordSystem& s) {
    double diagonal[kMaxFree] = {}, largest = 0.0;
    for (int a = 0; a < componentCount_; ++a) {
        for (int i = 0; i < s.rows; ++i)
            for (int j = 0; j < s.rows; ++j)
                diagonal[a] += s.af[i][a] * s.w[i][j] * s.af[j][a];
        largest = std::max(largest, diagonal[a]);
    }
    int kept = 0;
    for (int a = 0; a < componentCount_; ++a)
        if (diagonal[a] > kUndetermined * largest)
            components_[kept++] = components_[a];
    componentCount_ = kept;
}

bool FreeAdjuster::Solve(const RecordSystem& s, double (&dx)[kMaxFree],
                         double (&nInverse)[kMaxFree][kMaxFree]) const {
    double n[kMaxFree][kMaxFree] = {}, b[kMaxFree] = {};
    for (int i = 0; i < s.rows; ++i)
        for (int j = 0; j < s.rows; ++j)
            for (int a = 0; a < componentCount_; ++a) {
                b[a] += s.af[i][a] * s.w[i][j] * s.l[j];
                for (int c = 0; c < componentCount_; ++c)
                    n[a][c] += s.af[i][a] * s.w[i][j] * s.af[j][c];
            }
    if (componentCount_ == 0 || !InvertSmall(n, componentCount_, nInverse))
        return false;
    for (int a = 0; a < componentCount_; ++a) {
        dx[a] = 0.0;
        for (int c = 0; c < componentCount_; ++c)
            dx[a] += nInverse[a][c] * b[c];
    }
    return true;
}

void FreeAdjuster::Apply(const double (&dx)[kMaxFree]) {
    StationGeometry& g = e_.geometry[f_.freeStation];
    double lat = g.lat, lon = g.lon, h = g.h;
    for (int c = 0; c < componentCount_; ++c) {
        switch (components_[c]) {
        case 0:
            lat += dx[c] / g.NorthScale();
            break;
        case 1:
            lon += dx[c] / g.EastScale();
            break;
        default:
            h += dx[c];
            break;
        }
    }
    g = StationGeometry::At(p_.CurrentProjection->GetEllipsoid(), lat, lon, h);
}

void FreeAdjuster::Store(const RecordSystem& s, const double (&dx)[kMaxFree],
                         const double (&nInverse)[kMaxFree][kMaxFree]) {
    const int k = componentCount_, h = heldCount_;
    // The held unknowns' cofactors from the main adjustment. An element off
    // the sparse inverse's structure (never a station's own block) counts 0.
    CofactorLookup lookup(e_.system.factor);
    double qmm[kMaxHeld][kMaxHeld] = {};
    for (int a = 0; a < h; ++a)
        for (int b = 0; b < h; ++b) {
            if (held_[a].unknown == 0 || held_[b].unknown == 0) {
                qmm[a][b] = a == b ? held_[a].variance : 0.0;
                continue;
            }
            const double v = lookup(held_[a].unknown, held_[b].unknown);
            qmm[a][b] = std::isfinite(v) ? v : 0.0;
        }
    // G = −N_f⁻¹ A_fᵀ P A_m.
    double atpam[kMaxFree][kMaxHeld] = {};
    for (int a = 0; a < k; ++a)
        for (int i = 0; i < s.rows; ++i)
            for (int j = 0; j < s.rows; ++j)
                for (int m = 0; m < h; ++m)
                    atpam[a][m] += s.af[i][a] * s.w[i][j] * s.am[j][m];
    double g[kMaxFree][kMaxHeld] = {};
    for (int a = 0; a < k; ++a)
        for (int m = 0; m < h; ++m)
            for (int c = 0; c < k; ++c)
                g[a][m] -= nInverse[a][c] * atpam[c][m];
    // Q_fm = G Q_mm, Q_ff = N_f⁻¹ + G Q_mm Gᵀ.
    double qfm[kMaxFree][kMaxHeld] = {}, qff[kMaxFree][kMaxFree] = {};
    for (int a = 0; a < k; ++a)
        for (int m = 0; m < h; ++m)
            for (int n = 0; n < h; ++n)
                qfm[a][m] += g[a][n] * qmm[n][m];
    for (int a = 0; a < k; ++a)
        for (int c = 0; c < k; ++c) {
            qff[a][c] = nInverse[a][c];
            for (int m = 0; m < h; ++m)
                qff[a][c] += qfm[a][m] * g[c][m];
        }
    // The station's block in north, east, height order.
    double q[3][3] = {};
    for (int a = 0; a < k; ++a)
        for (int c = 0; c < k; ++c)
            q[components_[a]][components_[c]] = qff[a][c];
    bool solved[3] = {false, false, false};
    for (int a = 0; a < k; ++a)
        solved[components_[a]] = true;
    f_.north = solved[0];
    f_.east = solved[1];
    f_.height = solved[2];
    const double s0 = p_.Sigma0, s02 = s0 * s0;
    StationPrecision sp;
    sp.computed = true;
    sp.cNN = q[0][0] / s02;
    sp.cNE = q[0][1] / s02;
    sp.cEE = q[1][1] / s02;
    sp.cNh = q[0][2] / s02;
    sp.cEh = q[1][2] / s02;
    sp.chh = q[2][2] / s02;
    sp.sdHeight = std::sqrt(std::max(q[2][2], 0.0)) / s0;
    if (f_.north && f_.east)
        sp.ellipse = EllipseOf(q[1][1], q[0][1], q[0][0], s0);
    if (e_.results.stations.size() <= f_.freeStation)
        e_.results.stations.resize(p_.StationCount + 1);
    e_.results.stations[f_.freeStation] = sp;

    // Each reading: its residual, and the standard deviation of the adjusted
    // reading a Q aᵀ over the free and the held unknowns.
    f_.rows.clear();
    for (int i = 0; i < s.rows; ++i) {
        const RowEquation& eq = s.equation[i];
        double v = s.l[i];
        for (int a = 0; a < k; ++a)
            v -= s.af[i][a] * dx[a];
        double variance = 0.0;
        for (int a = 0; a < k; ++a)
            for (int c = 0; c < k; ++c)
                variance += s.af[i][a] * qff[a][c] * s.af[i][c];
        for (int a = 0; a < k; ++a)
            for (int m = 0; m < h; ++m)
                variance += 2.0 * s.af[i][a] * qfm[a][m] * s.am[i][m];
        for (int m = 0; m < h; ++m)
            for (int n = 0; n < h; ++n)
                variance += s.am[i][m] * qmm[m][n] * s.am[i][n];
        // Distances are reduced relatively: back to metres.
        const double unit = 1.0 / eq.rowScale;
        FreeRowResult result;
        result.row = rows_[static_cast<std::size_t>(i)];
        result.observed = eq.observed;
        result.residual = v * unit;
        result.adjusted = eq.observed - result.residual;
        if (result.row.kind == ROW_DIRECTION || result.row.kind == ROW_AZIMUTH)
            result.adjusted = std::remainder(result.adjusted, 2.0 * M_PI) < 0.0
                                  ? std::remainder(result.adjusted, 2.0 * M_PI) + 2.0 * M_PI
                                  : std::remainder(result.adjusted, 2.0 * M_PI);
        result.sd = eq.sigma * unit;
        result.sdAdjusted = std::sqrt(std::max(variance, 0.0)) / s0 * unit;
        f_.rows.push_back(result);
    }
    f_.solved = true;
}

void FreeAdjuster::Run() {
    if (!UsableRows())
        throw std::bad_alloc();
    if (rows_.empty())
        return; // the row building has said why
    Classify();
    if (kind_.label == STR_FREE_DIRECTION_DISTANCE && rows_.size() == 1 && p_.Dimension != 1) {
        // One direction, distance or zenith angle cannot fix a station.
        const std::uint16_t kind = rows_[0].kind;
        const int label = kind == ROW_DIRECTION  ? STR_LABEL_DIRECTION
                          : kind == ROW_DISTANCE ? STR_LABEL_DISTANCE
                                                 : STR_LABEL_ZENITH;
        CKZString text;
        text.Format(L"%s %s %s", CStringL(STR_CANNOT_USE).c_str(), Stations().c_str(),
                    CStringL(label).c_str());
        p_.Messages.AddMessage(STR_CANNOT_USE, MSG_WARNING, REF_OBSERVATIONS, text, o_.Record);
        return;
    }
    SetUpComponents();
    if (heldCount_ == 0) {
        Fail(); // the held station has no place in the main adjustment
        return;
    }
    f_.kindLabel = kind_.label;
    const StationRec& start = p_.Stations[f_.freeStation];
    e_.geometry[f_.freeStation] = StationGeometry::At(p_.CurrentProjection->GetEllipsoid(),
                                                      start.Lat, start.Lon, start.Height);
    RecordSystem s;
    Linearise(s);
    DropUndetermined(s);
    double dx[kMaxFree] = {}, nInverse[kMaxFree][kMaxFree] = {};
    const auto singular = [&] {
        CKZString text;
        text.Format(L"%s %s %s", CStringL(kind_.label).c_str(), CStringL(STR_FREE_SINGULAR).c_str(),
                    Stations().c_str());
        Error(STR_FREE_SINGULAR, text);
    };
    for (int repetition = 1;; ++repetition) {
        Linearise(s);
        if (!Solve(s, dx, nInverse)) {
            singular();
            return;
        }
        Apply(dx);
        bool converged = true;
        for (int a = 0; a < componentCount_; ++a)
            if (components_[a] != 2 && std::fabs(dx[a]) > p_.Epsilon)
                converged = false;
        if (converged)
            break;
        if (repetition == kMaxRepetitions) {
            CKZString text;
            text.Format(L"%s %u %s", CStringL(STR_FREE_ITERATION_LIMIT).c_str(), o_.Record,
                        Stations().c_str());
            Error(STR_FREE_ITERATION_LIMIT, text);
            return;
        }
    }
    // Residuals and precision at the solution.
    Linearise(s);
    if (!Solve(s, dx, nInverse)) {
        singular();
        return;
    }
    Store(s, dx, nInverse);
}

} // namespace

int AdjustFreeObservations(ProjectState& p, EngineState& e) {
    for (FreeObservation& f : e.freeObservations.list) {
        try {
            FreeAdjuster(p, e, f).Run();
        } catch (const std::bad_alloc&) {
            return ReportNoMemory(p.Messages, STR_NO_MEMORY_COMPUTE,
                                  f.kindLabel != 0 ? f.kindLabel : STR_FREE_TOTAL_STATION);
        }
    }
    return 1;
}

} // namespace Tavex
