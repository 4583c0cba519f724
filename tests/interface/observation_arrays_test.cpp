// Where the adjustment hands its results back: each observation into the
// host array it came from and within that array's bounds, into the slots
// that belong to its reading, and with no stale bytes left in slots whose
// value is defined to be zero.
#include "support/records.h"
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::Get;
using TavexTest::SyntheticNetwork;

constexpr std::size_t kRecordSize = sizeof(_OBSERVATION);
constexpr std::size_t kResultsAt = 156;
constexpr std::size_t kResultsSize = kRecordSize - kResultsAt;
constexpr unsigned char kPattern = 0xA5;
constexpr std::size_t kGuardRecords = 2;

// Offsets of a terrestrial reading's results, slot i = 1, 2, 3.
constexpr std::size_t RedundancyAt(int i) {
    return 156 + 4 * (i - 1);
}
constexpr std::size_t ResidualAt(int i) {
    return 200 + 8 * (i - 1);
}
constexpr std::size_t MdbAt(int i) {
    return 224 + 8 * (i - 1);
}
constexpr std::size_t BnrAt(int i) {
    return 248 + 8 * (i - 1);
}
constexpr std::size_t WAt(int i) {
    return 272 + 4 * (i - 1);
}
constexpr std::size_t SdAt(int i) {
    return 292 + 8 * (i - 1);
}
constexpr std::size_t SdAdjustedAt(int i) {
    return 316 + 8 * (i - 1);
}
constexpr std::size_t kTTestAt = 284;
constexpr std::size_t kRelativeEllipseAt = 168;

bool HoldsPattern(const unsigned char* bytes, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k)
        if (bytes[k] != kPattern)
            return false;
    return true;
}

// Fills the result bytes of every record with the pattern, so that what the
// kernel leaves unwritten shows.
void PrefillResults(std::vector<_OBSERVATION>& records) {
    for (std::size_t k = 1; k < records.size(); ++k)
        std::memset(reinterpret_cast<unsigned char*>(&records[k]) + kResultsAt, kPattern,
                    kResultsSize);
}

// A host array as the host allocates it: position 0, the records at 1..n
// with their result bytes prefilled, and guard records after the last one.
// Position 0 and the guards hold the pattern and must keep it.
class GuardedArray {
public:
    explicit GuardedArray(const std::vector<_OBSERVATION>& records)
        : count_(static_cast<unsigned>(records.size() - 1)),
          bytes_((records.size() + kGuardRecords) * kRecordSize, kPattern) {
        for (unsigned k = 1; k <= count_; ++k) {
            std::memcpy(Record(k), &records[k], kResultsAt);
        }
    }
    _OBSERVATION* Pointer() { return reinterpret_cast<_OBSERVATION*>(bytes_.data()); }
    unsigned Count() const { return count_; }
    unsigned char* Record(unsigned k) { return bytes_.data() + k * kRecordSize; }
    bool OutsideUntouched() const {
        return HoldsPattern(bytes_.data(), kRecordSize) &&
               HoldsPattern(bytes_.data() + (count_ + 1) * kRecordSize,
                            kGuardRecords * kRecordSize);
    }

private:
    unsigned count_;
    std::vector<unsigned char> bytes_;
};

void AddQuadrilateral(SyntheticNetwork& net) {
    net.AddStation("A", 52.000, 5.000, 10.0);
    net.AddStation("B", 52.010, 5.020, 12.0);
    net.AddStation("C", 52.020, 5.000, 14.0);
    net.AddStation("D", 52.015, 4.975, 9.0);
}

const unsigned kLines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};

class ObservationArrays : public ::testing::Test {
protected:
    void TearDown() override { Release(); }
    const _MESSAGE* Find(SyntheticNetwork& net, int code) {
        for (const _MESSAGE& m : net.Settings().Messages)
            if (m.Code == code)
                return &m;
        return nullptr;
    }
};

// ---------------------------------------------------------------------------
// Several SetObservations calls.
// ---------------------------------------------------------------------------

