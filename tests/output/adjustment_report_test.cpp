// The text report of an adjustment: which sections its switches write and in
// which order, and selected lines against values computed here from the
// network's truth and from the settings.
#include "output/report_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

namespace TavexTest {
namespace {

constexpr double kPi = std::numbers::pi;

// Where a section's heading (its label followed by the underline) stands
// in the report, or npos.
std::size_t HeadingAt(const std::string& report, const std::string& heading) {
    return report.find("\r\n" + heading + "\r\n=");
}

// The lines of the section under heading (heading and underline left out),
// up to the blank line before the next heading or the end-of-file line.
std::string Section(const std::string& report, const std::string& heading) {
    const std::vector<std::string> lines = LinesOf(report);
    const auto underlined = [&](std::size_t k) {
        return k + 1 < lines.size() && !lines[k + 1].empty() && lines[k + 1][0] == '=';
    };
    std::size_t k = 0;
    while (k < lines.size() && !(lines[k] == heading && underlined(k)))
        ++k;
    std::string text;
    for (k += 2; k < lines.size(); ++k) {
        if (lines[k].empty() && k + 1 < lines.size() &&
            (underlined(k + 1) || lines[k + 1] == "[文件结束]"))
            break;
        text += lines[k] + "\r\n";
    }
    return text;
}

// The first line of text that starts with prefix.
std::string LineStarting(const std::string& text, const std::string& prefix) {
    for (const std::string& line : LinesOf(text))
        if (line.rfind(prefix, 0) == 0)
            return line;
    return std::string();
}

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> numbers;
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        const double value = std::strtod(word.c_str(), &end);
        if (end != word.c_str() && *end == '\0')
            numbers.push_back(value);
    }
    return numbers;
}

// The headings each switch governs (string-table texts), slots 0 to 13.
struct Switched {
    int slot;
    std::vector<std::string> headings;
};
const Switched kSwitched[] = {
    {0, {"投影和椭球常数"}},
    {1, {"输入近似地面坐标"}},
    {2, {"输入附加参数"}},
    {3, {"输入观测值", "输入观测值的标准差"}},
    {4, {"坐标 (带权约束网)"}},
    {5, {"外部可靠性"}},
    {6, {"绝对标准椭圆和标准圆"}},
    {7, {"相对标准椭圆和标准圆"}},
    {9, {"拒绝 W-检验的坐标估计误差", "拒绝T-检验的测站估计误差"}},
    {10, {"附加参数的平差"}},
    {11, {"观测值平差"}},
    {13, {"拒绝 W-检验的观测值估计误差"}},
};
const char* const kAlways[] = {"检验", "检验总结", "已知坐标检验", "观测值检验"};

class AdjustmentReport : public OutputNetwork {
protected:
    // A weighted-constraint network, so that the known coordinates are
    // tested too, with external reliability.
    void SetUp() override {
        OutputNetwork::SetUp();
        net_.Settings().Phase = 3;
        net_.Settings().ReportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = 1;
        Build();
    }
    std::string Report(int slotOff = -1) {
        for (int slot = 0; slot < 14; ++slot)
            net_.Settings().ReportSwitch[slot] = slot == slotOff ? 0 : 1;
        return AdjustAndRead();
    }
};

TEST_F(AdjustmentReport, EverySectionStandsUnderItsSwitchInTableOrder) {
    const std::string full = Report();
    ASSERT_EQ(full.rfind("TAVEX 3.3.0  平差\r\n", 0), 0u) << "header with the version";
    EXPECT_NE(full.find("/net.out"), std::string::npos) << "the output path";
    const std::string end = "\r\n[文件结束]\r\n";
    EXPECT_EQ(full.substr(full.size() - end.size()), end);
    std::size_t previous = 0;
    for (const Switched& s : kSwitched)
        for (const std::string& heading : s.headings) {
            const std::size_t at = HeadingAt(full, heading);
            ASSERT_NE(at, std::string::npos) << heading;
            EXPECT_GT(at, previous) << heading << " out of order";
            previous = at;
        }
    for (const char* heading : kAlways)
        EXPECT_NE(HeadingAt(full, heading), std::string::npos) << heading;
    for (const Switched& s : kSwitched) {
        SCOPED_TRACE(s.slot);
        const std::string without = Report(s.slot);
        for (const std::string& heading : s.headings)
            EXPECT_EQ(HeadingAt(without, heading), std::string::npos) << heading;
        for (const char* heading : kAlways)
            EXPECT_NE(HeadingAt(without, heading), std::string::npos) << heading;
        EXPECT_NE(without.find("[文件结束]"), std::string::npos);
    }
}

