// A host built against the public header alone and linked to the shared
// library. It lays out every record byte by byte at the offsets of the
// binary interface, as a host written in another language would, and sees
// the kernel only through the exported functions.
#include "support/records.h"
#include "support/test_directory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using TavexTest::Put;
using TavexTest::PutText;

constexpr std::size_t kStationSize = 319;
constexpr std::size_t kObservationSize = 392;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        unsigned char* s = settings.bytes();
        dir = TavexTest::OwnTestDirectory();
        PutText(s, 0, "Bridge 测试");
        PutText(s, 41, dir);
        PutText(s, 297, "bridge.out");
        PutText(s, 310, "bridge.msg");
        PutText(s, 323, "bridge.var");
        Put<int>(s, 340, 1); // free network
        Put<int>(s, 344, 0); // gon
        PutText(s, 348, "m");
        Put<double>(s, 373, 1.0);
        Put<int>(s, 381, 3);
        Put<double>(s, 385, 1e-4);
        Put<double>(s, 393, 1e-6);
        Put<int>(s, 401, 2);
        for (std::size_t offset : {429, 433, 437, 441})
            Put<int>(s, offset, 1);
        Put<double>(s, 453, 1.0);
        Put<double>(s, 461, 0.001);
        Put<double>(s, 469, 0.8);
        Put<double>(s, 477, 0.683);
        Put<double>(s, 485, 0.394);
        Put<int>(s, 524, Tavex::ELLIPSOID_BESSEL1841);
        Put<int>(s, 544, Tavex::PROJECTION_NONE);
        for (int g = 0; g < 10; ++g) {
            Put<double>(s, 548 + 8 * g, 1.0);
            Put<double>(s, 708 + 8 * g, 0.13);
        }
        for (int slot = 0; slot < 16; ++slot)
            Put<int>(s, 1308 + 4 * slot, slot == 5 ? 0 : 1);
        messagePath = dir + "/bridge.msg";
        std::remove(messagePath.c_str());

        stations.assign(3 * kStationSize, 0);
        const char* names[] = {"P1", "P2", "P3"};
        for (int k = 0; k < 3; ++k) {
            unsigned char* st = stations.data() + k * kStationSize;
            PutText(st, 0, names[k]);
            Put<int>(st, 45, 0x10 | 0x02); // geographic, terrestrial
            Put<double>(st, 61, 0.9 + 1e-4 * k);
            Put<double>(st, 69, 0.1 + 1e-4 * (k % 2));
            Put<double>(st, 77, 10.0);
        }
        observations.assign(3 * kObservationSize, 0); // position 0 and two records
        for (unsigned k = 1; k <= 2; ++k) {
            unsigned char* o = observations.data() + k * kObservationSize;
            Put<int>(o, 0, 4);
            Put<std::uint16_t>(o, 6, 2); // distance
            Put<unsigned>(o, 10, k);
            Put<unsigned>(o, 14, k == 2 ? 7u : k + 1); // record 2 aims at station 7
            Put<double>(o, 34, 600.0);
            Put<double>(o, 42, 0.002);
        }
    }
    void TearDown() override {
        Tavex::Release();
        std::remove(messagePath.c_str());
        std::filesystem::remove_all(dir);
    }
    void Load() {
        ASSERT_EQ(Tavex::Initialize(*settings), 1);
        ASSERT_EQ(Tavex::SetStations(reinterpret_cast<Tavex::_STATIONADJ*>(stations.data()), 3), 1);
        ASSERT_EQ(
            Tavex::SetObservations(reinterpret_cast<Tavex::_OBSERVATION*>(observations.data()), 2),
            1);
    }

    std::string Messages() {
        std::string all;
        for (const Tavex::_MESSAGE& m : settings->Messages)
            all += std::to_string(+m.Code) + ": " + m.Text + "\n";
        return all;
    }

    TavexTest::SettingsRecord settings;
    std::string dir, messagePath;
    std::vector<unsigned char> stations, observations;
};