TEST_F(ObservationArrays, SeveralArraysEachReceiveTheirOwnResultsWithinTheirBounds) {
    SyntheticNetwork net;
    AddQuadrilateral(net);
    for (const auto& line : kLines)
        net.HorizontalDistance(line[0], line[1]);
    const std::vector<_OBSERVATION>& records = net.ObservationRecords();
    // Six records; then one record repeating the distance 1-2; then a
    // distance from station 3 to itself, which the adjustment leaves out.
    GuardedArray first(records);
    GuardedArray second({records[0], records[1]});
    _OBSERVATION self = records[2];
    self.K100.Target = self.K100.Station;
    GuardedArray third({records[0], self});

    ASSERT_EQ(Initialize(net.Settings()), 1);
    ASSERT_EQ(SetStations(net.StationRecords().data(), net.Count()), 1);
    for (GuardedArray* array : {&first, &second, &third})
        ASSERT_EQ(SetObservations(array->Pointer(), array->Count()), 1);
    _STATISTICS statistics{};
    ASSERT_EQ(Adjust(statistics, nullptr), 1) << net.AllMessages();

    for (GuardedArray* array : {&first, &second, &third})
        EXPECT_TRUE(array->OutsideUntouched()) << "position 0 and the guards are the host's";
    EXPECT_EQ(+statistics.Distances, 7);
    std::vector<unsigned char*> distances;
    for (unsigned k = 1; k <= 6; ++k)
        distances.push_back(first.Record(k));
    distances.push_back(second.Record(1));
    for (const unsigned char* r : distances) {
        const int redundancy = Get<int>(r, RedundancyAt(2));
        EXPECT_GT(redundancy, 0);
        EXPECT_LE(redundancy, 100);
        EXPECT_GT(Get<double>(r, SdAt(2)), 0.002);
        EXPECT_LT(Get<double>(r, SdAt(2)), 0.01);
    }
    // The repeated distance is the same line with the same precision.
    EXPECT_EQ(Get<int>(second.Record(1), RedundancyAt(2)),
              Get<int>(first.Record(1), RedundancyAt(2)));
    EXPECT_NEAR(Get<double>(second.Record(1), SdAdjustedAt(2)),
                Get<double>(first.Record(1), SdAdjustedAt(2)), 1e-12);
    EXPECT_TRUE(HoldsPattern(third.Record(1) + kResultsAt, kResultsSize))
        << "a record left out receives nothing";

    // Record numbers run on across the calls: the third array's record is
    // record 6 + 1 + 1.
    const _MESSAGE* self725 = Find(net, 725);
    ASSERT_NE(self725, nullptr) << net.AllMessages();
    EXPECT_EQ(+self725->RefKind, 3);
    EXPECT_EQ(+self725->Ref, 8);
    EXPECT_NE(std::string(self725->Text).find("观测记录 8 "), std::string::npos) << self725->Text;
}

// The W-test list names an observation of a later array by its continued
// record number.
TEST_F(ObservationArrays, TestListsNameRecordsOfLaterArraysByTheirContinuedNumber) {
    SyntheticNetwork net;
    AddQuadrilateral(net);
    for (const auto& line : kLines) {
        net.Direction(line[0], line[1], 0);
        net.Direction(line[1], line[0], 0);
    }
    for (int k = 0; k < 5; ++k)
        net.HorizontalDistance(kLines[k][0], kLines[k][1]);
    std::vector<_OBSERVATION> first = net.ObservationRecords(); // 17 records
    net.HorizontalDistance(2, 4);
    std::vector<_OBSERVATION> second = {first[0], net.ObservationRecords().back()};
    second[1].K100.Reading[1] += 0.05; // 5 cm, 25 standard deviations
    ASSERT_EQ(Initialize(net.Settings()), 1);
    ASSERT_EQ(SetStations(net.StationRecords().data(), net.Count()), 1);
    ASSERT_EQ(SetObservations(first.data(), 17), 1);
    ASSERT_EQ(SetObservations(second.data(), 1), 1);
    _STATISTICS statistics{};
    ASSERT_EQ(Adjust(statistics, nullptr), 1) << net.AllMessages();
    EXPECT_EQ(+statistics.ObservationW[0].Subject, 18);
    EXPECT_EQ(+statistics.ObservationW[0].Code, 20) << "a distance of group 0";
    EXPECT_GT(std::abs(+statistics.ObservationW[0].W), +statistics.CriticalW);
}

// Records split over two calls are the same list as in one call: direction
// sets that the host numbers alike are one set, sets it numbers apart stay
// apart. Station A's three directions come in each array, with set number
// 2 in the first and `secondSet` in the second.
class SplitDirectionSets : public ObservationArrays,
                           public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(SplitDirectionSets, AreTheSetsOfOneCall) {
    const std::uint16_t secondSet = GetParam();
    SyntheticNetwork net;
    AddQuadrilateral(net);
    for (const auto& line : kLines) {
        net.HorizontalDistance(line[0], line[1]);
        net.ObservationRecords().back().K100.Type[0] = 0; // a distance only
    }
    for (unsigned target : {2u, 3u, 4u})
        net.Direction(1, target, 2);
    std::vector<_OBSERVATION> first = net.ObservationRecords();
    for (unsigned target : {2u, 3u, 4u})
        net.Direction(1, target, secondSet);
    std::vector<_OBSERVATION> second(net.ObservationRecords().end() - 4,
                                     net.ObservationRecords().end());
    ASSERT_EQ(Initialize(net.Settings()), 1);
    ASSERT_EQ(SetStations(net.StationRecords().data(), net.Count()), 1);
    ASSERT_EQ(SetObservations(first.data(), static_cast<unsigned>(first.size() - 1)), 1);
    ASSERT_EQ(SetObservations(second.data(), 3), 1);
    _STATISTICS statistics{};
    ASSERT_EQ(Adjust(statistics, nullptr), 1) << net.AllMessages();
    const int sets = secondSet == 2 ? 1 : 2;
    EXPECT_EQ(+statistics.OrientationUnknowns, sets);
    EXPECT_LT(+statistics.FTest, 1e-6) << "the observations are free of errors";
}

