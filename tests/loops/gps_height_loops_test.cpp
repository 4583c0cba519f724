// GPS baseline, height-difference and trigonometric loops: misclosures and
// standard deviations against sums formed here from the records, planted
// errors flagging exactly the loops that contain them, and the kinds each
// network dimension examines.
#include "loops/loop_fixture.h"
#include "loops/loop_results.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

namespace TavexTest {
namespace {

using Tavex::_OBSERVATION;

// The covariance of a baseline record as its precision block gives it
// (sdX, rXY, sdY, rXZ, rYZ, sdZ).
void BaselineCovariance(const _OBSERVATION& r, double c[3][3]) {
    // Copied out of the packed record: its doubles are not aligned.
    double p[6];
    std::memcpy(p, reinterpret_cast<const char*>(&r) + offsetof(_OBSERVATION, K6.Precision),
                sizeof p);
    const double sx = p[0], rxy = p[1], sy = p[2], rxz = p[3], ryz = p[4], sz = p[5];
    const double m[3][3] = {{sx * sx, sx * sy * rxy, sx * sz * rxz},
                            {sx * sy * rxy, sy * sy, sy * sz * ryz},
                            {sx * sz * rxz, sy * sz * ryz, sz * sz}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i][j] = m[i][j];
}

// The misclosure and covariance of a GPS loop summed from the records.
struct Expected {
    double m[3] = {0, 0, 0};
    double c[3][3] = {};
};

Expected GpsExpected(SyntheticNetwork& net, const Tavex::CLoopResults& loop) {
    Expected e;
    const auto& records = net.ObservationRecords();
    const std::size_t n = loop.Stations.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned a = static_cast<unsigned>(loop.Stations[i]);
        const unsigned b = static_cast<unsigned>(loop.Stations[(i + 1) % n]);
        double sum[3] = {0, 0, 0}, cov[3][3] = {};
        int count = 0;
        for (std::size_t k = 1; k < records.size(); ++k) {
            const auto& r = records[k].K6;
            if (records[k].Kind != 6 || r.Type[0] != 6)
                continue;
            const double sign = r.Station == a && r.Target == b   ? 1.0
                                : r.Station == b && r.Target == a ? -1.0
                                                                  : 0.0;
            if (sign == 0.0)
                continue;
            double c[3][3];
            BaselineCovariance(records[k], c);
            for (int x = 0; x < 3; ++x) {
                sum[x] += sign * r.Reading[x];
                for (int y = 0; y < 3; ++y)
                    cov[x][y] += c[x][y];
            }
            ++count;
        }
        for (int x = 0; x < 3; ++x) {
            e.m[x] += sum[x] / count;
            for (int y = 0; y < 3; ++y)
                e.c[x][y] += cov[x][y] / (count * count);
        }
    }
    return e;
}

void ExpectGpsLoop(SyntheticNetwork& net, const Tavex::CLoopResults& loop) {
    const Expected e = GpsExpected(net, loop);
    for (int x = 0; x < 3; ++x) {
        EXPECT_NEAR(loop.Misclosure[x], e.m[x], 1e-6);
        EXPECT_NEAR(loop.Sd[x], std::sqrt(e.c[x][x]), 1e-9);
        EXPECT_NEAR(loop.Test[x], e.m[x] / std::sqrt(e.c[x][x]), 1e-3);
    }
    // North, east and up at the mean position of the loop's stations.
    double lat = 0, lon = 0;
    for (int s : loop.Stations) {
        lat += net.Truth(static_cast<unsigned>(s)).lat;
        lon += net.Truth(static_cast<unsigned>(s)).lon;
    }
    lat /= static_cast<double>(loop.Stations.size());
    lon /= static_cast<double>(loop.Stations.size());
    const double R[3][3] = {
        {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon), std::cos(lat)},
        {-std::sin(lon), std::cos(lon), 0.0},
        {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)}};
    for (int r = 0; r < 3; ++r) {
        double value = 0, variance = 0;
        for (int i = 0; i < 3; ++i) {
            value += R[r][i] * e.m[i];
            for (int j = 0; j < 3; ++j)
                variance += R[r][i] * e.c[i][j] * R[r][j];
        }
        EXPECT_NEAR(loop.MisclosureLocal[r], value, 1e-6);
        EXPECT_NEAR(loop.SdLocal[r], std::sqrt(variance), 1e-9);
    }
}

