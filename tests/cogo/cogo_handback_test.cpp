// What an approximate-coordinate run hands back, through the exported
// interface: known stations by their presence bits, no output files with
// output form 0, grid records of the local stereographic projection, and
// heights of three-dimensional total-station networks.
#include "cogo_fixture.h"

#include <filesystem>

using namespace TavexTest;

namespace {

// Six stations in a ring, each observing its two neighbours with direction,
// distance and (when asked) zenith angle.
struct Ring {
    SyntheticNetwork net;
    unsigned s[6];
    explicit Ring(bool zenith, bool grid = false) {
        net.Settings().Dimension = zenith ? 3 : 2;
        const double lat[6] = {52.000, 52.004, 52.009, 52.011, 52.006, 52.001};
        const double lon[6] = {5.000, 4.994, 4.998, 5.007, 5.012, 5.009};
        const double e[6] = {1000.0, 620.0, 880.0, 1500.0, 1830.0, 1620.0};
        const double n[6] = {2000.0, 2440.0, 3000.0, 3220.0, 2670.0, 2110.0};
        const char* names[6] = {"A", "B", "C", "D", "E", "F"};
        for (int i = 0; i < 6; ++i)
            s[i] = grid ? net.AddGridStation(names[i], e[i], n[i], 20.0 + 3.0 * i)
                        : net.AddStation(names[i], lat[i], lon[i], 20.0 + 3.0 * i);
    }
    void Observe(bool zenith) {
        for (int i = 0; i < 6; ++i) {
            const unsigned here = s[i], next = s[(i + 1) % 6], back = s[(i + 5) % 6];
            net.TotalStation(here, back, 0, true, true, zenith);
            net.TotalStation(here, next, 0, true, true, zenith);
        }
    }
    Tavex::_STATIONADJ& Record(int i) { return net.StationRecords()[s[i] - 1]; }
};

std::size_t FilesIn(const std::string& dir) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

} // namespace

TEST(CogoHandBack, KnownStationsKeepWhatTheirPresenceBitsSayIsPresent) {
    Ring r(true);
    // A and D known in position and height, everything present.
    r.net.MakeKnown(r.s[0], 12, 0.01, 0.01);
    r.net.MakeKnown(r.s[3], 12, 0.01, 0.01);
    // B known in position, 0.3 m off (within the fit's tolerance, so the
    // fit moves it), its height not present.
    r.net.MakeKnown(r.s[1], 11, 0.01);
    r.net.Shift(r.s[1], 0.3, 0.0, 0.0);
    r.Record(1).Presence = 0x03;
    r.Record(1).Height = 0.0;
    // E known in height only (5 cm above the truth), its horizontal
    // position not present.
    r.net.MakeKnown(r.s[4], 10, 0.0, 0.01);
    r.net.Shift(r.s[4], 0.0, 0.0, 0.05);
    r.Record(4).Presence = 0x08;
    r.Record(4).Coord1 = r.Record(4).Coord2 = 0.0;
    r.Observe(true);
    ClearApproximate(r.net, true);
    const Tavex::_STATIONADJ givenB = r.Record(1), givenE = r.Record(4);
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    // B: the given position stays, the computed height is written.
    EXPECT_EQ(+r.Record(1).Coord1, +givenB.Coord1);
    EXPECT_EQ(+r.Record(1).Coord2, +givenB.Coord2);
    EXPECT_NEAR(r.Record(1).Height, r.net.Truth(r.s[1]).h, 0.05);
    // E: the computed position is written, the given height stays.
    EXPECT_LT(Horizontal(r.net, r.s[4]), 0.25);
    EXPECT_EQ(+r.Record(4).Height, +givenE.Height);
    // Known stations keep their status; the others are approximate now.
    // B's 0.3 m enter the fit, so the computed positions lie within a few
    // decimetres of the truth.
    for (int i : {0, 1, 3, 4})
        EXPECT_EQ(+r.Record(i).CoordStatus, 8);
    for (int i : {2, 5}) {
        EXPECT_EQ(+r.Record(i).CoordStatus, 1);
        EXPECT_EQ(+r.Record(i).CoordClass, 8);
        EXPECT_LT(Horizontal(r.net, r.s[i]), 0.25);
    }
}