INSTANTIATE_TEST_SUITE_P(Sets, SplitDirectionSets, ::testing::Values(2, 0));

// A call that appends only GPS records (or only terrestrial ones) keeps the
// other kind of observation in the project.
class AppendedKind : public ObservationArrays, public ::testing::WithParamInterface<bool> {};

TEST_P(AppendedKind, KeepsTheObservationsOfEarlierCalls) {
    const bool gpsFirst = GetParam();
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    AddQuadrilateral(net);
    for (const auto& line : kLines) {
        net.TotalStation(line[0], line[1], 0, true, true, true);
        net.GpsBaseline(line[1], line[0]);
    }
    std::vector<_OBSERVATION> terrestrial(1), gps(1);
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k) {
        const _OBSERVATION& r = net.ObservationRecords()[k];
        (r.Kind == 6 ? gps : terrestrial).push_back(r);
    }
    ASSERT_EQ(Initialize(net.Settings()), 1);
    ASSERT_EQ(SetStations(net.StationRecords().data(), net.Count()), 1);
    std::vector<_OBSERVATION>& one = gpsFirst ? gps : terrestrial;
    std::vector<_OBSERVATION>& two = gpsFirst ? terrestrial : gps;
    ASSERT_EQ(SetObservations(one.data(), static_cast<unsigned>(one.size() - 1)), 1);
    ASSERT_EQ(SetObservations(two.data(), static_cast<unsigned>(two.size() - 1)), 1);
    _STATISTICS statistics{};
    ASSERT_EQ(Adjust(statistics, nullptr), 1) << net.AllMessages();
    EXPECT_EQ(+statistics.Directions, 6);
    EXPECT_EQ(+statistics.Distances, 6);
    EXPECT_EQ(+statistics.ZenithAngles, 6);
    EXPECT_EQ(+statistics.GPSCoordinateDifferences, 18);
}

INSTANTIATE_TEST_SUITE_P(Order, AppendedKind, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "GpsThenTerrestrial"
                                                           : "TerrestrialThenGps");
                         });

// ---------------------------------------------------------------------------
// Slots whose value is defined to be zero.
// ---------------------------------------------------------------------------

TEST_F(ObservationArrays, ZeroSlotsAreWrittenNotLeftStale) {
    SyntheticNetwork net;
    net.Settings().Dimension = 3;
    net.SetEllipsoid(ELLIPSOID_FRAME_GEOGRAPHIC); // GPS coordinates without a transformation
    AddQuadrilateral(net);
    for (const auto& line : kLines)
        net.TotalStation(line[0], line[1], 0, true, true, true);
    net.Direction(2, 1, 1);
    net.GpsCoordinate(1);
    net.GpsCoordinate(3);
    PrefillResults(net.ObservationRecords());
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    int coordinates = 0, terrestrial = 0;
    for (std::size_t k = 1; k < net.ObservationRecords().size(); ++k) {
        const _OBSERVATION& r = net.ObservationRecords()[k];
        SCOPED_TRACE(testing::Message() << "record " << k << " kind " << r.Kind);
        if (r.Kind == 7) {
            ++coordinates;
            for (int j = 0; j < 4; ++j)
                EXPECT_EQ(Get<double>(&r, kRelativeEllipseAt + 8 * j), 0.0)
                    << "a single station has no relative ellipse";
            const double t = Get<double>(&r, kTTestAt);
            EXPECT_TRUE(std::isfinite(t) && t >= 0.0) << t;
        } else {
            ++terrestrial;
            EXPECT_EQ(Get<double>(&r, kTTestAt), 0.0) << "directions, distances, zenith angles";
        }
    }
    EXPECT_EQ(coordinates, 2);
    EXPECT_EQ(terrestrial, 7);
}

// ---------------------------------------------------------------------------
// Trigonometric height differences of a height network.
// ---------------------------------------------------------------------------