TEST(GpsLoops, TriangleWithAPlantedErrorMatchesTheRecords) {
    SyntheticNetwork net;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 0);
    net.GpsBaseline(a, b);
    net.GpsBaseline(b, c);
    net.GpsBaseline(c, a);
    net.ObservationRecords()[1].K6.Reading[0] += 0.02;
    auto found = FindLoopsOf(net);
    ASSERT_EQ(found->status, 1);
    ASSERT_EQ(found->Count(), 1);
    const Tavex::CLoopResults& loop = (*found)[0];
    EXPECT_EQ(loop.Kind, 6);
    EXPECT_EQ(loop.Stations.size(), 3u);
    ExpectGpsLoop(net, loop);
    // The error itself, in the direction the loop runs over its leg.
    EXPECT_NEAR(std::fabs(loop.Misclosure[0]), 0.02, 1e-6);
    EXPECT_TRUE(Flagged(loop));
    EXPECT_NEAR(loop.Length, 300.0 + 300.0 + std::hypot(300.0, 300.0), 5.0);
}

TEST(GpsLoops, OneSideMeasuredBothWaysGivesOneLoopWithTheLegMean) {
    SyntheticNetwork net;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 0);
    net.GpsBaseline(a, b, 0.003, false);
    net.GpsBaseline(b, c, 0.003, false);
    net.GpsBaseline(c, a, 0.003, false);
    net.GpsBaseline(b, a, 0.003, false);
    net.ObservationRecords()[4].K6.Reading[2] += 0.01; // the backward one
    auto found = FindLoopsOf(net);
    ASSERT_EQ(found->Count(), 1);
    const Tavex::CLoopResults& loop = (*found)[0];
    ExpectGpsLoop(net, loop);
    // Half the error survives the mean of the two.
    EXPECT_NEAR(std::fabs(loop.Misclosure[2]), 0.005, 1e-6);
    // σ² = σ² / 2 for the doubled leg + σ² for each other leg.
    EXPECT_NEAR(loop.Sd[0], 0.003 * std::sqrt(2.5), 1e-9);
}

TEST(GpsLoops, PlantedErrorFlagsExactlyTheLoopsThatHoldIt) {
    SyntheticNetwork net;
    const int side = 5;
    std::vector<std::vector<unsigned>> at(side, std::vector<unsigned>(side));
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            at[r][c] = GridStation(net, r, c);
    std::size_t edges = 0;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            if (c + 1 < side)
                net.GpsBaseline(at[r][c], at[r][c + 1]), ++edges;
            if (r + 1 < side)
                net.GpsBaseline(at[r][c], at[r + 1][c]), ++edges;
            if (r + 1 < side && c + 1 < side && (r + c) % 2 == 0)
                net.GpsBaseline(at[r][c], at[r + 1][c + 1]), ++edges;
        }
    // 5 cm in the height direction of the baseline from (2,2) to (2,3).
    const unsigned from = at[2][2], to = at[2][3];
    bool planted = false;
    for (auto& r : net.ObservationRecords())
        if (r.Kind == 6 && r.K6.Station == from && r.K6.Target == to) {
            for (int x = 0; x < 3; ++x)
                r.K6.Reading[x] += 0.05 * std::cos(52.0 * M_PI / 180.0) * (x == 2 ? 1.2 : 0.4);
            planted = true;
        }
    ASSERT_TRUE(planted);
    auto found = FindLoopsOf(net);
    ASSERT_EQ(found->status, 1);
    EXPECT_EQ(static_cast<std::size_t>(found->Count()), edges - side * side + 1);
    int flagged = 0;
    for (int k = 0; k < found->Count(); ++k) {
        const Tavex::CLoopResults& loop = (*found)[k];
        EXPECT_EQ(Flagged(loop), HasLeg(loop, from, to)) << "loop " << k;
        flagged += Flagged(loop) ? 1 : 0;
        ExpectGpsLoop(net, loop);
    }
    EXPECT_GE(flagged, 1);
}

