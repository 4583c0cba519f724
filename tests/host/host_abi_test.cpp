// A host built against the public header alone and linked to the shared
// library. It lays out every record byte by byte at the offsets of the
// binary interface, as a host written in another language would, and sees
// the kernel only through the exported functions.
#include "support/records.h"
#include "support/test_directory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
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

TEST_F(Host, ConfidenceMultipliers) {
    EXPECT_EQ(Tavex::MultiplierConfidence(0.683, 1), 1.0);
    EXPECT_EQ(Tavex::MultiplierConfidence(0.394, 2), 1.0);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 1), 1.9604, 5e-5);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 2), 2.4477, 5e-5);
    EXPECT_NEAR(Tavex::MultiplierConfidence(0.95, 3), 2.7955, 5e-3);
}

} // namespace
