// End-to-end adjustment of one generated network through the exported
// interface, timed stage by stage.
//
//   adjustment_bench <2d|gps|levelling> <stations> [--external-reliability]
//                    [--inner-constraints] [--national]
//
// --inner-constraints leaves the network without known stations (a free
// network held by inner constraints); --national adds a north-west baseline
// at every third station of a GPS network, about 3.3 baselines per station
// as in a national GNSS network.
//
// The network is generated as a host would hand it over (station and
// observation records, noisy readings, approximate coordinates off by a few
// centimetres), then Initialize, SetStations, SetObservations and Adjust run
// with a host window whose sink time-stamps every stage text the kernel
// shows. Prints one JSON object: the stage times in milliseconds, the
// resident set before the run and the peak during it, and the run's figures.
// bench/run_adjustment.sh runs every case in its own process and makes the
// tables of bench/README.md from the output.
#include "messages/string_loader.h"
#include "process_memory.h"
#include "resources/string_ids.h"
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kSpacing = 500.0; // metres between grid neighbours
constexpr double kJitter = 100.0;  // metres, each way
constexpr double kLat0 = 52.0, kLon0 = 5.0;
constexpr double kEarthRadius = 6.38e6;

enum class Kind { Triangulation2D, Gps3D, Levelling1D };

struct Options {
    Kind kind = Kind::Triangulation2D;
    unsigned stations = 0;
    bool externalReliability = false;
    bool innerConstraints = false;
    bool national = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    if (argc < 3)
        return false;
    const std::string kind = argv[1];
    if (kind == "2d")
        o.kind = Kind::Triangulation2D;
    else if (kind == "gps")
        o.kind = Kind::Gps3D;
    else if (kind == "levelling")
        o.kind = Kind::Levelling1D;
    else
        return false;
    o.stations = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    for (int a = 3; a < argc; ++a) {
        if (std::strcmp(argv[a], "--external-reliability") == 0)
            o.externalReliability = true;
        else if (std::strcmp(argv[a], "--inner-constraints") == 0)
            o.innerConstraints = true;
        else if (std::strcmp(argv[a], "--national") == 0)
            o.national = true;
        else
            return false;
    }
    return o.stations >= 4;
}

// Stations on a jittered square grid, row by row; returns the grid's width.
unsigned AddGrid(TavexTest::SyntheticNetwork& net, unsigned stations, std::mt19937& rng) {
    const auto width = static_cast<unsigned>(std::ceil(std::sqrt(double(stations))));
    std::uniform_real_distribution<double> jitter(-kJitter, kJitter), height(0.0, 200.0);
    const double cosLat = std::cos(kLat0 * M_PI / 180.0);
    for (unsigned k = 0; k < stations; ++k) {
        const double north = (k / width) * kSpacing + jitter(rng);
        const double east = (k % width) * kSpacing + jitter(rng);
        const double lat = kLat0 + north / kEarthRadius * 180.0 / M_PI;
        const double lon = kLon0 + east / (kEarthRadius * cosLat) * 180.0 / M_PI;
        char name[16];
        std::snprintf(name, sizeof name, "P%u", k + 1);
        net.AddStation(name, lat, lon, height(rng));
    }
    return width;
}

// Joins every station to its east, north and north-east neighbour, and with
// northWest every third station to its north-west neighbour too.
template <class Join>
void ForEachLine(unsigned stations, unsigned width, Join join, bool northWest = false) {
    for (unsigned k = 0; k < stations; ++k) {
        const bool east = k % width + 1 < width && k + 1 < stations;
        const bool north = k + width < stations;
        if (east)
            join(k + 1, k + 2);
        if (north)
            join(k + 1, k + width + 1);
        if (east && north && k + width + 1 < stations)
            join(k + 1, k + width + 2);
        if (northWest && north && k % 3 == 0 && k % width > 0)
            join(k + 1, k + width);
    }
}

// Marks a station known unless the network is held by inner constraints.
void Known(TavexTest::SyntheticNetwork& net, const Options& o, unsigned s, int coordClass) {
    if (!o.innerConstraints)
        net.MakeKnown(s, coordClass);
}

void Build(TavexTest::SyntheticNetwork& net, const Options& o) {
    std::mt19937 rng(20261207);
    const unsigned n = o.stations;
    const unsigned width = AddGrid(net, n, rng);
    Tavex::_SETTINGS& s = net.Settings();
    switch (o.kind) {
    case Kind::Triangulation2D:
        s.Dimension = 2;
        Known(net, o, 1, 11);
        Known(net, o, n, 11);
        // A direction from each end of every line and one horizontal
        // distance; one direction set per station.
        ForEachLine(n, width, [&](unsigned a, unsigned b) {
            net.TotalStation(a, b, 1, true, true, false, 0.0, 0.0);
            net.TotalStation(b, a, 1, true, false, false, 0.0, 0.0);
        });
        break;
    case Kind::Gps3D:
        s.Dimension = 3;
        s.TerObserv = 0;
        Known(net, o, 1, 12);
        Known(net, o, n, 12);
        Known(net, o, width, 10);
        ForEachLine(
            n, width, [&](unsigned a, unsigned b) { net.GpsBaseline(a, b); }, o.national);
        break;
    case Kind::Levelling1D:
        s.Dimension = 1;
        Known(net, o, 1, 10);
        ForEachLine(n, width, [&](unsigned a, unsigned b) { net.HeightDifference(a, b); });
        break;
    }
    // Noise of about the records' standard deviations.
    const double lengthNoise = o.kind == Kind::Gps3D         ? 0.003
                               : o.kind == Kind::Levelling1D ? 0.001
                                                             : 0.002;
    net.AddNoise(7, 1e-5, lengthNoise);
    net.Perturb(0.05, 11);
    s.Phase = 1; // free network on minimal constraints from the known stations
    s.IterMax = 10;
    s.Epsilon = 1e-4;
    s.ReportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = o.externalReliability ? 1 : 0;
}

