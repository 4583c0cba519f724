// The loop run on generated GPS networks: stations on a jittered square grid
// 500 m apart, each joined by a baseline to its east, north and north-east
// neighbour (about three baselines per station, two independent loops per
// station), with one planted error. Times the stages of the run (legs and
// graph, loop search, misclosures) and the whole exported run, and checks
// that the number of loops is edges − stations + 1 and that the loops
// flagged are exactly those over the spoilt baseline.
//
//   loops_bench [STATIONS...]      default 1000 10000 100000
#include "interface/kernel.h"
#include "interface/loop_handback.h"
#include "loops/loop_legs.h"
#include "loops/loop_misclosures.h"
#include "loops/loop_search.h"
#include "loops/loops_driver.h"
#include "loops/station_graph.h"
#include "support/synthetic_network.h"
#include "testing/critical_values.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Network {
    TavexTest::SyntheticNetwork net;
    std::size_t baselines = 0;
    unsigned spoiltFrom = 0, spoiltTo = 0;
};

void Generate(Network& n, unsigned stations) {
    const unsigned side = static_cast<unsigned>(std::ceil(std::sqrt(double(stations))));
    std::mt19937 random(11);
    std::uniform_real_distribution<double> jitter(-100.0, 100.0);
    const double metresPerDegree = 111200.0;
    const double cosLat = std::cos(52.0 * M_PI / 180.0);
    for (unsigned k = 0; k < stations; ++k) {
        const unsigned r = k / side, c = k % side;
        const double north = r * 500.0 + jitter(random), east = c * 500.0 + jitter(random);
        n.net.AddStation("P" + std::to_string(k + 1), 52.0 + north / metresPerDegree,
                         5.0 + east / (metresPerDegree * cosLat), 20.0 + jitter(random) / 10.0);
    }
    const auto at = [&](unsigned r, unsigned c) { return r * side + c + 1; };
    for (unsigned k = 0; k < stations; ++k) {
        const unsigned r = k / side, c = k % side;
        const bool east = c + 1 < side && at(r, c + 1) <= stations;
        const bool north = at(r + 1, c) <= stations;
        const bool diagonal = c + 1 < side && at(r + 1, c + 1) <= stations;
        if (east)
            n.net.GpsBaseline(k + 1, at(r, c + 1)), ++n.baselines;
        if (north)
            n.net.GpsBaseline(k + 1, at(r + 1, c)), ++n.baselines;
        if (diagonal)
            n.net.GpsBaseline(k + 1, at(r + 1, c + 1)), ++n.baselines;
    }
    // 5 cm on the baseline in the middle of the list.
    auto& records = n.net.ObservationRecords();
    auto& spoilt = records[records.size() / 2].K6;
    spoilt.Reading[2] += 0.05;
    n.spoiltFrom = spoilt.Station;
    n.spoiltTo = spoilt.Target;
}

bool HoldsLeg(const Tavex::CLoopResults& loop, unsigned a, unsigned b) {
    const std::size_t n = loop.Stations.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned s = loop.Stations[i], t = loop.Stations[(i + 1) % n];
        if ((s == a && t == b) || (s == b && t == a))
            return true;
    }
    return false;
}

int Run(unsigned stations) {
    Network n;
    n.net.Settings().Dimension = 3;
    Clock::time_point start = Clock::now();
    Generate(n, stations);
    const double generate = Seconds(start);
    start = Clock::now();
    n.net.Load();
    const double load = Seconds(start);
    Tavex::ProjectState& p = Tavex::TheKernel().project;

    // The stages one by one, as the run takes them.
    start = Clock::now();
    const Tavex::LegTable legs = Tavex::CollectLegs(p, Tavex::LoopFamily::Gps);
    Tavex::StationGraph graph = Tavex::BuildStationGraph(legs, p.StationCount);
    const double graphTime = Seconds(start);
    start = Clock::now();
    Tavex::LoopSet loops;
    Tavex::SearchLoops(graph, loops, nullptr);
    const double searchTime = Seconds(start);
    start = Clock::now();
    Tavex::CriticalValues values;
    Tavex::ComputeLoopCriticalValues(p.Alfa0, p.Beta, values);
    const Tavex::LoopNetwork network = Tavex::MakeLoopNetwork(p, values.criticalW);
    std::size_t flagged = 0, wrong = 0;
    for (std::size_t k = 0; k < loops.Count(); ++k) {
        auto loop = Tavex::GpsMisclosure(network, legs, loops.Stations(k), loops.Size(k));
        const bool spoilt = HoldsLeg(*loop, n.spoiltFrom, n.spoiltTo);
        const bool rejected = Tavex::HasRejectedTest(*loop);
        flagged += rejected ? 1 : 0;
        wrong += rejected != spoilt ? 1 : 0;
    }
    const double misclosureTime = Seconds(start);

    // The whole run through the exported interface (no report written).
    std::vector<Tavex::_LOOP_RESULT> handed;
    start = Clock::now();
    const int result = Tavex::Loops(handed, nullptr);
    const double runTime = Seconds(start);
    const std::size_t handedCount = handed.size();
    Tavex::ClearLoopResults(handed);

    const std::size_t wanted = n.baselines - stations + 1;
    std::printf("%8u stations %8zu baselines %8zu loops (wanted %zu) | generate %6.2f s, load "
                "%6.2f s | graph %6.3f s, search %6.3f s, misclosures %6.3f s | whole run %6.3f "
                "s | flagged %zu, wrongly %zu\n",
                stations, n.baselines, loops.Count(), wanted, generate, load, graphTime, searchTime,
                misclosureTime, runTime, flagged, wrong);
    std::fflush(stdout);
    return result == 1 && loops.Count() == wanted && handedCount == wanted && wrong == 0 &&
                   flagged > 0
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<unsigned> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = {1000, 10000, 100000};
    int status = 0;
    for (unsigned stations : sizes)
        status |= Run(stations);
    return status;
}
