// Pre-runs of synthetic networks through the exported interface, their
// result document read back: the check blocks in order, with the records of
// each; the text report; and, for the configuration defects, the number of
// flagged unknowns beside the rank defect of the dense normal matrix.
#ifndef TAVEX_TESTS_PRERUN_PRERUN_FIXTURE_H
#define TAVEX_TESTS_PRERUN_PRERUN_FIXTURE_H

#include "engine/datum_rows.h"
#include "engine/fill_system.h"
#include "engine/network_setup.h"
#include "engine/symbolic_factorisation.h"
#include "interface/kernel.h"
#include "prerun/defect_detection.h"
#include "support/synthetic_network.h"
#include "support/test_directory.h"
#include "support/xml_reading.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace TavexTest {

struct PreRunCheck {
    int kind = 0;
    int observationKind = 0;
    std::string title;
    std::vector<const xmlNode*> records; // the block's children
};

// The W-test critical value for α0 = 0.001 as the kernel forms it: the
// rational approximation of the normal quantile at p = 0.9995 (Abramowitz and
// Stegun 26.2.22), t = √(−2 ln(1 − p)), x = t − (2.30753 + 0.27061 t) / (1 +
// 0.99229 t + 0.04481 t²) = 3.2931 (the exact quantile is 3.2905).
inline double CriticalW() {
    const double t = std::sqrt(-2.0 * std::log(0.0005));
    return t - (2.30753 + 0.27061 * t) / (1.0 + 0.99229 * t + 0.04481 * t * t);
}

class PreRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = OwnTestDirectory();
        Tavex::_SETTINGS& s = net.Settings();
        std::memcpy(s.ProjectDir, dir_.c_str(), dir_.size());
        std::memcpy(s.OutputFile, "net.out", 7);
        std::memcpy(s.MessageFile, "net.msg", 7);
        s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
    }
    void TearDown() override { Tavex::Release(); }

    // Runs the pre-run and reads its document; the checks in order.
    std::vector<PreRunCheck> Run() {
        net.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
        net.Load();
        EXPECT_EQ(Tavex::PreRun(nullptr), 1) << net.AllMessages();
        std::ifstream in(dir_ + "/net.vnk.xml", std::ios::binary);
        document_ = Parse(std::string(std::istreambuf_iterator<char>(in), {}));
        std::vector<PreRunCheck> checks;
        if (!document_)
            return checks;
        const xmlNode* root = xmlDocGetRootElement(document_.get());
        const auto projects = Children(root, "Project");
        if (projects.empty())
            return checks;
        project_ = projects[0];
        const auto prerun = Children(projects[0], "Prerun");
        if (prerun.empty())
            return checks;
        for (const xmlNode* c : Children(prerun[0], "Check")) {
            PreRunCheck check;
            check.kind = static_cast<int>(Number(c, "kind"));
            check.observationKind = static_cast<int>(Number(c, "observationKind"));
            check.title = Attribute(c, "title");
            check.records = Children(c);
            checks.push_back(check);
        }
        return checks;
    }

    // The checks of one kind.
    static std::vector<PreRunCheck> OfKind(const std::vector<PreRunCheck>& checks, int kind) {
        std::vector<PreRunCheck> out;
        for (const PreRunCheck& c : checks)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    // An attribute of every record of a block.
    static std::vector<std::string> Column(const PreRunCheck& check, const char* attribute) {
        std::vector<std::string> out;
        for (const xmlNode* r : check.records)
            out.push_back(Attribute(r, attribute));
        return out;
    }

    // The text report (OutputForm 1) of the same pre-run.
    std::string Report() {
        net.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 1;
        net.Load();
        EXPECT_EQ(Tavex::PreRun(nullptr), 1) << net.AllMessages();
        std::ifstream in(dir_ + "/net.vnk", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // The unknowns the pre-run's factorisation flags on the loaded project,
    // and the rank defect of the same normal matrix formed densely.
    struct Defects {
        std::uint32_t flagged = 0;
        Eigen::Index rankDefect = -1;
    };
    Defects CountDefects() {
        net.Load();
        Tavex::ProjectState& p = Tavex::TheKernel().project;
        Tavex::EngineState e;
        Tavex::Progress progress;
        Defects out;
        EXPECT_EQ(Tavex::SetUpNetwork(p, e), 1) << net.AllMessages();
        Tavex::AppendKnownCoordinateRows(p, e);
        e.phaseOfWeights = 1;
        EXPECT_EQ(Tavex::FillSystem(p, e, progress), 1);
        // The dense reference: the observation rows' normal matrix without
        // the unknowns that the known coordinates fix, scaled to a unit
        // diagonal; its rank by singular values.
        const Eigen::MatrixXd A = Dense(e.system.A), P = Dense(e.system.P);
        std::vector<char> fixed(e.Unknowns(), 0);
        Eigen::Index observations = 0;
        for (std::size_t r = 1; r <= e.Rows(); ++r) {
            if (e.rows[r].kind < 20) {
                observations = static_cast<Eigen::Index>(r);
                continue;
            }
            for (std::size_t k = e.system.A.Begin(r); k < e.system.A.End(r); ++k)
                fixed[e.system.A.col[k] - 1] = 1;
        }
        const Eigen::MatrixXd Ao = A.topRows(observations);
        const Eigen::MatrixXd No =
            Ao.transpose() * P.topLeftCorner(observations, observations) * Ao;
        std::vector<Eigen::Index> kept;
        for (Eigen::Index j = 0; j < No.rows(); ++j)
            if (!fixed[static_cast<std::size_t>(j)])
                kept.push_back(j);
        const auto m = static_cast<Eigen::Index>(kept.size());
        Eigen::MatrixXd N(m, m);
        for (Eigen::Index a = 0; a < m; ++a)
            for (Eigen::Index b = 0; b < m; ++b)
                N(a, b) = No(kept[a], kept[b]);
        Eigen::VectorXd scale(m);
        for (Eigen::Index a = 0; a < m; ++a)
            scale(a) = N(a, a) > 0.0 ? 1.0 / std::sqrt(N(a, a)) : 1.0;
        N = scale.asDiagonal() * N * scale.asDiagonal();
        Eigen::JacobiSVD<Eigen::MatrixXd> svd(N);
        const Eigen::VectorXd sv = svd.singularValues();
        Eigen::Index rank = 0;
        for (Eigen::Index i = 0; i < sv.size(); ++i)
            rank += sv(i) > 1e-9 ? 1 : 0;
        out.rankDefect = m - rank;
        Tavex::MessageLog log;
        EXPECT_EQ(Tavex::SymbolicFactorisation(e.system, 1u << 24, log), 1);
        std::vector<char> flags;
        out.flagged = Tavex::FactoriseFlaggingDefects(e.system, p.DeltaSingular / p.Sigma0, flags);
        return out;
    }

    static Eigen::MatrixXd Dense(const Tavex::CompressedRows& m) {
        Eigen::MatrixXd d = Eigen::MatrixXd::Zero(m.rows, m.columns);
        for (std::size_t r = 1; r <= m.rows; ++r)
            for (std::size_t e = m.Begin(r); e < m.End(r); ++e)
                d(r - 1, m.col[e] - 1) = m.val[e];
        return d;
    }

    // A quadrilateral of stations 1.1 to 2.3 km apart.
    void Quadrilateral(double h = 10.0) {
        net.AddStation("A", 52.000, 5.000, h);
        net.AddStation("B", 52.010, 5.020, h + 2.0);
        net.AddStation("C", 52.020, 5.000, h + 4.0);
        net.AddStation("D", 52.015, 4.975, h - 1.0);
    }

    // The last record's distance standard deviation: a fixed part only.
    void DistanceSigma(double sigma) {
        Tavex::_OBSERVATION& o = net.ObservationRecords().back();
        o.K100.Precision[2] = sigma;
        o.K100.Precision[3] = 0.0;
    }
    // Adds to the last record's reading in slot i (kind 100) or its one
    // reading (kinds 4 and 5).
    void AddToReading(double value, int slot = 1) {
        Tavex::_OBSERVATION& o = net.ObservationRecords().back();
        if (o.Kind == 4)
            o.K4.Reading += value;
        else if (o.Kind == 5)
            o.K5.Reading += value;
        else
            o.K100.Reading[slot] += value;
    }
    // A copy of the last record.
    void Repeat() { net.ObservationRecords().push_back(net.ObservationRecords().back()); }

    SyntheticNetwork net;
    std::string dir_;
    ParsedDocument document_{nullptr, xmlFreeDoc};
    const xmlNode* project_ = nullptr;
};

} // namespace TavexTest

#endif
