// A small fixed network for the tests of the adjustment's output: six
// stations about 2 km apart near 52° N, two of them known, directions in
// sets and horizontal distances computed from the truth with a little
// noise. The fixture writes the output into a directory of its own and
// reads it back.
#ifndef TAVEX_TESTS_OUTPUT_REPORT_FIXTURE_H
#define TAVEX_TESTS_OUTPUT_REPORT_FIXTURE_H

#include "engine/adjustment.h"
#include "interface/kernel.h"
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace TavexTest {

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a report (CR LF line ends).
inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class OutputNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavex_output_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        Tavex::_SETTINGS& s = net_.Settings();
        std::memcpy(s.ProjectDir, dir_.c_str(), dir_.size());
        std::memcpy(s.OutputFile, "net.out", 7);
        std::memcpy(s.MessageFile, "net.msg", 7);
        std::memcpy(s.VarianceFile, "net.var", 7);
        std::memcpy(s.NetworkName, "Ring", 4);
        s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 1;
    }
    void TearDown() override {
        Tavex::Release();
        for (const char* name : {"/net.out", "/net.msg", "/net.var", "/net.tmp"})
            std::remove((dir_ + name).c_str());
        std::remove(dir_.c_str());
    }

    // The stations and observations; known are stations 1 and 3 (class 12).
    void Build(double noise = 2e-6) {
        net_.AddStation("A", 52.000, 5.000, 10.0);
        net_.AddStation("B", 52.010, 5.020, 12.0);
        net_.AddStation("C", 52.020, 5.000, 14.0);
        net_.AddStation("D", 52.015, 4.975, 9.0);
        net_.AddStation("E", 52.002, 4.985, 11.0);
        net_.AddStation("F", 52.010, 4.998, 30.0);
        net_.MakeKnown(1, 12, 0.01, 0.01);
        net_.MakeKnown(3, 12, 0.01, 0.01);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1},
                                     {6, 1}, {6, 2}, {6, 3}, {6, 4}, {6, 5}};
        for (const auto& line : lines) {
            net_.TotalStation(line[0], line[1], 0, true, true, false, 0.0, 0.0);
            net_.TotalStation(line[1], line[0], 0, true, false, false, 0.0, 0.0);
        }
        if (noise > 0.0)
            net_.AddNoise(7, noise, 0.5 * noise * 1000.0);
        net_.Perturb(0.2, 3);
        original_ = net_.StationRecords();
    }

    // Adjusts through the exported interface and returns the report (or
    // document) text. The station records start from what Build laid out
    // each time (an adjustment writes its results into them).
    std::string AdjustAndRead(Tavex::_STATISTICS* statistics = nullptr) {
        Restore();
        Tavex::_STATISTICS ignored{};
        EXPECT_EQ(net_.Adjust(statistics ? *statistics : ignored), 1) << net_.AllMessages();
        return ReadWholeFile(OutputPath());
    }

    // Loads the project and runs the engine directly, keeping its state.
    int AdjustDirect() {
        Restore();
        net_.Load();
        Tavex::Progress progress;
        return Tavex::RunAdjustment(Project(), engine_, progress);
    }

    void Restore() {
        if (!original_.empty())
            net_.StationRecords() = original_;
    }

    Tavex::ProjectState& Project() { return Tavex::TheKernel().project; }
    std::string OutputPath() const { return dir_ + "/net.out"; }
    std::string VariancePath() const { return dir_ + "/net.var"; }

    SyntheticNetwork net_;
    Tavex::EngineState engine_;
    std::string dir_;
    std::vector<Tavex::_STATIONADJ> original_;
};

} // namespace TavexTest

#endif
