// Angles as the project file gives them: packed degrees.minutes-seconds
// numbers in the dms unit and "d m s" text, checked against the sexagesimal
// values written out by hand.
#include "angle_text.h"
#include "project_file.h"
#include "record_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace TavexCli;

double Degrees(double d, double m, double s) {
    return (d + m / 60.0 + s / 3600.0) * std::numbers::pi / 180.0;
}

TEST(CliAngles, PackedNumbersAreDegreesMinutesSeconds) {
    EXPECT_NEAR(*PackedDmsToRadians(32.0054), Degrees(32, 0, 54), 1e-15);
    EXPECT_NEAR(*PackedDmsToRadians(32.005412), Degrees(32, 0, 54.12), 1e-15);
    // A single digit after the point is tens of minutes.
    EXPECT_NEAR(*PackedDmsToRadians(32.5), Degrees(32, 50, 0), 1e-15);
    // 32.01 is stored as 32.00999…; its digits still say one minute.
    EXPECT_NEAR(*PackedDmsToRadians(32.01), Degrees(32, 1, 0), 1e-15);
    EXPECT_NEAR(*PackedDmsToRadians(0.0001), Degrees(0, 0, 1), 1e-18);
    EXPECT_NEAR(*PackedDmsToRadians(-12.3015), -Degrees(12, 30, 15), 1e-15);
    EXPECT_NEAR(*PackedDmsToRadians(359.5959999), Degrees(359, 59, 59.999), 1e-13);
    EXPECT_FALSE(PackedDmsToRadians(32.6));     // 60 minutes
    EXPECT_FALSE(PackedDmsToRadians(32.0060));  // 60 seconds
    EXPECT_FALSE(PackedDmsToRadians(32.99999)); // 99 minutes
    EXPECT_FALSE(PackedDmsToRadians(NAN));
}

TEST(CliAngles, TextIsPlainDecimalNumbers) {
    EXPECT_NEAR(*ParseDms("-12 30 15.5"), -Degrees(12, 30, 15.5), 1e-15);
    EXPECT_NEAR(*ParseDms("12 30"), Degrees(12, 30, 0), 1e-15);
    EXPECT_NEAR(*ParseDms(".5"), Degrees(0.5, 0, 0), 1e-15);
    for (const char* bad : {"nan", "inf", "-inf", "1e3", "0x10", "12 60", "12 0 60", "+12", "12 -1",
                            "1 2 3 4", "", "-", "1..2", "12 30 nan"})
        EXPECT_FALSE(ParseDms(bad)) << '"' << bad << '"';
}

TEST(CliAngles, DmsNumbersOfAFileReachTheRecordsAsTheirAngles) {
    const Project project = ParseProject(R"({"dimension": 2, "angle_unit": "dms",
        "stations": [{"name": "A", "latitude": 52.0043, "longitude": "5 01 15.6"},
                     {"name": "B", "latitude": 52.01, "longitude": 5.0115}],
        "observations": [{"type": "direction", "from": "A", "to": "B", "value": 123.4512,
                          "sd": 0.00015}]})",
                                         "memory");
    const Records records = LayOut(project, ".", "t", 0);
    EXPECT_NEAR(records.stations[0].Coord1, Degrees(52, 0, 43), 1e-15);
    EXPECT_NEAR(records.stations[0].Coord2, Degrees(5, 1, 15.6), 1e-15);
    EXPECT_NEAR(records.stations[1].Coord1, Degrees(52, 1, 0), 1e-15);
    EXPECT_NEAR(records.stations[1].Coord2, Degrees(5, 1, 15), 1e-15);
    EXPECT_NEAR(records.observations[1].K4.Reading, Degrees(123, 45, 12), 1e-15);
    // A standard deviation of 0.00015 is 1.5 seconds.
    EXPECT_NEAR(records.observations[1].K4.Precision[0], Degrees(0, 0, 1.5), 1e-18);
}

} // namespace