// Three stations of equal height in a near-equilateral triangle, one of them
// known, and the three trigonometric height differences around it. One
// target height is given 1 cm too large, so the loop misses by 1 cm. With one
// redundant observation and uncorrelated observations of variances q_i, the
// least-squares residuals (observed - adjusted) are v_i = w q_i / sum q,
// w the misclosure of the observed values, r_i = q_i / sum q, and every
// |W| = |w| / sqrt(sum q).
TEST_F(ObservationArrays, TrigonometricHeightsComeBackInTheDistanceSlots) {
    SyntheticNetwork net;
    net.Settings().Dimension = 1;
    net.Settings().Phase = 2;
    net.AddStation("A", 52.0000, 5.000000, 10.0);
    net.AddStation("B", 52.0000, 5.007300, 10.0);
    net.AddStation("C", 52.0039, 5.003650, 10.0);
    net.MakeKnown(1, 10);
    net.TrigonometricPair(1, 2);
    net.TrigonometricPair(2, 3);
    net.TrigonometricPair(3, 1);
    const double planted = 0.01;
    net.ObservationRecords()[2].K100.TargetHeight += planted; // observed B-C lowered
    PrefillResults(net.ObservationRecords());
    _STATISTICS statistics{};
    ASSERT_EQ(net.Adjust(statistics), 1) << net.AllMessages();
    EXPECT_EQ(+statistics.TrigonometricHeightDifferences, 3);

    // The variances of the height differences, propagated from the slant
    // distance s and the zenith angle z of
    // dh = s cos z + (1 - k)(s sin z)^2 / (2R) + hi - ht.
    const double c = (1 - SyntheticNetwork::kRefraction) / (2 * SyntheticNetwork::kRadius);
    double q[3], sumQ = 0;
    for (int k = 0; k < 3; ++k) {
        const _OBS_KIND100& r = net.ObservationRecords()[k + 1].K100;
        const double s = r.Reading[1], z = r.Reading[2];
        const double dS = std::cos(z) + 2 * c * s * std::sin(z) * std::sin(z);
        const double dZ = -s * std::sin(z) + 2 * c * s * s * std::sin(z) * std::cos(z);
        q[k] =
            dS * dS * r.Precision[2] * r.Precision[2] + dZ * dZ * r.Precision[4] * r.Precision[4];
        sumQ += q[k];
    }
    const double w = -planted; // sum of the observed height differences around the loop
    for (int k = 0; k < 3; ++k) {
        const _OBSERVATION& r = net.ObservationRecords()[k + 1];
        SCOPED_TRACE(testing::Message() << "record " << k + 1);
        const double sd = std::sqrt(q[k]);
        const double redundancy = q[k] / sumQ;
        EXPECT_NEAR(redundancy, 1.0 / 3.0, 0.01) << "the triangle is near equilateral";
        EXPECT_NEAR(Get<double>(&r, ResidualAt(2)), w * redundancy, 2e-5);
        EXPECT_NEAR(Get<int>(&r, RedundancyAt(2)), 100 * redundancy, 1.0);
        EXPECT_NEAR(std::abs(Get<float>(&r, WAt(2))), planted / std::sqrt(sumQ),
                    2e-3 * planted / std::sqrt(sumQ));
        EXPECT_NEAR(Get<double>(&r, SdAt(2)), sd, 1e-3 * sd);
        EXPECT_NEAR(Get<double>(&r, SdAdjustedAt(2)), sd * std::sqrt(1 - redundancy), 1e-3 * sd);
        EXPECT_NEAR(Get<double>(&r, MdbAt(2)), sd * std::sqrt(statistics.Lambda0 / redundancy),
                    1e-3 * sd);
        EXPECT_FALSE(HoldsPattern(reinterpret_cast<const unsigned char*>(&r) + BnrAt(2), 8));
        EXPECT_EQ(Get<double>(&r, kTTestAt), 0.0);
        // Nothing in the slots of the zenith angle or the switched-off
        // direction.
        for (int slot : {1, 3}) {
            SCOPED_TRACE(testing::Message() << "slot " << slot);
            const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
            EXPECT_TRUE(HoldsPattern(bytes + RedundancyAt(slot), 4));
            EXPECT_TRUE(HoldsPattern(bytes + ResidualAt(slot), 8));
            EXPECT_TRUE(HoldsPattern(bytes + MdbAt(slot), 8));
            EXPECT_TRUE(HoldsPattern(bytes + BnrAt(slot), 8));
            EXPECT_TRUE(HoldsPattern(bytes + WAt(slot), 4));
            EXPECT_TRUE(HoldsPattern(bytes + SdAt(slot), 8));
            EXPECT_TRUE(HoldsPattern(bytes + SdAdjustedAt(slot), 8));
        }
    }
}

} // namespace
} // namespace Tavex
