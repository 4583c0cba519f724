#include "geodesy/projection_factory.h"
#include "project/adjustment_mode.h"
#include "project/initialize.h"
#include "support/records.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

using TavexTest::FillDefaultSettings;
using TavexTest::SettingsRecord;

void ExpectDefaults(const ProjectState& p) {
    EXPECT_TRUE(p.NetworkName.IsEmpty());
    EXPECT_TRUE(p.OutputPath.IsEmpty());
    EXPECT_EQ(p.AdjDesign, 0);
    EXPECT_EQ(p.Phase, 1);
    EXPECT_EQ(p.AngleUnit, -1);
    EXPECT_EQ(p.LinearUnit.wstr(), L"m");
    EXPECT_EQ(p.LinearUnitLong.wstr(), L"meters");
    EXPECT_EQ(p.LinearFact, 1.0);
    EXPECT_EQ(p.IterMax, 3);
    EXPECT_EQ(p.Epsilon, 0.0001);
    EXPECT_EQ(p.DeltaSingular, 1e-06);
    EXPECT_EQ(p.Dimension, 3);
    EXPECT_EQ(p.VarIterMax, 5);
    EXPECT_EQ(p.VarEpsilon, 0.01);
    EXPECT_EQ(p.TerCoord + p.GPSCoord + p.TerObserv + p.GPSObserv, 4);
    EXPECT_EQ(p.Sigma0, 1.0);
    EXPECT_EQ(p.Alfa0, 0.001);
    EXPECT_EQ(p.Beta, 0.80);
    EXPECT_EQ(p.ConfidenceLevel1D, 0.683);
    EXPECT_EQ(p.ConfidenceLevel2D, 0.394);
    EXPECT_EQ(p.CurrentProjection, nullptr);
    EXPECT_EQ(p.ProjectionType, -1);
    EXPECT_EQ(p.EllipsoidCode, -1);
    for (int g = 0; g < kGroupCount; ++g) {
        EXPECT_EQ(p.ScaleFactor[g], 1.0);
        EXPECT_EQ(p.RefractionCoef[g], 0.13);
        EXPECT_EQ(p.AzimuthOffset[g], 0.0);
        EXPECT_EQ(p.ScaleFactorFree[g], 1);
    }
    for (int slot = 0; slot < kReportSwitchCount; ++slot)
        EXPECT_EQ(p.ReportSwitch[slot], slot == 5 ? 0 : 1) << slot;
    EXPECT_EQ(p.CallerMode, 1);
    EXPECT_EQ(p.MeanEarthRadius, 6371000.0);
    EXPECT_EQ(p.SettingsRecord, nullptr);
    EXPECT_EQ(p.StationCount, 0u);
    EXPECT_EQ(p.Observations.GetSize(), 1); // the empty slot 0
    EXPECT_EQ(p.Messages.Count(), 0);
}

TEST(ProjectState, ResetRestoresDefaultsAndIsHarmlessWhenRepeated) {
    ProjectState p;
    ResetProject(p);
    ExpectDefaults(p);

    SettingsRecord s;
    FillDefaultSettings(*s);
    s->Phase = 3;
    s->GPSTransfPar[4] = 12.5;
    InitializeProject(p, *s);
    p.Messages.AddMessage(1, MSG_WARNING, REF_NONE, L"x");
    ResetProject(p);
    ResetProject(p);
    ExpectDefaults(p);
    EXPECT_EQ(p.GPSTransfPar[4], 12.5) << "the GPS transformation parameters are not reset";
}

