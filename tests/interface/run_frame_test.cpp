#include "interface/kernel.h"
#include "support/records.h"
#include "support/test_directory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::FillDefaultSettings;
using TavexTest::SettingsRecord;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

_STATIONADJ Station(const char* name, double lat, double lon) {
    _STATIONADJ r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.Name, name, std::strlen(name));
    r.CoordFlags = 0x10 | 0x02;
    r.Coord1 = lat;
    r.Coord2 = lon;
    return r;
}

_OBSERVATION Distance(unsigned from, unsigned to, double value) {
    _OBSERVATION r;
    std::memset(&r, 0, sizeof r);
    r.Kind = 4;
    r.K4.Type = 2;
    r.K4.Station = from;
    r.K4.Target = to;
    r.K4.Reading = value;
    r.K4.Precision[0] = 0.002;
    return r;
}

class RunFrame : public ::testing::Test {
protected:
    void SetUp() override {
        FillDefaultSettings(*settings);
        dir = TavexTest::OwnTestDirectory();
        std::memcpy(settings->ProjectDir, dir.c_str(), dir.size());
        std::memcpy(settings->OutputFile, "frame.out", 9);
        std::memcpy(settings->MessageFile, "frame.msg", 9);
        messagePath = dir + "/frame.msg";
        std::remove(messagePath.c_str());
        stations = {Station("A", 0.9, 0.1), Station("B", 0.9001, 0.1), Station("C", 0.9, 0.1001)};
        observations = {_OBSERVATION{}, Distance(1, 2, 637.0), Distance(2, 3, 500.0)};
    }
    void TearDown() override {
        Release();
        std::filesystem::remove_all(dir);
    }
    void Load() {
        ASSERT_EQ(Initialize(*settings), 1);
        ASSERT_EQ(SetStations(stations.data(), static_cast<unsigned>(stations.size())), 1);
        ASSERT_EQ(SetObservations(observations.data(), 2), 1);
    }
    std::vector<int> Codes() {
        std::vector<int> codes;
        for (const _MESSAGE& m : settings->Messages)
            codes.push_back(+m.Code);
        return codes;
    }

    SettingsRecord settings;
    std::string dir, messagePath;
    std::vector<_STATIONADJ> stations;
    std::vector<_OBSERVATION> observations;
    _STATISTICS statistics{};
};

// A run that fails at its input check, whatever its computation: record 2
// names a target beyond the three stations.
TEST_F(RunFrame, OutputFormZeroWritesNoMessageFileButHandsMessagesBack) {
    settings->ReportSwitch[REPORT_OUTPUT_FORM] = 0;
    observations[2].K4.Target = 9;
    Load();
    EXPECT_EQ(PreRun(nullptr), 0);
    EXPECT_FALSE(std::ifstream(messagePath).good());
    EXPECT_EQ(settings->Messages.size(), 1u);
}

TEST_F(RunFrame, MessageFileHoldsTheRunsLines) {
    settings->ReportSwitch[REPORT_OUTPUT_FORM] = 1;
    observations[2].K4.Target = 9;
    Load();
    EXPECT_EQ(PreRun(nullptr), 0);
    const std::string text = ReadFile(messagePath);
    EXPECT_EQ(text.rfind("错误: 观测记录 2 的目标点号 9 无效（测站数 3）.\r\n", 0), 0u) << text;
}

TEST_F(RunFrame, SecondRunHandsBackTheMessagesOfBothInOrder) {
    observations[2].K4.Target = 9;
    Load();
    EXPECT_EQ(PreRun(nullptr), 0);
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    ASSERT_EQ(Codes(), std::vector<int>({713, 713}));
    Initialize(*settings);
    EXPECT_TRUE(TheKernel().project.Messages.Count() == 0) << "Initialize empties the list";
}

TEST_F(RunFrame, BadStationNumbersFailTheRunNamingTheRecord) {
    observations[1].K4.Station = 0;
    observations[2].K4.Target = 4;
    Load();
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    ASSERT_EQ(Codes(), std::vector<int>({712, 713}));
    EXPECT_EQ(+settings->Messages[0].RefKind, 3);
    EXPECT_EQ(+settings->Messages[0].Ref, 1);
    EXPECT_EQ(+settings->Messages[1].Ref, 2);
    EXPECT_STREQ(settings->Messages[1].Text, "观测记录 2 的目标点号 4 无效（测站数 3）");
}

TEST_F(RunFrame, RecordPositionsSurviveSkippedRecords) {
    std::vector<_OBSERVATION> records = {_OBSERVATION{}, Distance(1, 2, 1.0), Distance(1, 2, 1.0),
                                         Distance(1, 7, 1.0)};
    records[1].Kind = 3; // skipped
    Load();
    Initialize(*settings);
    SetStations(stations.data(), 3);
    SetObservations(records.data(), 3);
    EXPECT_EQ(PreRun(nullptr), 0);
    ASSERT_GE(settings->Messages.size(), 1u);
    EXPECT_EQ(+settings->Messages[0].Code, 713);
    EXPECT_EQ(+settings->Messages[0].Ref, 3) << "the host's record 3, not observation 2";
}