// The stages the kernel shows, by the short names of the tables.
std::map<std::string, std::string> StageNames() {
    using namespace Tavex;
    const std::pair<int, const char*> stages[] = {
        {STR_STAGE_FILL_DESIGN, "fill_design"},
        {STR_STAGE_FILL_WEIGHTS, "fill_weights"},
        {STR_STAGE_SYMBOLIC, "symbolic"},
        {STR_STAGE_FILL_NORMALS, "numeric"},
        {STR_STAGE_ITERATION, "iterations"},
        {STR_STAGE_SPARSE_INVERSE, "inverse"},
        {STR_STAGE_PRECISION, "precision"},
        {STR_STAGE_TESTS, "tests"},
        {STR_STAGE_EXTERNAL_RELIABILITY, "external_reliability"},
        {STR_STAGE_CONSTRAINED, "constrained"},
    };
    std::map<std::string, std::string> names;
    for (const auto& [id, name] : stages)
        names[CStringL(id).Utf8()] = name;
    return names;
}

// Time-stamps the stage texts. Iteration texts carry the iteration's
// number; they are summed under one name.
class StageClock : public Tavex::WindowSink {
public:
    StageClock() : names_(StageNames()), last_(Clock::now()) {}

    // Texts that are no stage (the dialog's initial text) leave the clock on
    // the current stage. The first solve counts under "numeric", the solves
    // and refills of later iterations under "iterations".
    void DialogText(const char* text) override {
        const std::string name = NameOf(text);
        // An iteration fills the system again: that is part of the iteration.
        const bool refill = current_ == "iterations" && name.rfind("fill_", 0) == 0;
        if (!name.empty() && !refill)
            Switch(name);
    }
    // The dialog closes after the results are handed back; the work after
    // the last stage text counts under that stage.
    void DialogClosed() override { Switch("after"); }
    // Starts the clock on the given stage, or moves it on to the next.
    void Start(const std::string& stage) {
        last_ = Clock::now();
        current_ = stage;
    }
    void Mark(const std::string& stage) { Switch(stage); }
    const std::map<std::string, double>& Milliseconds() const { return ms_; }

private:
    std::string NameOf(const std::string& text) const {
        for (const auto& [label, name] : names_)
            if (text == label || (name == "iterations" && text.rfind(label + " ", 0) == 0))
                return name;
        return {};
    }
    void Switch(const std::string& next) {
        const Clock::time_point now = Clock::now();
        ms_[current_] += std::chrono::duration<double, std::milli>(now - last_).count();
        last_ = now;
        current_ = next;
    }

    std::map<std::string, std::string> names_;
    std::map<std::string, double> ms_;
    std::string current_;
    Clock::time_point last_;
};

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Triangulation2D:
        return "2D";
    case Kind::Gps3D:
        return "GPS";
    case Kind::Levelling1D:
        return "levelling";
    }
    return "";
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: adjustment_bench <2d|gps|levelling> <stations (at least 4)> "
                             "[--external-reliability] [--inner-constraints] [--national]\n");
        return 2;
    }
    TavexTest::SyntheticNetwork net;
    const Clock::time_point built0 = Clock::now();
    Build(net, o);
    const double buildMs = std::chrono::duration<double, std::milli>(Clock::now() - built0).count();

    StageClock clock;
    Tavex::HWND window = Tavex::CreateHostWindow(Tavex::WindowRect{0, 0, 640, 80}, &clock);
    const std::uint64_t before = TavexBench::CurrentResidentSetBytes();
    TavexBench::ResetPeakResidentSet();
    Tavex::_STATISTICS statistics{};
    const Clock::time_point run0 = Clock::now();
    clock.Start("load");
    net.Load();
    clock.Mark("prepare");
    const int ok = Tavex::Adjust(statistics, window);
    clock.Mark("after");
    const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - run0).count();
    const std::uint64_t peak = TavexBench::PeakResidentSetBytes();
    Tavex::DestroyHostWindow(window);

    std::printf("{\"network\": \"%s\", \"stations\": %u, \"external_reliability\": %s, "
                "\"inner_constraints\": %s, \"national\": %s, "
                "\"ok\": %d, \"observation_records\": %zu, \"unknowns\": %d, "
                "\"observations\": %d, \"iterations\": %d, \"f_test\": %.3f, "
                "\"largest_w\": %.2f, \"build_ms\": %.1f, "
                "\"total_ms\": %.1f, \"rss_before_MiB\": %.1f, \"peak_MiB\": %.1f, "
                "\"stages_ms\": {",
                KindName(o.kind), o.stations, o.externalReliability ? "true" : "false",
                o.innerConstraints ? "true" : "false", o.national ? "true" : "false", ok,
                net.ObservationRecords().size() - 1, +statistics.Unknowns, +statistics.Observations,
                +statistics.Iterations, +statistics.FTest, +statistics.ObservationW[0].W, buildMs,
                totalMs, before / TavexBench::kMebibyte, peak / TavexBench::kMebibyte);
    const char* separator = "";
    for (const auto& [name, ms] : clock.Milliseconds()) {
        std::printf("%s\"%s\": %.1f", separator, name.c_str(), ms);
        separator = ", ";
    }
    std::printf("}}\n");
    if (!ok)
        std::fprintf(stderr, "%s", net.AllMessages().c_str());
    Tavex::Release();
    return ok ? 0 : 1;
}
