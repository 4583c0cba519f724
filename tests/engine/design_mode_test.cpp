// A design has no readings (they are 0): standard deviations and the
// horizontal reduction take the distances and zenith angles of the
// approximate coordinates, so a design gives the precision that the
// adjustment of the same network, measured, gives.
#include "geodesy/ellipsoid.h"
#include "support/synthetic_network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace TavexTest {
namespace {

void AddStations(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 32.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 49.0);
    net.AddStation("E", 52.002, 4.985, 11.0);
}

const unsigned kLines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}, {1, 3}, {2, 4}};

// Per record: the standard deviations of the observation and of the
// adjusted observation of each reading (offsets 292 and 316).
struct ReadingPrecision {
    double sd[3], sdAdjusted[3];
    bool on[3];
};

std::vector<ReadingPrecision> Precisions(SyntheticNetwork& net) {
    std::vector<ReadingPrecision> out;
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k) {
        const Tavex::_OBSERVATION& r = net.ObservationRecords()[k];
        ReadingPrecision p;
        for (int i = 0; i < 3; ++i) {
            p.on[i] = Get<std::uint16_t>(&r, 4 + 2 * i) == 0;
            p.sd[i] = Get<double>(&r, 292 + 8 * i);
            p.sdAdjusted[i] = Get<double>(&r, 316 + 8 * i);
        }
        out.push_back(p);
    }
    return out;
}

void ClearReadings(SyntheticNetwork& net) {
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k) {
        const double zero[3] = {0.0, 0.0, 0.0};
        std::memcpy(net.ObservationRecords()[k].K100.Reading, zero, sizeof zero);
    }
}

// The same network adjusted from its (noise-free) readings and designed
// without them.
void ExpectDesignMatchesAdjustment(SyntheticNetwork& measured, SyntheticNetwork& design,
                                   const std::vector<int>& slots) {
    ASSERT_EQ(measured.Adjust(), 1) << measured.AllMessages();
    ClearReadings(design);
    design.Settings().AdjDesign = 1;
    ASSERT_EQ(design.Adjust(), 1) << design.AllMessages();
    const auto a = Precisions(measured), d = Precisions(design);
    ASSERT_EQ(a.size(), d.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        for (const int i : slots) {
            if (!a[k].on[i])
                continue;
            SCOPED_TRACE(testing::Message() << "record " << k + 1 << " slot " << i);
            ASSERT_TRUE(std::isfinite(d[k].sd[i]) && d[k].sd[i] > 0.0);
            // The measured readings and the approximate geometry differ by
            // the model's approximations of the reduction (parts in 10⁸).
            EXPECT_NEAR(d[k].sd[i], a[k].sd[i], 1e-7 * a[k].sd[i]);
            EXPECT_NEAR(d[k].sdAdjusted[i], a[k].sdAdjusted[i], 1e-7 * a[k].sdAdjusted[i]);
            EXPECT_GT(d[k].sdAdjusted[i], 0.0);
        }
}

TEST(DesignPrecision, HorizontalDistancesTakeTheirLengthFromTheStations) {
    SyntheticNetwork measured, design;
    for (SyntheticNetwork* net : {&measured, &design}) {
        AddStations(*net);
        net->MakeKnown(1, 12);
        net->MakeKnown(3, 12);
        for (const auto& line : kLines) {
            net->TotalStation(line[0], line[1], 0, true, true, false, 0.0, 0.0);
            net->TotalStation(line[1], line[0], 0, true, false, false, 0.0, 0.0);
        }
    }
    ExpectDesignMatchesAdjustment(measured, design, {0, 1});
    // 2 mm + 2 ppm of the distance between the stations A and B.
    const Tavex::CEllipsoid grs80(Tavex::ELLIPSOID_GRS80);
    double a[3], b[3];
    const TrueStation &ta = design.Truth(1), &tb = design.Truth(2);
    grs80.EllToXYZ(ta.lat, ta.lon, ta.h, a[0], a[1], a[2]);
    grs80.EllToXYZ(tb.lat, tb.lon, tb.h, b[0], b[1], b[2]);
    const double ab = std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
    const double sdAB = Get<double>(&design.ObservationRecords()[1], 292 + 8);
    EXPECT_NEAR(sdAB, 0.002 + 2e-6 * ab, 1e-12);
}

TEST(DesignPrecision, DistancesReducedWithTheirZenithAngles) {
    SyntheticNetwork measured, design;
    for (SyntheticNetwork* net : {&measured, &design}) {
        AddStations(*net);
        net->MakeKnown(1, 12);
        net->MakeKnown(3, 12);
        for (const auto& line : kLines) {
            net->TotalStation(line[0], line[1], 0, true, true, true);
            net->TotalStation(line[1], line[0], 0, true, true, true);
        }
    }
    ExpectDesignMatchesAdjustment(measured, design, {0, 1});
}

TEST(DesignPrecision, TrigonometricHeightDifferences) {
    SyntheticNetwork measured, design;
    for (SyntheticNetwork* net : {&measured, &design}) {
        net->Settings().Dimension = 1;
        AddStations(*net);
        net->MakeKnown(1, 10);
        for (const auto& line : kLines)
            net->TrigonometricPair(line[0], line[1]);
    }
    // A trigonometric height difference is handed back in the distance slot.
    ExpectDesignMatchesAdjustment(measured, design, {1});
}

} // namespace
} // namespace TavexTest
