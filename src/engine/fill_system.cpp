#include "engine/fill_system.h"

#include "engine/datum_rows.h"
#include "engine/geometry_refresh.h"
#include "engine/number_unknowns.h"
#include "engine/observation_model.h"
#include "engine/row_equation.h"
#include "engine/row_weights.h"
#include "messages/no_memory.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <system_error>
#include <thread>

namespace Tavex {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The entries of one design row, kept small and sorted by unknown.
struct DesignRow {
    std::uint32_t unknown[24];
    double coefficient[24];
    int count = 0;

    void Add(std::uint32_t index, double value) {
        if (index == 0)
            return;
        unknown[count] = index;
        coefficient[count] = value;
        ++count;
    }
    void Scale(double factor) {
        for (int i = 0; i < count; ++i)
            coefficient[i] *= factor;
    }
    void SortInto(CompressedRowsBuilder& builder) {
        // Insertion sort: a row has a handful of entries.
        for (int i = 1; i < count; ++i)
            for (int j = i; j > 0 && unknown[j - 1] > unknown[j]; --j) {
                std::swap(unknown[j - 1], unknown[j]);
                std::swap(coefficient[j - 1], coefficient[j]);
            }
        for (int i = 0; i < count; ++i)
            builder.Append(unknown[i], coefficient[i]);
        builder.EndRow();
    }
};

class Filler {
public:
    Filler(ProjectState& p, EngineState& e) : p_(p), e_(e), design_(p.AdjDesign != 0) {}

    // Fills A and P; 0 after error 400 or the message of a singular
    // baseline covariance.
    int Fill();

private:
    const CObservation& Observation(const ObservationRow& row) const {
        return *p_.Observations.GetAt(static_cast<int>(row.source));
    }
    void AddStationEntries(DesignRow& d, unsigned station, const double (&g)[3]) const;
    void ObservationRowFill(std::size_t r, DesignRow& d, double& weight);
    // The rows of one part of the system; the first row of a GPS group that
    // cannot be weighted in failedRow.
    struct Part {
        std::size_t first = 0, last = 0;
        CompressedRows A, P;
        std::size_t failedRow = 0;
        bool outOfMemory = false;
    };
    void FillPart(Part& part) noexcept;
    bool GpsBlock(std::size_t r, CompressedRowsBuilder& weights);
    void ReportSingularBaseline(std::size_t r);
    void DatumRowFill(std::size_t r, DesignRow& d, double& weight);
    void TransformationRowFill(std::size_t r, DesignRow& d, double& weight);
    void InnerRowFill(std::size_t r);
    double DatumWeight(double sigma) const;