TEST_F(AdjustmentReport, ColumnSwitchesAddTheReliabilityColumns) {
    // Slot 8 for the test of known coordinates, slot 12 for the observations.
    for (const auto& [slot, heading] :
         {std::pair{8, "已知坐标检验"}, std::pair{12, "观测值检验"}}) {
        SCOPED_TRACE(slot);
        const std::string with = Section(Report(), heading);
        const std::string without = Section(Report(slot), heading);
        EXPECT_NE(with.find("W-检验"), std::string::npos);
        EXPECT_NE(without.find("W-检验"), std::string::npos);
        for (const char* column : {"MDB", "Red", "信噪比"}) {
            EXPECT_NE(with.find(column), std::string::npos) << column;
            EXPECT_EQ(without.find(column), std::string::npos) << column;
        }
    }
}

TEST_F(AdjustmentReport, TestParametersAndTheFTestLine) {
    const std::string report = Report();
    // "%-*s%*.*f": the label in 40 display columns (a Chinese character
    // takes two), then the value.
    EXPECT_NE(report.find("\r\nAlfa 0 (一维)" + std::string(40 - 13, ' ') + "    0.0010\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("\r\nBeta" + std::string(36, ' ') + "    0.80\r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\nW-检验临界值" + std::string(40 - 12, ' ') + "    3.29\r\n"),
              std::string::npos);
    Tavex::_STATISTICS statistics{};
    const std::string line = LineStarting(AdjustAndRead(&statistics), "F-检验 ");
    char expected[64];
    std::snprintf(expected, sizeof expected, "%9.3f  %s", +statistics.FTest,
                  statistics.FTest <= statistics.CriticalF ? "接受" : "拒绝");
    EXPECT_EQ(line, "F-检验" + std::string(40 - 6, ' ') + expected);
}

TEST_F(AdjustmentReport, APosterioriScalingIsAnnounced) {
    EXPECT_EQ(Report().find("基于后验方差因子的结果"), std::string::npos);
    net_.Settings().APosVarFac = 2;
    EXPECT_NE(Report().find("\r\n基于后验方差因子的结果\r\n"), std::string::npos);
}

TEST_F(AdjustmentReport, AnglesInGonDegreesAndDegreesMinutesSeconds) {
    // The first reading of the first record: a direction from A to B.
    double direction;
    std::memcpy(&direction, net_.ObservationRecords()[1].K100.Reading, sizeof direction);
    const double degrees = direction * 180.0 / kPi;
    char gon[32], deg[32], dms[32];
    std::snprintf(gon, sizeof gon, "%.5f gon", degrees / 0.9);
    std::snprintf(deg, sizeof deg, "%.6f deg", degrees);
    const int d = static_cast<int>(degrees);
    const int m = static_cast<int>((degrees - d) * 60.0);
    const double s = (degrees - d - m / 60.0) * 3600.0;
    ASSERT_LT(s, 59.99) << "no carry in this check";
    std::snprintf(dms, sizeof dms, "%d %02d %05.2f dms", d, m, s);
    const std::pair<int, const char*> cases[] = {{0, gon}, {1, deg}, {2, dms}};
    for (const auto& [unit, image] : cases) {
        net_.Settings().AngleUnit = unit;
        const std::string line = LineStarting(Section(Report(), "输入观测值"), "     1 A");
        EXPECT_NE(line.find(image), std::string::npos) << line << " | " << image;
    }
}

TEST_F(AdjustmentReport, ARejectedObservationCarriesTheMark) {
    // A blunder of 5 cm in the distance C - D (record 5).
    double distance[3];
    std::memcpy(distance, net_.ObservationRecords()[5].K100.Reading, sizeof distance);
    distance[1] += 0.05;
    std::memcpy(net_.ObservationRecords()[5].K100.Reading, distance, sizeof distance);
    const std::string report = Report();
    const std::string tests = Section(report, "观测值检验");
    const std::string blunder = LineStarting(tests, "C        D        S0");
    EXPECT_NE(blunder.find("**"), std::string::npos) << blunder;
    EXPECT_EQ(LineStarting(tests, "A        B        S0").find("**"), std::string::npos);
    // The list of estimated errors starts with it; its estimated error is
    // the blunder.
    const std::string errors = Section(report, "拒绝 W-检验的观测值估计误差");
    const std::string first = LinesOf(errors).at(1);
    ASSERT_EQ(first.rfind("C        D        S0", 0), 0u) << errors;
    EXPECT_NE(first.find("**"), std::string::npos);
    const std::vector<double> values = Numbers(first);
    ASSERT_EQ(values.size(), 2u) << first; // the W-test carries its mark
    EXPECT_NEAR(values[0], 0.05, 0.01) << "estimated error";
    EXPECT_GT(values[1], 1.0) << "factor";
    EXPECT_NE(Section(report, "检验总结").find("C        D        S0"), std::string::npos);
}

TEST_F(AdjustmentReport, ConfidenceLevelsScaleTheEllipses) {
    // Millimetres give the axes five significant digits.
    std::memcpy(net_.Settings().LinearUnit, "mm", 2);
    net_.Settings().LinearFact = 1000.0;
    const std::string standard = Section(Report(), "绝对标准椭圆和标准圆");
    net_.Settings().ConfidenceLevel2D = 0.95;
    const std::string report = Report();
    EXPECT_EQ(HeadingAt(report, "绝对标准椭圆和标准圆"), std::string::npos);
    const std::string confidence = Section(report, "绝对置信区间(误差椭圆)");
    EXPECT_NE(confidence.find("2D - 95.0 %"), std::string::npos);
    const std::vector<double> a = Numbers(LineStarting(standard, "D "));
    const std::vector<double> b = Numbers(LineStarting(confidence, "D "));
    ASSERT_GE(a.size(), 2u);
    ASSERT_GE(b.size(), 2u);
    // The 95 % ellipse of two dimensions is √(−2 ln 0.05) times the standard
    // ellipse.
    const double k = std::sqrt(-2.0 * std::log(0.05));
    EXPECT_NEAR(b[0] / a[0], k, 2e-3 * k);
    EXPECT_NEAR(b[1] / a[1], k, 2e-3 * k);
}

TEST_F(AdjustmentReport, ANumberTooLargeForItsColumnKeepsTheTableAligned) {
    net_.Settings().LinearFact = 1e12;
    const std::string coordinates = Section(Report(), "坐标 (带权约束网)");
    const std::vector<std::string> lines = LinesOf(coordinates);
    ASSERT_GE(lines.size(), 8u);
    const std::size_t width = lines[2].size();
    for (std::size_t k = 2; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].size(), width) << lines[k];
        EXPECT_NE(lines[k].find("e+"), std::string::npos) << lines[k];
    }
}