TEST_F(Host, RunFailureComesBackInMessagesAndTheMessageFile) {
    Load();
    std::vector<unsigned char> statistics(2324, 0xAB);
    EXPECT_EQ(Tavex::Adjust(*reinterpret_cast<Tavex::_STATISTICS*>(statistics.data()), nullptr), 0);
    const auto& messages = settings->Messages;
    ASSERT_EQ(messages.size(), 1u);
    const unsigned char* m = reinterpret_cast<const unsigned char*>(&messages[0]);
    EXPECT_EQ(TavexTest::Get<int>(m, 0), 713);
    EXPECT_EQ(TavexTest::Get<int>(m, 4), 1);
    EXPECT_EQ(TavexTest::Get<int>(m, 8), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m + 12)),
              "观测记录 2 的目标点号 7 无效（测站数 3）");
    EXPECT_EQ(TavexTest::Get<int>(m, 273), 2);
    EXPECT_EQ(ReadFile(messagePath), "错误: 观测记录 2 的目标点号 7 无效（测站数 3）.\r\n");
    EXPECT_EQ(statistics[0], 0xAB) << "a failed adjustment writes no statistics";
}

TEST_F(Host, ValidInputRunsThePreRunTwice) {
    Put<unsigned>(observations.data() + 2 * kObservationSize, 14, 3u);
    Load();
    EXPECT_EQ(Tavex::PreRun(nullptr), 1);
    const std::size_t first = settings->Messages.size();
    EXPECT_EQ(Tavex::PreRun(nullptr), 1);
    EXPECT_EQ(settings->Messages.size(), 2 * first)
        << "the second run hands back both runs' messages";
}

TEST_F(Host, SettersAlwaysSucceedAndReleaseIsRepeatable) {
    Load();
    EXPECT_EQ(Tavex::SetObservations(nullptr, 0), 1);
    Tavex::Release();
    Tavex::Release();
    EXPECT_EQ(Tavex::SetStations(nullptr, 0), 1);
}

// Geocentric position of a station of the fixture on the Bessel ellipsoid.
void Geocentric(double lat, double lon, double h, double (&x)[3]) {
    const double a = 6377397.155, f = 1.0 / 299.1528128, e2 = f * (2.0 - f);
    const double n = a / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));
    x[0] = (n + h) * std::cos(lat) * std::cos(lon);
    x[1] = (n + h) * std::cos(lat) * std::sin(lon);
    x[2] = (n * (1.0 - e2) + h) * std::sin(lat);
}

// A kind-100 record holding only a distance (slot 2) between stations
// `from` and `to` of the fixture, read from the geometry, as record k of an
// array. Both stations lie at the same height, so the chord is the
// horizontal distance.
void PutDistance(std::vector<unsigned char>& array, unsigned k, unsigned from, unsigned to,
                 const std::vector<unsigned char>& stations) {
    double p[2][3];
    for (int i = 0; i < 2; ++i) {
        const unsigned char* st = stations.data() + ((i == 0 ? from : to) - 1) * kStationSize;
        Geocentric(TavexTest::Get<double>(st, 61), TavexTest::Get<double>(st, 69),
                   TavexTest::Get<double>(st, 77), p[i]);
    }
    unsigned char* o = array.data() + k * kObservationSize;
    Put<int>(o, 0, 100);
    Put<std::uint16_t>(o, 12, 2); // type of slot 2: distance
    Put<unsigned>(o, 22, from);
    Put<unsigned>(o, 26, to);
    Put<double>(o, 54, std::hypot(p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]));
    Put<double>(o, 86, 0.002); // absolute part of its standard deviation
}