TEST_F(RunFrame, NonFiniteNumbersFailTheRunNamingRecordOrSetting) {
    settings->Sigma0 = std::numeric_limits<double>::quiet_NaN();
    settings->ScaleFactor[3] = std::numeric_limits<double>::infinity();
    stations[1].Height = std::numeric_limits<double>::quiet_NaN();
    observations[2].K4.Reading = std::numeric_limits<double>::infinity();
    Load();
    EXPECT_EQ(COGO(nullptr), 0);
    ASSERT_EQ(Codes(), std::vector<int>({714, 714, 715, 716}));
    EXPECT_STREQ(settings->Messages[0].Text, "设置 Sigma0 不是有效数值");
    EXPECT_STREQ(settings->Messages[1].Text, "设置 ScaleFactor[3] 不是有效数值");
    EXPECT_EQ(+settings->Messages[2].Ref, 2);
    EXPECT_EQ(+settings->Messages[2].RefKind, 2);
    EXPECT_EQ(+settings->Messages[3].Ref, 2);
}

TEST_F(RunFrame, NegativeVarianceOfAKnownStationIsNotAStandardDeviation) {
    stations[0].CoordStatus = 8;
    stations[0].CoordClass = 12;
    stations[0].CovScale = 1.0;
    stations[0].Cov[0] = -1e-6;
    Load();
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    ASSERT_EQ(Codes(), std::vector<int>({715}));
    EXPECT_EQ(+settings->Messages[0].Ref, 1);
}

TEST_F(RunFrame, GridStationsWithoutProjectionFailTheRun) {
    stations[2].CoordFlags = 0x20;
    stations[2].Coord1 = 1000.0;
    stations[2].Coord2 = 2000.0;
    Load();
    EXPECT_EQ(Loops(*std::make_unique<std::vector<_LOOP_RESULT>>(), nullptr), 0);
    ASSERT_EQ(Codes(), std::vector<int>({719}));
}

TEST_F(RunFrame, UnknownProjectionCodeFailsTheRun) {
    settings->Projection = 42;
    Load();
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    ASSERT_FALSE(settings->Messages.empty());
    EXPECT_EQ(+settings->Messages[0].Code, 720);
}

// A host sink that tries to re-enter the kernel from the progress dialog.
class ReenteringSink : public WindowSink {
public:
    explicit ReenteringSink(_SETTINGS& settings) : settings_(settings) {}
    void DialogTitle(const char* text) override {
        title = text;
        _STATISTICS nested{};
        nestedAdjust = Adjust(nested, nullptr);
        nestedInitialize = Initialize(settings_);
        Release();
    }
    std::string title;
    int nestedAdjust = -1;
    int nestedInitialize = -1;

private:
    _SETTINGS& settings_;
};

TEST_F(RunFrame, CallsFromInsideARunAreRefusedAndChangeNothing) {
    Load();
    ReenteringSink sink(*settings);
    HWND owner = CreateHostWindow(WindowRect{0, 0, 640, 480}, &sink);
    ASSERT_TRUE(IsWindow(owner));
    EXPECT_EQ(PreRun(owner), 1) << "the pre-run itself goes on";
    EXPECT_EQ(sink.title, "预分析(a)");
    EXPECT_EQ(sink.nestedAdjust, 0);
    EXPECT_EQ(sink.nestedInitialize, 0);
    EXPECT_EQ(TheKernel().project.StationCount, 3u) << "the refused Release freed nothing";
    const std::vector<int> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(std::vector<int>(codes.begin(), codes.begin() + 3), std::vector<int>({718, 722, 722}));
    DestroyHostWindow(owner);
    EXPECT_FALSE(IsWindow(owner));
}

TEST_F(RunFrame, DesignRunsAreTitledDesign) {
    settings->AdjDesign = 1;
    Load();
    ReenteringSink sink(*settings);
    HWND owner = CreateHostWindow(WindowRect{0, 0, 640, 480}, &sink);
    Adjust(statistics, owner);
    EXPECT_EQ(sink.title, "设计");
    DestroyHostWindow(owner);
}

TEST_F(RunFrame, ReleaseTwiceIsHarmlessAndRunsAfterItHaveNothingToHandBackTo) {
    Load();
    Release();
    Release();
    EXPECT_EQ(Adjust(statistics, nullptr), 0);
    EXPECT_TRUE(settings->Messages.empty())
        << "after Release the kernel no longer knows the record";
}