// Heights: Σσ² of the records, the tolerance k σ.
TEST(HeightLoops, MisclosureSdAndToleranceFromTheRecords) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 1), d = GridStation(net, 1, 0);
    net.HeightDifference(a, b, 0.001);
    net.HeightDifference(b, c, 0.002);
    net.HeightDifference(c, d, 0.001);
    net.HeightDifference(d, a, 0.001);
    net.HeightDifference(a, c, 0.003);              // the diagonal
    net.ObservationRecords()[2].K5.Reading += 0.02; // b → c
    auto found = FindLoopsOf(net);
    ASSERT_EQ(found->status, 1);
    ASSERT_EQ(found->Count(), 2); // 5 − 4 + 1
    for (int k = 0; k < 2; ++k) {
        const Tavex::CLoopResults& loop = (*found)[k];
        EXPECT_EQ(loop.Kind, 5);
        const bool holds = HasLeg(loop, b, c);
        const double variance = holds ? 0.001 * 0.001 + 0.002 * 0.002 + 0.003 * 0.003
                                      : 0.001 * 0.001 * 2 + 0.003 * 0.003;
        EXPECT_NEAR(std::fabs(loop.Misclosure[2]), holds ? 0.02 : 0.0, 1e-9);
        EXPECT_NEAR(loop.Sd[2], std::sqrt(variance), 1e-12);
        EXPECT_NEAR(loop.Tolerance, loop.CriticalW * std::sqrt(variance), 1e-12);
        EXPECT_EQ(Flagged(loop), holds);
    }
}

TEST(HeightLoops, LegMeasuredTwiceEachWayIsAveraged) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 0);
    net.HeightDifference(a, b, 0.002);
    net.HeightDifference(b, a, 0.002);
    net.HeightDifference(b, c, 0.001);
    net.HeightDifference(c, a, 0.001);
    net.ObservationRecords()[1].K5.Reading += 0.004; // a → b only
    auto found = FindLoopsOf(net);
    const auto loops = found->OfKinds({5});
    ASSERT_EQ(loops.size(), 1u);
    // (mean forward − mean backward) / 2 carries half the error; its
    // variance (σ² + σ²) / 4.
    EXPECT_NEAR(std::fabs(loops[0]->Misclosure[2]), 0.002, 1e-9);
    EXPECT_NEAR(loops[0]->Sd[2], std::sqrt(0.002 * 0.002 / 2 + 2 * 0.001 * 0.001), 1e-12);
}

TEST(HeightLoops, AMisclosureOfExactlyKSigmaIsNotSignificant) {
    const double k = 3.2931;
    EXPECT_FALSE(Tavex::IsRejected(k, k));
    EXPECT_FALSE(Tavex::IsRejected(-k, k));
    EXPECT_TRUE(Tavex::IsRejected(std::nextafter(k, 10.0), k));
    Tavex::CLoopResults loop;
    loop.Kind = 5;
    loop.CriticalW = k;
    Tavex::SetMisclosure(loop, 2, k * 0.004, 0.004 * 0.004);
    EXPECT_FALSE(Tavex::HasRejectedTest(loop));
}

TEST(HeightLoops, AMisclosureWithoutPrecisionIsUntestedNotUndefined) {
    // A leg of (next to) no length gives an angle infinite variance, which a
    // zero lever arm turns into 0·∞ = NaN in the propagation: the test is
    // 0 and the standard deviation infinite, as for an infinite variance.
    for (const double variance : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        Tavex::CLoopResults loop;
        loop.Kind = 1;
        loop.CriticalW = 3.29;
        Tavex::SetMisclosure(loop, 0, 0.25, variance);
        EXPECT_EQ(loop.Misclosure[0], 0.25);
        EXPECT_EQ(loop.Test[0], 0.0);
        EXPECT_TRUE(std::isinf(loop.Sd[0]));
        EXPECT_FALSE(Tavex::HasRejectedTest(loop));
    }
}