    ProjectState& p_;
    EngineState& e_;
    bool design_;
    MeanPoint mean_;
    bool meanReady_ = false;
};

void Filler::AddStationEntries(DesignRow& d, unsigned station, const double (&g)[3]) const {
    if (station == 0)
        return;
    d.Add(e_.index.north[station], g[0]);
    d.Add(e_.index.east[station], g[1]);
    d.Add(e_.index.height[station], g[2]);
}

void Filler::ObservationRowFill(std::size_t r, DesignRow& d, double& weight) {
    const ObservationRow& row = e_.rows[r];
    const RowEquation q = LineariseRow(p_, e_, row);
    const RowEvaluation& model = q.model;
    AddStationEntries(d, row.from, model.from);
    AddStationEntries(d, row.to, model.to);
    switch (row.kind) {
    case ROW_DIRECTION:
        d.Add(e_.index.Orientation(row.from, row.sub), model.parameter);
        break;
    case ROW_AZIMUTH:
        if (row.sub < kParameterGroups)
            d.Add(e_.index.azimuthOffset[row.sub], model.parameter);
        break;
    case ROW_ZENITH:
        if (row.sub < kParameterGroups)
            d.Add(e_.index.refraction[row.sub], model.parameter);
        break;
    case ROW_DISTANCE:
    case ROW_RELATION: {
        // The scale factor's unknown is a relative correction.
        const unsigned group = row.kind == ROW_RELATION ? 0u : row.sub;
        if (group < kParameterGroups)
            d.Add(e_.index.scale[group], model.parameter * q.parameters.scale);
        break;
    }
    case ROW_LOCAL_COORDINATE: {
        const LocalParameterList list = LocalParameters(e_.localFrame.type);
        for (int k = 0; k < list.count; ++k)
            d.Add(e_.index.local[list.sub[k]], model.local[list.sub[k]]);
        break;
    }
    case ROW_GPS_BASELINE:
    case ROW_GPS_COORDINATE:
        for (int sub = 1; sub <= kGpsParameters; ++sub)
            d.Add(e_.index.gps[sub], model.gps[sub]);
        break;
    default:
        break;
    }
    d.Scale(q.rowScale);
    e_.observed[r] = q.observed;
    e_.computed[r] = q.computed;
    // A GPS observation's three standard deviations come from its block
    // (GpsBlock, at its first row); its later rows must not clear them.
    if (row.kind != ROW_GPS_BASELINE && row.kind != ROW_GPS_COORDINATE)
        e_.sigma[r] = q.sigma;
    e_.system.l[r] = q.l;
    weight = WeightOf(q.sigma, p_.Sigma0);
}

bool Filler::GpsBlock(std::size_t r, CompressedRowsBuilder& weights) {
    const ObservationRow& row = e_.rows[r];
    Covariance3 cov = GpsRowCovariance(p_, e_, row);
    const double s0 = p_.Sigma0 * p_.Sigma0;
    for (auto& line : cov.c)
        for (double& c : line)
            c *= s0;
    Covariance3 inverse;
    if (!InvertPositiveDefinite(cov, inverse))
        return false;
    for (int i = 0; i < 3; ++i) {
        e_.sigma[r + i] = std::sqrt(cov.c[i][i]) / p_.Sigma0;
        for (int j = 0; j < 3; ++j)
            weights.Append(static_cast<std::uint32_t>(r + j), inverse.c[i][j]);
        weights.EndRow();
    }
    return true;
}

void Filler::ReportSingularBaseline(std::size_t r) {
    const ObservationRow& row = e_.rows[r];
    CKZString text;
    text.Format(L"%s %s - %s %s", CStringL(STR_BASELINE_COVARIANCE).c_str(),
                p_.Stations[row.from].Name.c_str(), row.to ? p_.Stations[row.to].Name.c_str() : L"",
                CStringL(STR_IS_SINGULAR).c_str());
    p_.Messages.AddMessage(STR_BASELINE_COVARIANCE, MSG_ERROR, REF_OBSERVATIONS, text,
                           Observation(row).Record);
}

double Filler::DatumWeight(double sigma) const {
    // Minimal constraints and the constrained phase fix the coordinates.
    if (p_.Phase == PHASE_FREE || e_.phaseOfWeights == 1)
        return kWeightCap;
    return WeightOf(sigma, p_.Sigma0);
}

void Filler::DatumRowFill(std::size_t r, DesignRow& d, double& weight) {
    const ObservationRow& row = e_.rows[r];
    const unsigned s = row.source;
    const StationGeometry& g = e_.geometry[s];
    const StationRec& station = p_.Stations[s];
    const KnownRec* known = nullptr;
    for (unsigned k = 1; k <= p_.KnownCount; ++k)
        if (p_.Known[k].Station == s)
            known = &p_.Known[k];
    double sigma = 0.0, observed = 0.0, current = 0.0, metres = 1.0;
    switch (row.kind) {
    case ROW_DATUM_NORTH:
        d.Add(e_.index.north[s], 1.0);
        observed = station.Lat;
        current = g.lat;
        metres = g.NorthScale();
        sigma = known ? known->SdLat : 0.0;
        break;
    case ROW_DATUM_EAST:
        d.Add(e_.index.east[s], 1.0);
        observed = station.Lon;
        current = g.lon;
        metres = g.EastScale();
        sigma = known ? known->SdLon : 0.0;
        break;
    default:
        d.Add(e_.index.height[s], 1.0);
        observed = station.Height;
        current = g.h;
        sigma = known ? known->SdHeight : 0.0;
        break;
    }
    e_.observed[r] = observed;
    e_.computed[r] = current;
    weight = DatumWeight(sigma);
    e_.sigma[r] = weight >= kWeightCap ? 0.0 : sigma;
    e_.system.l[r] = design_ ? 0.0 : (observed - current) * metres;
}

void Filler::TransformationRowFill(std::size_t r, DesignRow& d, double& weight) {
    const ObservationRow& row = e_.rows[r];
    const std::uint32_t unknown = e_.index.gps[row.sub];
    d.Add(unknown, 1.0);
    const double setting = p_.GPSTransfPar[row.sub];
    const double sigma = p_.GPSTransfParSd[row.sub];
    e_.observed[r] = setting;
    e_.computed[r] = e_.values[unknown];
    e_.sigma[r] = sigma;
    e_.system.l[r] = design_ ? 0.0 : setting - e_.values[unknown];
    weight = p_.GPSTransfParObs[row.sub] == 2
                 ? 1.0 / std::max(kVarianceFloor, p_.Sigma0 * p_.Sigma0 * sigma * sigma)
                 : kFixedParameterWeight;
}

void Filler::InnerRowFill(std::size_t r) {
    if (!meanReady_) {
        mean_ = InnerConstraintMean(p_, e_);
        meanReady_ = true;
    }
    const ObservationRow& row = e_.rows[r];
    InnerConstraintRows& inner = e_.system.inner;
    const std::size_t u = e_.Unknowns();
    std::vector<double> g(u + 1, 0.0);
    double squares = 0.0;
    for (unsigned position = 1; position <= e_.order.count; ++position) {
        const unsigned s = e_.order.stationAt[position];
        const InnerConstraintCoefficients c = InnerConstraint(p_, e_, row.source, s, mean_);
        const std::uint32_t at[3] = {e_.index.north[s], e_.index.east[s], e_.index.height[s]};
        const double value[3] = {c.north, c.east, c.height};
        for (int k = 0; k < 3; ++k)
            if (at[k] != 0) {
                g[at[k]] = value[k];
                squares += value[k] * value[k];
            }
    }
    // A row without coefficients constrains nothing.
    if (squares == 0.0)
        return;
    const double length = std::sqrt(squares);
    for (double& v : g)
        v /= length;
    inner.rows.push_back(static_cast<std::uint32_t>(r));
    inner.length.push_back(length);
    inner.G.insert(inner.G.end(), g.begin(), g.end());
}

void Filler::FillPart(Part& part) noexcept {
    try {
        const std::size_t rows = part.last - part.first + 1;
        CompressedRowsBuilder a(rows, e_.Unknowns(), 6 * rows);
        CompressedRowsBuilder weights(rows, e_.Rows(), 2 * rows);
        for (std::size_t r = part.first; r <= part.last; ++r) {
            const ObservationRow& row = e_.rows[r];
            if (row.kind == ROW_INNER_CONSTRAINT) {
                // A dense row over every station with coordinate unknowns:
                // kept beside A (InnerRowFill), so that N keeps the
                // network's sparsity.
                e_.observed[r] = e_.computed[r] = e_.sigma[r] = 0.0;
                e_.system.l[r] = 0.0;
                a.EndRow();
                weights.Append(static_cast<std::uint32_t>(r), kInnerConstraintWeight);
                weights.EndRow();
                continue;
            }
            DesignRow d;
            double weight = 0.0;
            if (row.IsObservation())
                ObservationRowFill(r, d, weight);
            else if (row.IsDatum())
                DatumRowFill(r, d, weight);
            else if (row.kind == ROW_TRANSFORMATION)
                TransformationRowFill(r, d, weight);
            d.SortInto(a);
            const bool gps = row.kind == ROW_GPS_BASELINE || row.kind == ROW_GPS_COORDINATE;
            if (!gps) {
                weights.Append(static_cast<std::uint32_t>(r), weight);
                weights.EndRow();
            } else if (row.slot == 0 && !GpsBlock(r, weights)) {
                part.failedRow = r;
                return;
            }
        }
        part.A = a.Finish();
        part.P = weights.Finish();
    } catch (const std::bad_alloc&) {
        part.outOfMemory = true;
    }
}

int Filler::Fill() {
    const std::size_t rows = e_.Rows();
    // Rows are independent of each other, so the machine's cores fill parts
    // of them at once; a part never splits a GPS group, whose three rows
    // share one weight block. Below a few thousand rows one thread does it.
    constexpr std::size_t kRowsPerPart = 4096;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t count =
        std::max<std::size_t>(1, std::min<std::size_t>(cores, rows / kRowsPerPart));
    std::vector<Part> parts(count);
    std::size_t first = 1;
    for (std::size_t k = 0; k < count; ++k) {
        std::size_t last = k + 1 == count ? rows : rows * (k + 1) / count;
        while (last < rows && last >= first && e_.rows[last + 1].slot != 0 &&
               (e_.rows[last + 1].kind == ROW_GPS_BASELINE ||
                e_.rows[last + 1].kind == ROW_GPS_COORDINATE))
            ++last;
        parts[k].first = first;
        parts[k].last = last;
        first = last + 1;
    }
    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < count; ++k) {
        if (parts[k].first > parts[k].last)
            continue;
        try {
            threads.emplace_back([this, &parts, k] { FillPart(parts[k]); });
        } catch (const std::system_error&) {
            FillPart(parts[k]); // no thread to be had: this one does it
        }
    }
    if (parts[0].first <= parts[0].last)
        FillPart(parts[0]);
    for (std::thread& thread : threads)
        thread.join();