// A later SetObservations call with an array of exactly one record: its
// results go into that record and nowhere past it (an address sanitizer
// sees any write beyond the allocation). The record repeats line P1-P2 of
// the first call's triangle.
TEST_F(Host, ResultsOfALaterOneRecordArrayStayInsideIt) {
    std::vector<unsigned char> triangle(4 * kObservationSize, 0);
    PutDistance(triangle, 1, 1, 2, stations);
    PutDistance(triangle, 2, 2, 3, stations);
    PutDistance(triangle, 3, 3, 1, stations);
    std::vector<unsigned char> one(2 * kObservationSize, 0x5A); // position 0 and one record
    std::memset(one.data() + kObservationSize, 0, kObservationSize);
    PutDistance(one, 1, 1, 2, stations);
    ASSERT_EQ(Tavex::Initialize(*settings), 1);
    ASSERT_EQ(Tavex::SetStations(reinterpret_cast<Tavex::_STATIONADJ*>(stations.data()), 3), 1);
    ASSERT_EQ(Tavex::SetObservations(reinterpret_cast<Tavex::_OBSERVATION*>(triangle.data()), 3),
              1);
    ASSERT_EQ(Tavex::SetObservations(reinterpret_cast<Tavex::_OBSERVATION*>(one.data()), 1), 1);
    std::vector<unsigned char> statistics(2324, 0);
    ASSERT_EQ(Tavex::Adjust(*reinterpret_cast<Tavex::_STATISTICS*>(statistics.data()), nullptr), 1)
        << Messages();
    for (std::size_t k = 0; k < kObservationSize; ++k)
        ASSERT_EQ(one[k], 0x5A) << "position 0 is the host's, byte " << k;
    // Distance results sit in slot 2: redundancy at 160, residual at 208,
    // standard deviation at 300 and that of the adjusted reading at 324. The
    // repeated reading is the same line with the same precision as the first
    // call's record 1, so it gets the same results.
    const unsigned char* repeated = one.data() + kObservationSize;
    const unsigned char* first = triangle.data() + kObservationSize;
    EXPECT_GT(TavexTest::Get<int>(repeated, 160), 0);
    EXPECT_EQ(TavexTest::Get<int>(repeated, 160), TavexTest::Get<int>(first, 160));
    EXPECT_NEAR(TavexTest::Get<double>(repeated, 208), TavexTest::Get<double>(first, 208), 1e-9);
    EXPECT_NEAR(TavexTest::Get<double>(repeated, 300), 0.002, 1e-12);
    EXPECT_NEAR(TavexTest::Get<double>(repeated, 324), TavexTest::Get<double>(first, 324), 1e-12);
    EXPECT_GT(TavexTest::Get<double>(repeated, 324), 0.0);
    EXPECT_LT(TavexTest::Get<double>(repeated, 324), 0.002);
    EXPECT_EQ(TavexTest::Get<int>(statistics.data(), 4 * 10), 4) << "four distances";
}

// Counts no array can hold: the setter refuses and stores nothing, and the
// runs fail until the next Initialize.
TEST_F(Host, GarbageCountsStoreNothing) {
    Put<unsigned>(observations.data() + 2 * kObservationSize, 14, 3u);
    Load();
    auto* st = reinterpret_cast<Tavex::_STATIONADJ*>(stations.data());
    auto* ob = reinterpret_cast<Tavex::_OBSERVATION*>(observations.data());
    for (const unsigned n : {4294967295u, 2000000000u}) {
        EXPECT_EQ(Tavex::SetStations(st, n), 0) << n;
        EXPECT_EQ(Tavex::SetObservations(ob, n), 0) << n;
    }
    EXPECT_EQ(Tavex::PreRun(nullptr), 0);
    bool refused = false;
    for (const Tavex::_MESSAGE& m : settings->Messages)
        refused = refused || m.Code == 736;
    EXPECT_TRUE(refused);
    Load();
    EXPECT_EQ(Tavex::PreRun(nullptr), 1);
}

TEST_F(Host, ConfidenceMultipliers) {
    EXPECT_EQ(Tavex::MultiplierConfidence(0.683, 1), 1.0);
    EXPECT_EQ(Tavex::MultiplierConfidence(0.394, 2), 1.0);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 1), 1.9604, 5e-5);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 2), 2.4477, 5e-5);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 3), 2.7955, 5e-3);
}

} // namespace