// Trigonometric heights, with every term computed here.
double TrigHeight(const _OBSERVATION& r, double k, double& variance) {
    const auto& o = r.K100;
    const double s = o.Reading[1], z = o.Reading[2], R = 6371000.0;
    const double h = s * std::cos(z) + (1 - k) * std::pow(s * std::sin(z), 2) / (2 * R) +
                     o.StationHeight - o.TargetHeight;
    const double dS = std::cos(z) + (1 - k) * s * std::pow(std::sin(z), 2) / R;
    const double dZ = -s * std::sin(z) + (1 - k) * s * s * std::sin(z) * std::cos(z) / R;
    const double sigmaS = o.Precision[2] + o.Precision[3] * s;
    const double sigmaZ = o.Precision[4] + o.Precision[5] / s;
    variance = std::pow(dS * sigmaS, 2) + std::pow(dZ * sigmaZ, 2);
    return h;
}

TEST(TrigonometricLoops, MisclosureAndSdFromTheRecords) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 0);
    net.TrigonometricPair(a, b);
    net.TrigonometricPair(b, c);
    net.TrigonometricPair(c, a);
    net.TrigonometricPair(b, a);
    net.ObservationRecords()[2].K100.Reading[2] += 2e-4; // b → c zenith angle
    auto found = FindLoopsOf(net);
    const auto loops = found->OfKinds({8});
    ASSERT_EQ(loops.size(), 1u);
    const Tavex::CLoopResults& loop = *loops[0];
    const auto& records = net.ObservationRecords();
    const std::size_t n = loop.Stations.size();
    double misclosure = 0, variance = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned from = static_cast<unsigned>(loop.Stations[i]);
        const unsigned to = static_cast<unsigned>(loop.Stations[(i + 1) % n]);
        double sum = 0, var = 0;
        int count = 0;
        for (std::size_t k = 1; k < records.size(); ++k) {
            const auto& o = records[k].K100;
            const double sign = o.Station == from && o.Target == to   ? 1.0
                                : o.Station == to && o.Target == from ? -1.0
                                                                      : 0.0;
            if (sign == 0.0)
                continue;
            double v;
            sum += sign * TrigHeight(records[k], SyntheticNetwork::kRefraction, v);
            var += v;
            ++count;
        }
        misclosure += sum / count;
        variance += var / (count * count);
    }
    EXPECT_NEAR(loop.Misclosure[2], misclosure, 1e-9);
    EXPECT_NEAR(loop.Sd[2], std::sqrt(variance), 1e-10);
    // The planted error moved b → c by about s · 2e-4.
    EXPECT_NEAR(std::fabs(loop.Misclosure[2]), 424.26 * 2e-4, 5e-3);
    EXPECT_TRUE(Flagged(loop));
}

// One network with every kind of observation.
void AllKinds(SyntheticNetwork& net) {
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 0);
    const unsigned pairs[3][2] = {{a, b}, {b, c}, {c, a}};
    for (const auto& p : pairs) {
        net.GpsBaseline(p[0], p[1]);
        net.HeightDifference(p[0], p[1]);
        net.TrigonometricPair(p[0], p[1]);
        net.TotalStation(p[0], p[1], 1, true, true, false);
        net.TotalStation(p[1], p[0], 1, true, true, false);
    }
}

std::set<int> Kinds(const FoundLoops& found) {
    std::set<int> kinds;
    for (int k = 0; k < found.Count(); ++k)
        kinds.insert(found[k].Kind);
    return kinds;
}

TEST(LoopKinds, EachDimensionExaminesItsKinds) {
    for (int dimension = 1; dimension <= 3; ++dimension) {
        SyntheticNetwork net;
        net.Settings().Dimension = dimension;
        AllKinds(net);
        auto found = FindLoopsOf(net);
        ASSERT_EQ(found->status, 1);
        const std::set<int> expected = dimension == 1   ? std::set<int>{5, 8}
                                       : dimension == 2 ? std::set<int>{1, 6}
                                                        : std::set<int>{1, 5, 6, 8};
        EXPECT_EQ(Kinds(*found), expected) << "dimension " << dimension;
        EXPECT_EQ(found->summary.examined[0], dimension != 1);
        EXPECT_EQ(found->summary.examined[2], dimension != 2);
        // Observations without error close.
        for (int k = 0; k < found->Count(); ++k)
            EXPECT_FALSE(Flagged((*found)[k])) << "kind " << (*found)[k].Kind;
    }
}

} // namespace
} // namespace TavexTest