    std::vector<CompressedRows> A, P;
    for (Part& part : parts) {
        if (part.outOfMemory)
            throw std::bad_alloc();
        if (part.failedRow != 0) {
            ReportSingularBaseline(part.failedRow);
            return 0;
        }
        if (part.first > part.last)
            continue;
        A.push_back(std::move(part.A));
        P.push_back(std::move(part.P));
    }
    e_.system.A = StackRows(A, e_.Unknowns());
    e_.system.P = StackRows(P, rows);
    for (std::size_t r = 1; r <= rows; ++r)
        if (e_.rows[r].kind == ROW_INNER_CONSTRAINT)
            InnerRowFill(r);
    return 1;
}

} // namespace

double WrapAngle(double l) {
    const double n = std::ceil(l / kTwoPi - 0.5);
    return l - kTwoPi * n;
}

int FillSystem(ProjectState& p, EngineState& e, Progress& progress) {
    const std::size_t rows = e.Rows();
    try {
        RefreshGeometry(p, e);
        e.observed.assign(rows + 1, 0.0);
        e.computed.assign(rows + 1, 0.0);
        e.sigma.assign(rows + 1, 0.0);
        e.system.l.assign(rows + 1, 0.0);
        if (!progress.Stage(STR_STAGE_FILL_DESIGN))
            return 0;
        e.system.inner.Clear();
        Filler filler(p, e);
        if (!filler.Fill())
            return 0;
        if (!progress.Stage(STR_STAGE_FILL_WEIGHTS))
            return 0;
        e.system.At = Transpose(e.system.A);
        if (e.system.inner.Active())
            HoldInnerConstraintDatum(p, e);
        // The weights are formed anew here, so a variance-component pass's
        // cumulative factors divide them once.
        if (e.variance.reweighting)
            ReweightRows(p, e);
        e.residualsFormed = false;
    } catch (const std::bad_alloc&) {
        return ReportNoMemory(p.Messages, STR_NO_MEMORY_ALLOCATE, STR_OBJECT_DESIGN_MATRIX);
    }
    return 1;
}

} // namespace Tavex
