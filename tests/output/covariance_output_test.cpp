// The covariance files of an adjustment against the inverse of the normal
// matrix formed densely with Eigen from the same design matrix and weights.
#include "engine/numeric_factorisation.h"
#include "output/covariance_output.h"
#include "output/report_fixture.h"
#include "testing/covariance.h"

#include <Eigen/Dense>

#include <cmath>
#include <sstream>

namespace TavexTest {
namespace {

Eigen::MatrixXd Dense(const Tavex::CompressedRows& m) {
    Eigen::MatrixXd d = Eigen::MatrixXd::Zero(m.rows, m.columns);
    for (std::size_t r = 1; r <= m.rows; ++r)
        for (std::size_t k = m.Begin(r); k < m.End(r); ++k)
            d(r - 1, m.col[k] - 1) = m.val[k];
    return d;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// The lines of the file that start with key, split into words.
std::vector<std::vector<std::string>> Records(const std::string& text, const std::string& key) {
    std::vector<std::vector<std::string>> records;
    for (const std::string& line : LinesOf(text))
        if (line.rfind(key + " ", 0) == 0)
            records.push_back(Words(line));
    return records;
}

double At(const std::vector<std::string>& words, std::size_t k) {
    return std::strtod(words.at(k).c_str(), nullptr);
}

class CovarianceFiles : public OutputNetwork {
protected:
    void SetUp() override {
        OutputNetwork::SetUp();
        Build();
        ASSERT_EQ(AdjustDirect(), 1) << net_.AllMessages();
        // σ0 = 1: the covariance matrix is N⁻¹.
        const Eigen::MatrixXd A = Dense(engine_.system.A);
        const Eigen::MatrixXd P = Dense(engine_.system.P);
        Q_ = (A.transpose() * P * A).inverse();
    }
    // The covariance of unknowns i and j (1-based, 0 for an absent one).
    double Q(std::uint32_t i, std::uint32_t j) const { return i && j ? Q_(i - 1, j - 1) : 0.0; }
    std::uint32_t Unknown(unsigned station, int component) const {
        const Tavex::UnknownIndex& x = engine_.index;
        return component == 0   ? x.north[station]
               : component == 1 ? x.east[station]
                                : x.height[station];
    }
    // Brings the Cholesky factor back in place of the sparse inverse, as the
    // adjustment has it when the covariance files are due.
    void Refactorise() {
        std::uint32_t singular = 0;
        ASSERT_EQ(Tavex::NumericFactorisation(engine_.system, 1e-6, singular, Project().Messages),
                  1);
    }
    // What the adjustment and its run driver do for the project's mode.
    int Write() {
        if (Tavex::ComputeCovarianceOutput(Project(), engine_) != 1)
            return -1;
        return Tavex::WriteCovarianceOutput(Project(), engine_);
    }
    static void ExpectClose(double value, double reference) {
        EXPECT_NEAR(value, reference, 1e-9 * std::fabs(reference) + 1e-15);
    }
    Eigen::MatrixXd Q_;
};

TEST_F(CovarianceFiles, VarianceFileHoldsEveryStationBlock) {
    Project().CovMatrix = Tavex::COVARIANCE_VARIANCE_FILE;
    ASSERT_EQ(Write(), 1);
    const std::string text = ReadWholeFile(VariancePath());
    EXPECT_EQ(LinesOf(text).at(1), "MODE 2");
    EXPECT_EQ(LinesOf(text).back(), "END");
    EXPECT_FALSE(std::ifstream(dir_ + "/net.tmp").good()) << "the temporary file is gone";
    const auto stations = Records(text, "STATION");
    ASSERT_EQ(stations.size(), 6u);
    for (const auto& w : stations) {
        const unsigned s = static_cast<unsigned>(At(w, 1));
        SCOPED_TRACE(s);
        const std::uint32_t n = Unknown(s, 0), e = Unknown(s, 1), h = Unknown(s, 2);
        ExpectClose(At(w, 3), std::sqrt(Q(n, n)));
        ExpectClose(At(w, 4), std::sqrt(Q(e, e)));
        EXPECT_EQ(At(w, 5), 0.0) << "no height unknown in 2D";
        const double block[6] = {Q(n, n), Q(n, e), Q(e, e), Q(n, h), Q(e, h), Q(h, h)};
        for (int k = 0; k < 6; ++k)
            ExpectClose(At(w, 6 + k), block[k]);
    }
    const auto unknowns = Records(text, "UNKNOWN");
    ASSERT_EQ(unknowns.size(), engine_.Unknowns());
    for (const auto& w : unknowns) {
        const auto i = static_cast<std::uint32_t>(At(w, 1));
        ExpectClose(At(w, 7), std::sqrt(Q(i, i)));
    }
}

TEST_F(CovarianceFiles, FullMatrixOfTheCoordinates) {
    Project().CovMatrix = Tavex::COVARIANCE_FULL;
    Refactorise();
    ASSERT_EQ(Write(), 1);
    const auto covariances = Records(ReadWholeFile(VariancePath()), "COV");
    const std::size_t n = engine_.unknownCounts.coordinates;
    ASSERT_EQ(covariances.size(), n * (n + 1) / 2) << "the lower triangle";
    for (const auto& w : covariances) {
        const auto i = static_cast<std::uint32_t>(At(w, 1));
        const auto j = static_cast<std::uint32_t>(At(w, 2));
        EXPECT_GE(i, j);
        ExpectClose(At(w, 3), Q(i, j));
    }
}

TEST_F(CovarianceFiles, CrossBlocksOfConnectedStations) {
    Project().CovMatrix = Tavex::COVARIANCE_CONNECTED_BLOCKS;
    Refactorise();
    ASSERT_EQ(Write(), 1);
    const std::string text = ReadWholeFile(VariancePath());
    EXPECT_EQ(Records(text, "STATION").size(), 6u);
    const auto pairs = Records(text, "PAIR");
    ASSERT_EQ(pairs.size(), 10u) << "ten lines of sight";
    for (const auto& w : pairs) {
        const unsigned a = static_cast<unsigned>(At(w, 1)), b = static_cast<unsigned>(At(w, 3));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ExpectClose(At(w, 5 + 3 * i + j), Q(Unknown(a, i), Unknown(b, j)));
    }
}

TEST_F(CovarianceFiles, ModeNoneWritesNoFile) {
    Project().CovMatrix = Tavex::COVARIANCE_NONE;
    EXPECT_EQ(Write(), 1);
    EXPECT_FALSE(std::ifstream(VariancePath()).good());
}

TEST_F(CovarianceFiles, AnUnwritablePathFailsWithItsMessage) {
    Project().CovMatrix = Tavex::COVARIANCE_VARIANCE_FILE;
    Project().VariancePath = (dir_ + "/").c_str(); // no variance file was named
    const int before = Project().Messages.Count();
    EXPECT_EQ(Write(), 0);
    ASSERT_EQ(Project().Messages.Count(), before + 1);
    EXPECT_EQ(Project().Messages.Messages().GetAt(before)->Code, 732);
    Project().VariancePath = (dir_ + "/missing/net.var").c_str();
    EXPECT_EQ(Write(), 0);
}

// Through the exported interface: every mode leaves its complete file after
// Adjust, for a free network and for the constrained phase of a constrained
// network, and a file that cannot be written fails the run.
class CovarianceThroughAdjust : public OutputNetwork {
protected:
    std::string AdjustWith(int mode, int phase) {
        net_.Settings().CovMatrix = mode;
        net_.Settings().Phase = phase;
        net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 0;
        std::remove(VariancePath().c_str());
        Restore();
        EXPECT_EQ(net_.Adjust(), 1) << net_.AllMessages();
        return ReadWholeFile(VariancePath());
    }
};

TEST_F(CovarianceThroughAdjust, EveryModeWritesItsFile) {
    Build();
    for (const int phase : {1, 4}) {
        // The constrained phase keeps the known stations as unknowns held
        // by their coordinate rows.
        const std::size_t adjusted = 6;
        const std::string full = AdjustWith(Tavex::COVARIANCE_FULL, phase);
        EXPECT_NE(full.find("MODE 1"), std::string::npos) << phase;
        EXPECT_EQ(Records(full, "COV").size(), 2 * adjusted * (2 * adjusted + 1) / 2) << phase;
        EXPECT_NE(full.find("END"), std::string::npos);
        const std::string variance = AdjustWith(Tavex::COVARIANCE_VARIANCE_FILE, phase);
        EXPECT_EQ(Records(variance, "STATION").size(), adjusted) << phase;
        EXPECT_FALSE(Records(variance, "UNKNOWN").empty()) << phase;
        EXPECT_EQ(Records(AdjustWith(Tavex::COVARIANCE_STATION_BLOCKS, phase), "STATION").size(),
                  adjusted)
            << phase;
        EXPECT_FALSE(Records(AdjustWith(Tavex::COVARIANCE_CONNECTED_BLOCKS, phase), "PAIR").empty())
            << phase;
    }
}

TEST_F(CovarianceThroughAdjust, AnUnwritableFileFailsTheRun) {
    Build();
    const std::string missing = dir_ + "/missing";
    std::memset(net_.Settings().ProjectDir, 0, sizeof net_.Settings().ProjectDir);
    std::memcpy(net_.Settings().ProjectDir, missing.c_str(), missing.size());
    net_.Settings().CovMatrix = Tavex::COVARIANCE_STATION_BLOCKS;
    net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 0;
    EXPECT_EQ(net_.Adjust(), 0);
    EXPECT_NE(net_.AllMessages().find("732"), std::string::npos) << net_.AllMessages();
}

} // namespace
} // namespace TavexTest
