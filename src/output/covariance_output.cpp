#include "output/covariance_output.h"

#include "engine/block_solve.h"
#include "engine/cofactor_lookup.h"
#include "messages/string_loader.h"
#include "messages/tavex_out.h"
#include "output/adjustment_output.h"
#include "output/output_names.h"
#include "output/row_naming.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

namespace Tavex {

namespace {

// The three coordinate unknowns of a station (0 where absent).
struct StationUnknowns {
    std::uint32_t u[3] = {0, 0, 0}; // north, east, height
};

StationUnknowns UnknownsOf(const EngineState& e, unsigned s) {
    return {{e.index.north[s], e.index.east[s], e.index.height[s]}};
}

bool HasUnknowns(const StationUnknowns& k) {
    return k.u[0] || k.u[1] || k.u[2];
}

const wchar_t* ComponentName(std::uint16_t kind) {
    switch (kind) {
    case UNK_NORTH:
        return L"N";
    case UNK_EAST:
        return L"E";
    case UNK_HEIGHT:
        return L"H";
    default:
        return L"-";
    }
}

// The covariance file being written: the temporary file, renamed to the
// path when complete.
class CovarianceWriter {
public:
    CovarianceWriter(ProjectState& p, const EngineState& e, int mode)
        : p_(p), e_(e), q_(e.system.factor), mode_(mode), s02_(p.Sigma0 * p.Sigma0) {}

    int Write();

private:
    bool Open();
    int Fail();
    void Header();
    void UnknownLines(bool coordinatesOnly);
    void StationLines();
    void PairLines();
    void FullMatrix();
    // Q(i, j) / σ0², 0 where an unknown is absent.
    double Covariance(std::uint32_t i, std::uint32_t j) { return i && j ? q_(i, j) / s02_ : 0.0; }
    double Sd(std::uint32_t i) { return i ? std::sqrt(std::fabs(q_(i, i))) / p_.Sigma0 : 0.0; }