TEST(MultiplierConfidenceExport, ForwardsToTheMultiplier) {
    EXPECT_EQ(MultiplierConfidence(0.683, 1), 1.0);
    EXPECT_EQ(MultiplierConfidence(0.394, 2), 1.0);
    EXPECT_NEAR(MultiplierConfidence(0.95, 1), 1.9604, 5e-5);
    EXPECT_NEAR(MultiplierConfidence(0.95, 2), 2.4477, 5e-5);
    EXPECT_NEAR(MultiplierConfidence(0.95, 3), 2.80, 5e-3);
}

} // namespace
} // namespace Tavex

namespace Tavex {
namespace {

// Every record the kernel reads may sit at any address: a host in another
// language lays them out byte by byte. Under the alignment sanitizer this
// proves that the kernel never reads a packed field through a misaligned
// reference.
TEST(RecordAlignment, KernelReadsAndWritesRecordsAtOddAddresses) {
    using TavexTest::Put;
    alignas(8) static unsigned char settingsBytes[sizeof(_SETTINGS) + 8];
    alignas(8) static unsigned char stationBytes[2 * sizeof(_STATIONADJ) + 8];
    alignas(8) static unsigned char observationBytes[3 * sizeof(_OBSERVATION) + 8];
    std::memset(settingsBytes, 0, sizeof settingsBytes);
    std::memset(stationBytes, 0, sizeof stationBytes);
    std::memset(observationBytes, 0, sizeof observationBytes);

    // A zeroed std::vector is an empty vector in this standard library, so
    // the zeroed bytes are a valid record at an 8-byte boundary, which puts
    // its Messages vector 4 bytes off.
    auto* settings = reinterpret_cast<_SETTINGS*>(settingsBytes);
    for (std::size_t offset : {381u, 401u})
        Put<int>(settingsBytes, offset, 3);
    for (std::size_t offset : {373u, 453u})
        Put<double>(settingsBytes, offset, 1.0);
    Put<double>(settingsBytes, 385, 1e-4);
    Put<double>(settingsBytes, 393, 1e-6);
    Put<double>(settingsBytes, 461, 0.001);
    Put<double>(settingsBytes, 469, 0.8);
    Put<double>(settingsBytes, 477, 0.683);
    Put<double>(settingsBytes, 485, 0.394);
    Put<int>(settingsBytes, 524, ELLIPSOID_WGS84);
    for (int g = 0; g < 10; ++g)
        Put<double>(settingsBytes, 548 + 8 * g, 1.0);

    unsigned char* stationStart = stationBytes + 1;
    for (int k = 0; k < 2; ++k) {
        unsigned char* s = stationStart + k * sizeof(_STATIONADJ);
        Put<char>(s, 0, static_cast<char>('A' + k));
        Put<int>(s, 17, 8);
        Put<int>(s, 21, 12);
        Put<int>(s, 45, 0x12);
        Put<double>(s, 61, 0.9 + 1e-4 * k);
        Put<double>(s, 69, 0.1);
        Put<double>(s, 93, 1.0);
        Put<double>(s, 101, 1e-6);
        Put<double>(s, 125, 1e-6);
        Put<double>(s, 141, 1e-6);
    }
    unsigned char* observationStart = observationBytes + 3;
    const int kinds[2] = {100, 6};
    for (int k = 1; k <= 2; ++k) {
        unsigned char* o = observationStart + k * sizeof(_OBSERVATION);
        Put<int>(o, 0, kinds[k - 1]);
        Put<std::uint16_t>(o, 12, 2);
        Put<unsigned>(o, 22, 1);
        Put<unsigned>(o, 26, 2);
        Put<double>(o, 54, 11.1);
    }

    ASSERT_EQ(Initialize(*settings), 1);
    ASSERT_EQ(SetStations(reinterpret_cast<_STATIONADJ*>(stationStart), 2), 1);
    ASSERT_EQ(SetObservations(reinterpret_cast<_OBSERVATION*>(observationStart), 2), 1);
    EXPECT_EQ(TheKernel().project.Observations.GetAt(2)->Reading[1], 11.1);
    EXPECT_NEAR(TheKernel().project.Known[2].SdLat, 1e-3, 1e-15);
    PreRun(nullptr); // reads the records at their odd addresses
    // The adjustment writes into the station records at their odd addresses.
    _STATISTICS statistics{};
    Adjust(statistics, nullptr);
    Release();

    // Take the handed-back vector out through aligned storage and free it.
    std::vector<_MESSAGE> messages;
    std::memcpy(static_cast<void*>(&messages), settingsBytes + 1372, sizeof messages);
    ASSERT_GE(messages.size(), 1u);
    EXPECT_NE(+messages[0].Code, 0);
}

} // namespace
} // namespace Tavex