TEST(Initialize, BuildsPathsAndCopiesSettings) {
    ProjectState p;
    SettingsRecord s;
    FillDefaultSettings(*s);
    TavexTest::PutText(s->NetworkName, 0, "测试网");
    TavexTest::PutText(s->ProjectDir, 0, "/data/net");
    TavexTest::PutText(s->OutputFile, 0, "net.out");
    TavexTest::PutText(s->MessageFile, 0, "net.msg");
    TavexTest::PutText(s->VarianceFile, 0, "net.var");
    s->Phase = 2;
    s->AdjDesign = 1;
    std::memcpy(s->LinearUnit, "usft", 4); // four characters, no terminator
    s->Epsilon = 0.002;
    InitializeProject(p, *s);

    EXPECT_EQ(p.SettingsRecord, &*s);
    EXPECT_EQ(p.CallerMode, 3);
    EXPECT_EQ(p.NetworkName.wstr(), L"测试网");
    EXPECT_EQ(p.OutputPath.wstr(), L"/data/net/net.out");
    EXPECT_EQ(p.MessagePath.wstr(), L"/data/net/net.msg");
    EXPECT_EQ(p.VariancePath.wstr(), L"/data/net/net.var");
    EXPECT_EQ(p.Phase, 4) << "the host's 2 is the constrained type 4";
    EXPECT_EQ(p.AdjDesign, 1);
    EXPECT_EQ(p.LinearUnit.wstr(), L"usft");
    EXPECT_EQ(p.Epsilon, 0.002);
    EXPECT_EQ(p.ProjectionType, PROJECTION_NONE);
    EXPECT_EQ(p.EllipsoidCode, ELLIPSOID_GRS80);
    ASSERT_NE(p.CurrentProjection, nullptr);
}

TEST(Initialize, ProjectDirectoryGetsOneSeparator) {
    EXPECT_EQ(ProjectDirectory(L"C:\\net\\").wstr(), L"C:\\net\\");
    EXPECT_EQ(ProjectDirectory(L"/data/net/").wstr(), L"/data/net/");
    EXPECT_EQ(ProjectDirectory(L"/data/net").wstr(), L"/data/net/");
    EXPECT_EQ(ProjectDirectory(L"").wstr(), L"") << "an empty directory is the working directory";
}

TEST(Initialize, LocalStereographicClearsTheProjectionSection) {
    ProjectState p;
    SettingsRecord s;
    FillDefaultSettings(*s);
    s->Projection = PROJECTION_LOCAL_STEREOGRAPHIC;
    InitializeProject(p, *s);
    EXPECT_EQ(p.ReportSwitch[0], 0);
    EXPECT_EQ(p.ReportSwitch[1], 1);
    s->Projection = PROJECTION_NONE;
    InitializeProject(p, *s);
    EXPECT_EQ(p.ReportSwitch[0], 1);
}

TEST(Initialize, UnknownProjectionLeavesNoProjection) {
    ProjectState p;
    SettingsRecord s;
    FillDefaultSettings(*s);
    s->Projection = 99;
    InitializeProject(p, *s);
    EXPECT_EQ(p.CurrentProjection, nullptr);
    EXPECT_EQ(p.ProjectionType, 99);
    EXPECT_EQ(p.EllipsoidCode, -1);
}

// One row of the adjustment-mode table with its expected outcome.
struct ModeCase {
    int projection;
    int ellipsoid;
    int tc, gc, to, go;
    int gpsCoordType;
    int dimension;
    int mode;
    int frame;
    bool replaced;
};

class AdjustmentModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(AdjustmentModeTable, GivesModeFrameAndReplacement) {
    const ModeCase c = GetParam();
    ProjectState p;
    const CEllipsoid ellipsoid(c.ellipsoid);
    p.CurrentProjection = pGetNewProjection(c.projection, 0, 0, 0, 0, 1.0, 0, 0, &ellipsoid);
    p.ProjectionType = c.projection;
    p.EllipsoidCode = c.ellipsoid;
    p.TerCoord = c.tc;
    p.GPSCoord = c.gc;
    p.TerObserv = c.to;
    p.GPSObserv = c.go;
    p.GPSCoordType = c.gpsCoordType;
    p.Dimension = c.dimension;
    p.CoordFrame = 77;
    const int found = DetermineAdjMode(p, true);
    EXPECT_EQ(found, c.mode != 0 ? 1 : 0);
    EXPECT_EQ(p.AdjMode, c.mode);
    EXPECT_EQ(p.CoordFrame, c.frame);
    if (c.replaced) {
        EXPECT_EQ(p.ProjectionType, 0);
        EXPECT_EQ(p.EllipsoidCode, ELLIPSOID_FRAME_REPLACED);
        ASSERT_NE(p.CurrentProjection, nullptr);
        EXPECT_EQ(p.CurrentProjection->nGetEllipsoid(), ELLIPSOID_FRAME_REPLACED);
    } else {
        EXPECT_EQ(p.ProjectionType, c.projection);
        EXPECT_EQ(p.EllipsoidCode, c.ellipsoid);
    }
}