    ProjectState& p_;
    const EngineState& e_;
    CofactorLookup q_;
    int mode_;
    double s02_;
    CKZString temporary_;
    std::unique_ptr<CTavexDllFile> out_;
};

bool CovarianceWriter::Open() {
    const std::wstring& path = p_.VariancePath.wstr();
    // A variance path that names a directory (no file given) cannot be
    // written.
    if (path.empty() || path.back() == L'/' || path.back() == L'\\')
        return false;
    temporary_ = TemporaryPath(p_.VariancePath);
    if (temporary_ == p_.VariancePath)
        temporary_ += L".tmp";
    out_ = OpenOutputTarget(temporary_, 0);
    return out_->HasFile();
}

int CovarianceWriter::Fail() {
    out_.reset();
    if (!temporary_.IsEmpty())
        std::remove(temporary_.Utf8().c_str());
    CKZString text;
    text.Format(CStringL(STR_FILE_NOT_WRITTEN).c_str(), p_.VariancePath.c_str());
    p_.Messages.AddMessage(STR_FILE_NOT_WRITTEN, MSG_ERROR, REF_NONE, text);
    return 0;
}

void CovarianceWriter::Header() {
    Print(out_.get(), L"TAVEX %s COVARIANCE\n", kKernelVersion);
    Print(out_.get(), L"MODE %d\n", mode_);
    Print(out_.get(), L"NETWORK \"%s\"\n", p_.NetworkName.c_str());
    Print(out_.get(), L"SIGMA0 %.17g\n", p_.Sigma0);
    Print(out_.get(), L"DIMENSION %d\n", p_.Dimension);
}

void CovarianceWriter::UnknownLines(bool coordinatesOnly) {
    for (std::uint32_t i = 1; i <= e_.Unknowns(); ++i) {
        const UnknownDescriptor& u = e_.unknowns[i];
        if (coordinatesOnly && !u.IsCoordinate())
            continue;
        const CKZString name = u.station ? p_.Stations[u.station].Name : CKZString();
        Print(out_.get(), L"UNKNOWN %u %u %u \"%s\" %s %u %.17g\n", i, u.kind, u.station,
              name.c_str(), ComponentName(u.kind), u.sub, Sd(i));
    }
}

void CovarianceWriter::StationLines() {
    for (const unsigned s : AdjustedStations(e_)) {
        const StationUnknowns k = UnknownsOf(e_, s);
        if (!HasUnknowns(k))
            continue;
        const auto [n, east, h] = k.u;
        Print(out_.get(),
              L"STATION %u \"%s\" %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g\n", s,
              p_.Stations[s].Name.c_str(), Sd(n), Sd(east), Sd(h), Covariance(n, n),
              Covariance(n, east), Covariance(east, east), Covariance(n, h), Covariance(east, h),
              Covariance(h, h));
    }
}

void CovarianceWriter::PairLines() {
    std::set<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (std::size_t r = 1; r <= e_.observationRows; ++r) {
        const ObservationRow& row = e_.rows[r];
        if (row.to == 0 || row.from == row.to)
            continue;
        const auto key = std::make_pair(std::min(row.from, row.to), std::max(row.from, row.to));
        if (!pairs.insert(key).second)
            continue;
        const StationUnknowns a = UnknownsOf(e_, key.first), b = UnknownsOf(e_, key.second);
        CKZString line;
        line.Format(L"PAIR %u \"%s\" %u \"%s\"", key.first, p_.Stations[key.first].Name.c_str(),
                    key.second, p_.Stations[key.second].Name.c_str());
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                CKZString value;
                value.Format(L" %.17g", Covariance(a.u[i], b.u[j]));
                line += value;
            }
        Print(out_.get(), L"%s\n", line.c_str());
    }
}

void CovarianceWriter::FullMatrix() {
    std::vector<std::uint32_t> coordinates;
    for (std::uint32_t i = 1; i <= e_.Unknowns(); ++i)
        if (e_.unknowns[i].IsCoordinate())
            coordinates.push_back(i);
    const CholeskyFactor& factor = e_.system.factor;
    // Columns of Q = N⁻¹ a block of unknowns at a time, from the factor;
    // when the sparse inverse has replaced it, what lies on its pattern.
    const bool solve = !factor.holdsCofactors;
    BlockSolveWork work;
    std::uint32_t solvedFirst = 0;
    for (std::size_t jc = 0; jc < coordinates.size(); ++jc) {
        const std::uint32_t j = coordinates[jc];
        if (solve && (solvedFirst == 0 || j >= solvedFirst + kSolveBlock)) {
            solvedFirst = j;
            UnitBlockSolve(factor, j, std::min<std::size_t>(kSolveBlock, e_.Unknowns() + 1 - j),
                           work);
        }
        for (std::size_t ic = jc; ic < coordinates.size(); ++ic) {
            const std::uint32_t i = coordinates[ic];
            const double q = solve ? work.x[std::size_t{i} * kSolveBlock + (j - solvedFirst)] / s02_
                                   : Covariance(i, j);
            Print(out_.get(), L"COV %u %u %.17g\n", i, j, q);
        }
    }
}

int CovarianceWriter::Write() {
    if (!Open())
        return Fail();
    Header();
    switch (mode_) {
    case COVARIANCE_FULL:
        UnknownLines(true);
        FullMatrix();
        break;
    case COVARIANCE_VARIANCE_FILE:
        UnknownLines(false);
        StationLines();
        break;
    case COVARIANCE_STATION_BLOCKS:
        StationLines();
        break;
    default:
        StationLines();
        PairLines();
        break;
    }
    Print(out_.get(), L"END\n");
    out_.reset(); // closes the temporary file
    std::remove(p_.VariancePath.Utf8().c_str());
    if (std::rename(temporary_.Utf8().c_str(), p_.VariancePath.Utf8().c_str()) != 0)
        return Fail();
    return 1;
}

} // namespace

bool CovarianceFileDue(int mode) {
    return mode == COVARIANCE_FULL || mode == COVARIANCE_STATION_BLOCKS ||
           mode == COVARIANCE_CONNECTED_BLOCKS;
}

int WriteCovarianceFile(ProjectState& p, const EngineState& e) {
    if (!CovarianceFileDue(p.CovMatrix))
        return 1;
    return CovarianceWriter(p, e, p.CovMatrix).Write();
}

int WriteVarianceFile(ProjectState& p, const EngineState& e) {
    if (p.CovMatrix != COVARIANCE_VARIANCE_FILE)
        return 1;
    return CovarianceWriter(p, e, COVARIANCE_VARIANCE_FILE).Write();
}

} // namespace Tavex