TEST_F(OutputNetwork, GridCoordinatesInTheLinearUnit) {
    net_.Settings().LinearFact = 3.2808;
    std::memcpy(net_.Settings().LinearUnit, "ft", 2);
    net_.AddGridStation("A", 10000.0, 20000.0, 5.0);
    net_.AddGridStation("B", 11500.0, 21000.0, 6.0);
    net_.AddGridStation("C", 10200.0, 22300.0, 7.0);
    net_.AddGridStation("D", 8700.0, 21200.0, 4.0);
    net_.MakeKnown(1, 12);
    net_.MakeKnown(2, 12);
    net_.FixGrid();
    const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
    for (const auto& line : lines) {
        net_.TotalStation(line[0], line[1], 0, true, true, false, 0, 0);
        net_.TotalStation(line[1], line[0], 0, true, false, false, 0, 0);
    }
    net_.Perturb(0.4, 2);
    const std::string coordinates = Section(AdjustAndRead(), "坐标 (最小约束网)");
    EXPECT_NE(coordinates.find("[ft]"), std::string::npos);
    // The noise-free network comes back to its true grid position.
    const std::vector<double> c = Numbers(LineStarting(coordinates, "C "));
    ASSERT_GE(c.size(), 2u);
    EXPECT_NEAR(c[0], 10200.0 * 3.2808, 1e-3);
    EXPECT_NEAR(c[1], 22300.0 * 3.2808, 1e-3);
}

