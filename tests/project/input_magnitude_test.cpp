// Numbers beyond the kernel's range (kLargestMagnitude, 1e9) fail every run
// with the message of a number that is not finite, naming the record and the
// field: a height of 5e299 reached an integer conversion of the pre-run's
// coinciding-station search (undefined behaviour), and a height difference of
// 1e300 made the loop run hand back an infinite test value as a success.
#include "project/input_check.h"
#include "support/synthetic_network.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

// A levelling loop of three stations.
class InputMagnitude : public ::testing::Test {
protected:
    void SetUp() override {
        net.Settings().Dimension = 1;
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.HeightDifference(1, 2);
        net.HeightDifference(2, 3);
        net.HeightDifference(3, 1);
    }
    void TearDown() override { Release(); }
    void SetReading(unsigned record, double value) {
        net.ObservationRecords()[record].K5.Reading = value;
    }

    SyntheticNetwork net;
};

TEST_F(InputMagnitude, AHugeHeightFailsThePreRunNamingTheStation) {
    net.StationRecords()[1].Height = 5e299;
    net.Load();
    EXPECT_EQ(PreRun(nullptr), 0);
    const std::string text = net.MessageText(715);
    EXPECT_NE(text.find("B"), std::string::npos) << net.AllMessages();
    EXPECT_NE(text.find("height"), std::string::npos) << text;
}

TEST_F(InputMagnitude, AHugeReadingFailsTheLoopsAndHandsBackNoLoop) {
    SetReading(2, 1e300);
    net.Load();
    std::vector<_LOOP_RESULT> loops;
    EXPECT_EQ(Loops(loops, nullptr), 0);
    EXPECT_TRUE(loops.empty());
    EXPECT_NE(net.MessageText(716).find("reading"), std::string::npos) << net.AllMessages();
}

TEST_F(InputMagnitude, AReadingAtTheLimitStillRuns) {
    SetReading(2, kLargestMagnitude);
    net.Load();
    std::vector<_LOOP_RESULT> loops;
    ASSERT_EQ(Loops(loops, nullptr), 1) << net.AllMessages();
    ASSERT_EQ(loops.size(), 1u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(std::isfinite(+loops[0].Test[i])) << i;
}

TEST_F(InputMagnitude, AHugeSettingFailsTheAdjustment) {
    net.Settings().Sigma0 = 1e200;
    _STATISTICS statistics{};
    EXPECT_EQ(net.Adjust(statistics), 0);
    EXPECT_NE(net.MessageText(714).find("Sigma0"), std::string::npos) << net.AllMessages();
}

} // namespace
} // namespace Tavex
