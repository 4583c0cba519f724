// Networks for the loop tests: stations near 52° N 5° E a few hundred
// metres apart, observations computed from the truth (support/
// synthetic_network.h), and the loop search run on the kernel's project
// state so that the tests can read each loop's standard deviations.
#ifndef TAVEX_TESTS_LOOPS_LOOP_FIXTURE_H
#define TAVEX_TESTS_LOOPS_LOOP_FIXTURE_H

#include "interface/kernel.h"
#include "loops/loop_kinds.h"
#include "loops/loops_driver.h"
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace TavexTest {

struct FoundLoops {
    int status = 0;
    Tavex::CLoopResultsPtrArray results;
    Tavex::LoopRunSummary summary;

    int Count() const { return results.GetSize(); }
    const Tavex::CLoopResults& operator[](int k) const { return *results.GetAt(k); }
    std::vector<const Tavex::CLoopResults*> OfKinds(std::set<int> kinds) const {
        std::vector<const Tavex::CLoopResults*> found;
        for (int k = 0; k < Count(); ++k)
            if (kinds.count((*this)[k].Kind))
                found.push_back(results.GetAt(k));
        return found;
    }
};

// Loads the network and finds its loops without writing any file.
inline std::unique_ptr<FoundLoops> FindLoopsOf(SyntheticNetwork& net) {
    net.Load();
    auto found = std::make_unique<FoundLoops>();
    Tavex::Progress progress;
    found->status =
        Tavex::FindLoops(Tavex::TheKernel().project, progress, found->results, found->summary);
    return found;
}

// Stations on a small grid: row r, column c, `spacing` metres apart.
inline unsigned GridStation(SyntheticNetwork& net, int r, int c, double spacing = 300.0,
                            double h = 10.0) {
    const double lat = 52.0 + r * spacing / 111200.0;
    const double lon = 5.0 + c * spacing / (111200.0 * std::cos(52.0 * M_PI / 180.0));
    char name[32];
    std::snprintf(name, sizeof name, "S%d_%d", r, c);
    return net.AddStation(name, lat, lon, h + 3.0 * r - 2.0 * c);
}

// Whether the loop runs over the leg between stations a and b.
inline bool HasLeg(const Tavex::CLoopResults& loop, unsigned a, unsigned b) {
    const std::size_t n = loop.Stations.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned s = static_cast<unsigned>(loop.Stations[i]);
        const unsigned t = static_cast<unsigned>(loop.Stations[(i + 1) % n]);
        if ((s == a && t == b) || (s == b && t == a))
            return true;
    }
    return false;
}

// Whether station s lies on the loop.
inline bool HasStation(const Tavex::CLoopResults& loop, unsigned s) {
    return std::find(loop.Stations.begin(), loop.Stations.end(), static_cast<int>(s)) !=
           loop.Stations.end();
}

// Whether any misclosure of the loop exceeds the critical value.
inline bool Flagged(const Tavex::CLoopResults& loop) {
    for (int i = 0; i < 3; ++i)
        if (std::fabs(loop.Test[i]) > loop.CriticalW ||
            std::fabs(loop.TestLocal[i]) > loop.CriticalW)
            return true;
    return false;
}

} // namespace TavexTest

#endif
