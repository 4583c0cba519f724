#include "output/covariance_output.h"

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
    CovarianceWriter(ProjectState& p, const EngineState& e)
        : p_(p), e_(e), out_(e.results.covariance) {}

    int Write();

private:
    bool Open();
    int Fail();
    void Header();
    void UnknownLines();
    void StationLines();
    void PairLines();
    void FullMatrix();

    ProjectState& p_;
    const EngineState& e_;
    const CovarianceOutput& out_;
    CKZString temporary_;
    std::unique_ptr<CTavexDllFile> file_;
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
    file_ = OpenOutputTarget(temporary_, 0);
    return file_->HasFile();
}

int CovarianceWriter::Fail() {
    file_.reset();
    if (!temporary_.IsEmpty())
        std::remove(temporary_.PathBytes().c_str());
    ReportUnwritableFile(p_, p_.VariancePath);
    return 0;
}

void CovarianceWriter::Header() {
    Print(file_.get(), L"TAVEX %s COVARIANCE\n", kKernelVersion);
    Print(file_.get(), L"MODE %d\n", out_.mode);
    Print(file_.get(), L"NETWORK \"%s\"\n", p_.NetworkName.c_str());
    Print(file_.get(), L"SIGMA0 %.17g\n", p_.Sigma0);
    Print(file_.get(), L"DIMENSION %d\n", p_.Dimension);
}

void CovarianceWriter::UnknownLines() {
    for (const CovarianceUnknown& line : out_.unknowns) {
        const UnknownDescriptor& u = e_.unknowns[line.unknown];
        const CKZString name = u.station ? p_.Stations[u.station].Name : CKZString();
        Print(file_.get(), L"UNKNOWN %u %u %u \"%s\" %s %u %.17g\n", line.unknown, u.kind,
              u.station, name.c_str(), ComponentName(u.kind), u.sub, line.sd);
    }
}

void CovarianceWriter::StationLines() {
    for (const CovarianceStation& line : out_.stations)
        Print(file_.get(),
              L"STATION %u \"%s\" %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g\n",
              line.station, p_.Stations[line.station].Name.c_str(), line.sd[0], line.sd[1],
              line.sd[2], line.c[0], line.c[1], line.c[2], line.c[3], line.c[4], line.c[5]);
}

void CovarianceWriter::PairLines() {
    for (const CovariancePair& pair : out_.pairs) {
        CKZString line;
        line.Format(L"PAIR %u \"%s\" %u \"%s\"", pair.first, p_.Stations[pair.first].Name.c_str(),
                    pair.second, p_.Stations[pair.second].Name.c_str());
        for (const double c : pair.c) {
            CKZString value;
            value.Format(L" %.17g", c);
            line += value;
        }
        Print(file_.get(), L"%s\n", line.c_str());
    }
}

void CovarianceWriter::FullMatrix() {
    const std::vector<std::uint32_t>& coordinates = out_.coordinates;
    std::size_t k = 0;
    for (std::size_t jc = 0; jc < coordinates.size(); ++jc)
        for (std::size_t ic = jc; ic < coordinates.size(); ++ic)
            Print(file_.get(), L"COV %u %u %.17g\n", coordinates[ic], coordinates[jc],
                  out_.full[k++]);
}

int CovarianceWriter::Write() {
    if (!Open())
        return Fail();
    Header();
    UnknownLines();
    StationLines();
    PairLines();
    if (out_.mode == COVARIANCE_FULL)
        FullMatrix();
    Print(file_.get(), L"END\n");
    file_.reset(); // closes the temporary file
    std::remove(p_.VariancePath.PathBytes().c_str());
    if (std::rename(temporary_.PathBytes().c_str(), p_.VariancePath.PathBytes().c_str()) != 0)
        return Fail();
    return 1;
}

} // namespace

int WriteCovarianceOutput(ProjectState& p, const EngineState& e) {
    if (e.results.covariance.mode == COVARIANCE_NONE)
        return 1;
    return CovarianceWriter(p, e).Write();
}

} // namespace Tavex