TEST_F(OutputNetwork, DesignReportsPrecisionAndReliabilityOnly) {
    net_.Settings().AdjDesign = 1;
    Build(0.0);
    const std::string report = AdjustAndRead();
    ASSERT_EQ(report.rfind("TAVEX 3.3.0  设计\r\n", 0), 0u);
    EXPECT_NE(HeadingAt(report, "坐标 (最小约束网设计)"), std::string::npos);
    EXPECT_EQ(HeadingAt(report, "检验总结"), std::string::npos);
    EXPECT_NE(report.find("\r\nF-检验\r\n"), std::string::npos) << "the label only";
    const std::string adjustment = Section(report, "观测值平差");
    EXPECT_EQ(adjustment.find("残差"), std::string::npos) << "no residuals";
    EXPECT_NE(adjustment.find("平差值标准差"), std::string::npos);
    const std::string tests = Section(report, "观测值检验");
    EXPECT_EQ(tests.find("W-检验"), std::string::npos);
    EXPECT_NE(tests.find("MDB"), std::string::npos);
    EXPECT_EQ(tests.find("**"), std::string::npos);
}

TEST_F(OutputNetwork, AReportThatCannotBeWrittenFailsTheRun) {
    Build();
    const std::string missing = dir_ + "/missing/";
    std::memcpy(net_.Settings().ProjectDir, missing.c_str(), missing.size());
    Restore();
    EXPECT_EQ(net_.Adjust(), 0);
    const std::vector<int> codes = net_.MessageCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), 732), codes.end());
    EXPECT_NE(net_.MessageText(732).find("/missing/net.out"), std::string::npos);
}

} // namespace
} // namespace TavexTest

namespace TavexTest {
namespace {

// Observed local coordinates and their transformation parameters reach the
// report and the document like every other observation and parameter.
TEST_F(OutputNetwork, LocalCoordinatesAndTheirParametersAreReported) {
    Build();
    SyntheticNetwork::LocalSystem site;
    site.shiftEast = 500.0;
    site.rotation = 0.3;
    for (const unsigned s : {2u, 4u, 5u})
        net_.LocalCoordinates(s, 1, site, true, false);
    const std::string report = AdjustAndRead();
    const std::string parameters = Section(report, "附加参数的平差");
    EXPECT_NE(parameters.find("附加转换参数"), std::string::npos) << parameters;
    EXPECT_NE(parameters.find(" gon"), std::string::npos) << "the rotation is an angle";
    const std::string observations = Section(report, "观测值平差");
    EXPECT_NE(observations.find("E "), std::string::npos);
    EXPECT_NE(observations.find("N "), std::string::npos);
    net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
    const std::string document = AdjustAndRead();
    EXPECT_NE(document.find("additionalParameter"), std::string::npos);
}

} // namespace
} // namespace TavexTest

namespace TavexTest {
namespace {

// A side shot stands under the free-station title of the datum, with its
// reading marked as untestable, in the report and in the document.
TEST_F(OutputNetwork, SideShotsHaveTheirOwnSections) {
    Build();
    net_.AddStation("P", 52.017, 5.006, 25.0);
    net_.TotalStation(3, 7, 0, true, true, false, 0.0, 0.0);
    const std::string report = AdjustAndRead();
    const std::string free = Section(report, "自由测站坐标 (最小约束网)");
    EXPECT_NE(free.find("\r\nP "), std::string::npos) << free;
    EXPECT_NE(free.find("自由方向/距离"), std::string::npos);
    EXPECT_NE(free.find("自由观测值无多余观测，不能检验"), std::string::npos);
    EXPECT_NE(HeadingAt(report, "自由测站的绝对标准椭圆"), std::string::npos);
    // The side shot is not among the network's observations.
    EXPECT_EQ(Section(report, "观测值平差").find("C        P"), std::string::npos);
    net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
    const std::string document = AdjustAndRead();
    EXPECT_NE(document.find("<FreeStation name=\"P\""), std::string::npos) << document;
}

} // namespace
} // namespace TavexTest