constexpr int kNone = PROJECTION_NONE;
constexpr int kMap = PROJECTION_LOCAL_STEREOGRAPHIC;
constexpr int kGrs = ELLIPSOID_GRS80;
constexpr int kFrame20 = ELLIPSOID_FRAME_GEOGRAPHIC;
constexpr int kFrame21 = ELLIPSOID_FRAME_REPLACED;

INSTANTIATE_TEST_SUITE_P(
    EveryRow, AdjustmentModeTable,
    ::testing::Values(
        ModeCase{kNone, kGrs, 1, 0, 1, 0, 0, 3, 1, 0, false},
        ModeCase{kNone, kGrs, 1, 1, 1, 1, 0, 3, 4, 0, false},
        ModeCase{kNone, kGrs, 1, 1, 0, 1, 0, 3, 7, 0, false},
        ModeCase{kMap, kGrs, 1, 0, 1, 0, 0, 3, 2, 2, false},
        ModeCase{kMap, kFrame20, 1, 0, 1, 0, 0, 3, 2, 2, false}, // a map projection decides alone
        ModeCase{kMap, kGrs, 1, 1, 1, 1, 0, 3, 5, 2, false},
        ModeCase{kMap, kGrs, 1, 1, 0, 1, 0, 3, 8, 2, false},
        ModeCase{kNone, kFrame20, 1, 1, 1, 0, 1, 3, 3, 1, false},
        ModeCase{kNone, kFrame21, 1, 1, 1, 1, 1, 3, 6, 1, false},
        ModeCase{kNone, kFrame20, 1, 1, 1, 1, 1, 2, 6, 0, false}, // GPS frame 1 in 2D gives 0
        ModeCase{kNone, kFrame21, 0, 1, 0, 1, 2, 3, 9, 2, false},
        ModeCase{kNone, kGrs, 0, 1, 0, 1, 1, 3, 9, 1, true},
        ModeCase{kMap, kGrs, 0, 1, 0, 1, 1, 3, 9, 1, true},
        ModeCase{kMap, kGrs, 0, 1, 0, 1, 1, 2, 9, 0, true},
        ModeCase{kMap, kGrs, 0, 1, 0, 1, 2, 3, 0, 77, false}, // kind 2 GPS coordinates: no mode
        ModeCase{kNone, kGrs, 0, 0, 0, 0, 0, 3, 0, 77, false},
        ModeCase{kNone, kFrame20, 1, 0, 1, 0, 0, 3, 0, 77, false},
        ModeCase{kMap, kGrs, 1, 1, 1, 0, 0, 3, 0, 77, false}));

TEST(AdjustmentMode, WithoutReplacementOnlyTheFrameIsSet) {
    ProjectState p;
    const CEllipsoid ellipsoid(kGrs);
    p.CurrentProjection = pGetNewProjection(kMap, 0, 0, 0, 0, 1.0, 0, 0, &ellipsoid);
    p.ProjectionType = kMap;
    p.EllipsoidCode = kGrs;
    p.TerCoord = p.TerObserv = 0;
    p.GPSCoordType = 1;
    EXPECT_EQ(DetermineAdjMode(p, false), 1);
    EXPECT_EQ(p.AdjMode, 9);
    EXPECT_EQ(p.CoordFrame, 1);
    EXPECT_EQ(p.ProjectionType, kMap);
    EXPECT_EQ(p.CurrentProjection->nGetProjection(), kMap);
}

} // namespace
} // namespace Tavex