TEST(CogoHandBack, OutputFormZeroWritesNoFileButHandsTheCoordinatesBack) {
    Ring r(false);
    r.net.MakeKnown(r.s[0], 12, 0.01, 0.01);
    r.net.MakeKnown(r.s[3], 12, 0.01, 0.01);
    r.Observe(false);
    ClearApproximate(r.net);
    const std::string dir = OwnTestDirectory();
    std::filesystem::remove_all(dir);
    WriteReportTo(r.net, 0); // the directory, made anew, and form 0
    std::memcpy(r.net.Settings().MessageFile, "net.msg", 7);
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    EXPECT_EQ(FilesIn(dir), 0u) << "no report, document or message file";
    for (unsigned s : r.s)
        EXPECT_LT(Horizontal(r.net, s), kMillimetres) << r.net.Truth(s).name;
    // The same project with form 1 does write into that directory.
    ClearApproximate(r.net);
    WriteReportTo(r.net, 1);
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    EXPECT_GT(FilesIn(dir), 0u);
}

TEST(CogoHandBack, GridStationsOfTheLocalStereographicProjection) {
    // Grid records (easting, northing) in the projection centred on the
    // known stations: the computed stations come back as grid pairs.
    Ring r(false, true);
    r.net.MakeKnown(r.s[0], 12, 0.01, 0.01);
    r.net.MakeKnown(r.s[3], 12, 0.01, 0.01);
    r.net.FixGrid();
    r.Observe(false);
    for (int i : {1, 2, 4, 5})
        r.Record(i).Coord1 = r.Record(i).Coord2 = 0.0;
    r.net.Settings().Phase = 3;
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    for (unsigned s : r.s)
        EXPECT_LT(r.net.GridError(s), kMillimetres) << r.net.Truth(s).name;
    EXPECT_EQ(+r.Record(0).Coord1, 1000.0) << "known grid stations stay";
    // An adjustment from them reaches the truth.
    ASSERT_EQ(r.net.Adjust(), 1) << r.net.AllMessages();
    for (unsigned s : r.s)
        EXPECT_LT(r.net.GridError(s), 1e-4) << r.net.Truth(s).name;
}

TEST(CogoHandBack, TrigonometricHeightsOfAThreeDimensionalTotalStationNetwork) {
    Ring r(true);
    r.net.MakeKnown(r.s[0], 12, 0.01, 0.01);
    r.net.MakeKnown(r.s[3], 12, 0.01, 0.01);
    r.Observe(true);
    ClearApproximate(r.net, true);
    r.net.Settings().Phase = 3;
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    for (unsigned s : r.s) {
        EXPECT_LT(Horizontal(r.net, s), kMillimetres) << r.net.Truth(s).name;
        EXPECT_LT(std::fabs(r.net.Error(s)[2]), kMillimetres) << r.net.Truth(s).name;
    }
    ASSERT_EQ(r.net.Adjust(), 1) << r.net.AllMessages();
    EXPECT_LT(r.net.LargestHorizontalError(), 1e-4);
    EXPECT_LT(r.net.LargestHeightError(), 1e-4);
}

TEST(CogoHandBack, ZenithAnglesReadInTheSecondFace) {
    // Every zenith angle read as 2π − z: the distances are still reduced
    // with it and the heights carried.
    Ring r(true);
    r.net.MakeKnown(r.s[0], 12, 0.01, 0.01);
    r.net.MakeKnown(r.s[3], 12, 0.01, 0.01);
    for (int i = 0; i < 6; ++i) {
        const unsigned here = r.s[i], next = r.s[(i + 1) % 6], back = r.s[(i + 5) % 6];
        r.net.TotalStation(here, back, 0, true, true, true);
        r.net.SecondFace();
        r.net.TotalStation(here, next, 0, true, true, true);
        r.net.SecondFace();
    }
    ClearApproximate(r.net, true);
    ASSERT_EQ(RunCogo(r.net), 1) << r.net.AllMessages();
    for (unsigned s : r.s) {
        EXPECT_LT(Horizontal(r.net, s), kMillimetres) << r.net.Truth(s).name;
        EXPECT_LT(std::fabs(r.net.Error(s)[2]), kMillimetres) << r.net.Truth(s).name;
    }
}
