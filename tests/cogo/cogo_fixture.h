// Networks for the approximate-coordinate tests: true stations near
// 52° N 5° E, observations computed from the truth, and approximate
// coordinates of the unknown stations cleared (or moved far off) before the
// run, so that only the computation can bring them back.
#ifndef TAVEX_TESTS_COGO_COGO_FIXTURE_H
#define TAVEX_TESTS_COGO_COGO_FIXTURE_H

#include "support/synthetic_network.h"
#include "support/test_directory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace TavexTest {

constexpr double kMillimetres = 0.005; // what approximate coordinates must reach here

// Clears the approximate coordinates of every unknown station, and their
// heights when asked.
inline void ClearApproximate(SyntheticNetwork& net, bool heights = false) {
    for (Tavex::_STATIONADJ& r : net.StationRecords())
        if (r.CoordStatus != 8) {
            r.Coord1 = r.Coord2 = 0.0;
            if (heights)
                r.Height = 0.0;
        }
}

inline double Horizontal(const SyntheticNetwork& net, unsigned s) {
    const auto e = net.Error(s);
    return std::hypot(e[0], e[1]);
}

// Writes the run's text report into the test's own directory; returns the
// report's path.
inline std::string WriteReportTo(SyntheticNetwork& net, int form) {
    const std::string dir = OwnTestDirectory();
    Tavex::_SETTINGS& s = net.Settings();
    std::memset(s.ProjectDir, 0, sizeof s.ProjectDir);
    std::memcpy(s.ProjectDir, dir.c_str(), dir.size());
    std::memset(s.OutputFile, 0, sizeof s.OutputFile);
    std::memcpy(s.OutputFile, "net.out", 7);
    s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = form;
    return dir + (form == 1 ? "/net.drm" : "/net.drm.xml");
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline int RunCogo(SyntheticNetwork& net) {
    net.Load();
    return Tavex::COGO(nullptr);
}

} // namespace TavexTest

#endif
