#include "output/output_names.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

std::wstring Report(RunKind run, const wchar_t* path) {
    return ReportPath(run, path).wstr();
}
std::wstring Document(RunKind run, const wchar_t* path) {
    return DocumentPath(run, path).wstr();
}

TEST(OutputNames, EachRunNamesItsStylesheet) {
    EXPECT_STREQ(StylesheetName(RunKind::Adjustment), "TAVEXV33.xsl");
    EXPECT_STREQ(StylesheetName(RunKind::PreRun), "VELNIKV33.xsl");
    EXPECT_STREQ(StylesheetName(RunKind::ApproximateCoordinates), "DORAMV33.xsl");
    EXPECT_STREQ(StylesheetName(RunKind::Loops), "RINDELV33.xsl");
    EXPECT_EQ(StylesheetName(static_cast<RunKind>(9)), nullptr);
}

TEST(OutputNames, AdjustmentKeepsTheOutputPathOtherRunsChangeTheExtension) {
    const wchar_t* out = L"/data/net/ring.out";
    EXPECT_EQ(Report(RunKind::Adjustment, out), out);
    EXPECT_EQ(Document(RunKind::Adjustment, out), out);
    EXPECT_EQ(Report(RunKind::PreRun, out), L"/data/net/ring.vnk");
    EXPECT_EQ(Report(RunKind::ApproximateCoordinates, out), L"/data/net/ring.drm");
    EXPECT_EQ(Report(RunKind::Loops, out), L"/data/net/ring.rnd");
    EXPECT_EQ(Document(RunKind::PreRun, out), L"/data/net/ring.vnk.xml");
    EXPECT_EQ(Document(RunKind::ApproximateCoordinates, out), L"/data/net/ring.drm.xml");
    EXPECT_EQ(Document(RunKind::Loops, out), L"/data/net/ring.rnd.xml");
    EXPECT_EQ(TemporaryPath(out).wstr(), L"/data/net/ring.tmp");
    EXPECT_EQ(Report(static_cast<RunKind>(-1), out), L"");
    EXPECT_EQ(Document(static_cast<RunKind>(4), out), L"");
}

TEST(OutputNames, ExtensionIsWhatFollowsTheLastDotOfTheFileName) {
    EXPECT_EQ(Report(RunKind::PreRun, L"ring"), L"ring.vnk");                   // none: appended
    EXPECT_EQ(Report(RunKind::PreRun, L"/a.b/ring"), L"/a.b/ring.vnk");         // dot in directory
    EXPECT_EQ(Report(RunKind::PreRun, L"C:\\a.b\\ring"), L"C:\\a.b\\ring.vnk"); // either separator
    EXPECT_EQ(Report(RunKind::PreRun, L"a.b\\c/ring.x.out"), L"a.b\\c/ring.x.vnk");
    EXPECT_EQ(Report(RunKind::PreRun, L"ring."), L"ring.vnk");
    EXPECT_EQ(Report(RunKind::PreRun, L"dir/.out"), L"dir/.vnk");
    EXPECT_EQ(Report(RunKind::PreRun, L"dir/"), L"dir/.vnk");
    EXPECT_EQ(Report(RunKind::Loops, L"测量/网.结果"), L"测量/网.rnd");
    EXPECT_EQ(TemporaryPath(L"").wstr(), L".tmp");
}

} // namespace
} // namespace Tavex
