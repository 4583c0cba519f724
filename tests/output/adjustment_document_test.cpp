// The XML result document of an adjustment, read back with libxml2's
// parser: the order of its sections, the parts its switches select, and
// values against the records the same adjustment wrote for the host.
#include "output/report_fixture.h"
#include "support/xml_reading.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <memory>

namespace TavexTest {
namespace {

class AdjustmentDocument : public OutputNetwork {
protected:
    void SetUp() override {
        OutputNetwork::SetUp();
        net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
        net_.Settings().AngleUnit = 2;
        Build();
    }
    // The project element of the written document.
    const xmlNode* Project(Tavex::_STATISTICS* statistics = nullptr) {
        document_ = Parse(AdjustAndRead(statistics));
        EXPECT_NE(document_, nullptr);
        const xmlNode* root = xmlDocGetRootElement(document_.get());
        EXPECT_EQ(Attribute(root, "angleUnitCode"), "2");
        const std::vector<const xmlNode*> projects = Children(root, "Project");
        return projects.size() == 1 ? projects[0] : nullptr;
    }
    ParsedDocument document_{nullptr, xmlFreeDoc};
};

TEST_F(AdjustmentDocument, SectionsStandInTheirOrder) {
    const xmlNode* project = Project();
    ASSERT_NE(project, nullptr);
    std::vector<std::string> order;
    for (const xmlNode* c : Children(project))
        order.push_back(Name(c) + (Name(c) == "Table" ? ":" + Attribute(c, "name") : ""));
    const std::vector<std::string> expected = {"Summary",
                                               "Table:testStatistics",
                                               "Stations",
                                               "Table:precision",
                                               "Ellipses",
                                               "Observations",
                                               "Table:observations",
                                               "AdditionalParameters",
                                               "Table:additionalParameters"};
    EXPECT_EQ(order, expected);
    std::vector<std::string> summary;
    for (const xmlNode* c : Children(Children(project, "Summary").at(0)))
        summary.push_back(Name(c) + (Name(c) == "SummaryList" ? ":" + Attribute(c, "name") : ""));
    const std::vector<std::string> expectedSummary = {
        "SummaryHeader",          "SummaryList:counts", "SummaryList:testParameters",
        "SummaryList:projection", "TestSummary",        "VarianceComponents"};
    EXPECT_EQ(summary, expectedSummary);
}

TEST_F(AdjustmentDocument, ValuesAreThoseHandedBackToTheHost) {
    Tavex::_STATISTICS statistics{};
    const xmlNode* project = Project(&statistics);
    ASSERT_NE(project, nullptr);
    EXPECT_DOUBLE_EQ(Number(project, "varianceFactor"), +statistics.FTest);
    EXPECT_EQ(Attribute(project, "redundancy"), std::to_string(+statistics.DegreesOfFreedom));
    // Station B: adjusted latitude and longitude (radians) and its ellipse.
    const Tavex::_STATIONADJ& b = net_.StationRecords()[1];
    const xmlNode* station = Find(Children(project, "Stations").at(0), "Station", "name", "B");
    ASSERT_NE(station, nullptr);
    const xmlNode* adjusted = Find(station, "Coordinate", "kind", "adjusted");
    ASSERT_NE(adjusted, nullptr);
    EXPECT_DOUBLE_EQ(Number(adjusted, "latitude"), +b.Coord1);
    EXPECT_DOUBLE_EQ(Number(adjusted, "longitude"), +b.Coord2);
    const xmlNode* ellipse = Find(Children(project, "Ellipses").at(0), "Ellipse", "station", "B");
    ASSERT_NE(ellipse, nullptr);
    EXPECT_DOUBLE_EQ(Number(ellipse, "a"), +b.Ellipse[0]);
    EXPECT_DOUBLE_EQ(Number(ellipse, "b"), +b.Ellipse[1]);
    EXPECT_DOUBLE_EQ(Number(ellipse, "phi"), +b.Ellipse[2]);
    // The distance of record 1: residual and W-test in metres.
    const Tavex::_OBSERVATION& record = net_.ObservationRecords()[1];
    const xmlNode* observation =
        Find(Children(project, "Observations").at(0), "Observation", "record", "1");
    ASSERT_NE(observation, nullptr);
    const xmlNode* distance = Find(observation, "ObservationRecord", "code", "S0");
    ASSERT_NE(distance, nullptr);
    EXPECT_EQ(Attribute(distance, "unit"), "m");
    EXPECT_DOUBLE_EQ(Number(distance, "residual"), +record.Terrestrial.Residual[1]);
    EXPECT_NEAR(Number(distance, "w"), +record.Terrestrial.W[1], 1e-6);
    EXPECT_DOUBLE_EQ(Number(distance, "mdb"), +record.Terrestrial.Mdb[1]);
    const xmlNode* direction = Find(observation, "ObservationRecord", "code", "R0");
    ASSERT_NE(direction, nullptr);
    EXPECT_EQ(Attribute(direction, "unit"), "rad") << "SI units whatever the angle unit";
    double reading[3];
    std::memcpy(reading, record.K100.Reading, sizeof reading);
    EXPECT_DOUBLE_EQ(Number(direction, "observed"), reading[0]);
}

TEST_F(AdjustmentDocument, SwitchesSelectTheParts) {
    for (const int slot : {1, 3, 4, 6, 7, 10, 11, 12})
        net_.Settings().ReportSwitch[slot] = 0;
    const xmlNode* project = Project();
    ASSERT_NE(project, nullptr);
    const xmlNode* station = Children(Children(project, "Stations").at(0), "Station").at(0);
    EXPECT_TRUE(Children(station, "Coordinate").empty());
    EXPECT_TRUE(Children(Children(project, "Ellipses").at(0)).empty());
    EXPECT_TRUE(Children(project, "AdditionalParameters").empty());
    const xmlNode* observation = Children(Children(project, "Observations").at(0)).at(0);
    const xmlNode* row = Children(observation, "ObservationRecord").at(0);
    for (const char* part : {"observed", "adjusted", "residual", "sdAdjusted", "w", "mdb"})
        EXPECT_EQ(Attribute(row, part), "<absent>") << part;
    EXPECT_NE(Attribute(row, "code"), "<absent>");
}

TEST_F(OutputNetwork, DesignDocumentHasNoResidualsNorTests) {
    net_.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
    net_.Settings().AdjDesign = 1;
    Build(0.0);
    const ParsedDocument document = Parse(AdjustAndRead());
    ASSERT_NE(document, nullptr);
    const xmlNode* project = Children(xmlDocGetRootElement(document.get()), "Project").at(0);
    const xmlNode* summary = Children(project, "Summary").at(0);
    EXPECT_EQ(Attribute(summary, "design"), "1");
    EXPECT_EQ(Attribute(summary, "title"), "坐标 (最小约束网设计)");
    EXPECT_EQ(Attribute(Children(summary, "TestSummary").at(0), "fTest"), "-1");
    const xmlNode* row =
        Children(Children(Children(project, "Observations").at(0)).at(0), "ObservationRecord")
            .at(0);
    EXPECT_EQ(Attribute(row, "residual"), "<absent>");
    EXPECT_EQ(Attribute(row, "w"), "<absent>");
    EXPECT_GT(Number(row, "sdAdjusted"), 0.0);
    EXPECT_GT(Number(row, "mdb"), 0.0);
}

} // namespace
} // namespace TavexTest
