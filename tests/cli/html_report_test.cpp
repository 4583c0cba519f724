// The HTML reports of `tavex ... --html` and `tavex render`: every bundled
// example through every command, the report well-formed with its sections,
// the plot with one symbol per station and one line per observed pair
// (counted here from the result document), the planted error drawn
// rejected, positions drawn north up and ellipses at their stated scale.
#include "cli_run.h"
#include "report_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>
#include <string>
#include <unistd.h>

namespace {

using namespace TavexCliTest;
namespace fs = std::filesystem;
using nlohmann::json;

struct Command {
    const char* name;
    const char* document; // the result document's extension
    const char* stylesheet;
    std::vector<const char*> sections; // ids the report must hold
};

const std::vector<Command> kCommands = {
    {"adjust", ".xml", "TAVEXV33.xsl", {"summary", "plot", "stations", "observations"}},
    {"prerun", ".vnk.xml", "VELNIKV33.xsl", {"summary"}},
    {"cogo", ".drm.xml", "DORAMV33.xsl", {"summary", "stations", "not-computed"}},
    {"loops", ".rnd.xml", "RINDELV33.xsl", {"summary"}},
};

const std::vector<std::pair<const char*, const char*>> kExamples = {
    {"levelling", "levellin"},
    {"triangulation", "triangul"},
    {"gps-total-station", "gpstotal"},
    {"design", "design"},
    {"traverse-without-coordinates", "traverse"}};

fs::path FreshDirectory(const std::string& label) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path dir = fs::temp_directory_path() / ("tavex-html-" + std::string(test->name()) +
                                                      "-" + label + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Runs the command with --output xml --html into dir; the report's path.
fs::path Report(const std::string& command, const std::string& project, const fs::path& dir,
                const std::string& stem, const std::string& documentExtension) {
    const Outcome o =
        Tavex(command + " " + project + " --output xml --html --output-dir " + dir.string());
    EXPECT_EQ(o.status, 0) << o.out;
    fs::path html = dir / (stem + documentExtension);
    html.replace_extension(".html");
    EXPECT_NE(o.out.find("HTML report written: " + html.string()), std::string::npos) << o.out;
    return html;
}

TEST(HtmlReports, EveryExampleThroughEveryCommandIsWellFormedWithItsSections) {
    for (const auto& [example, stem] : kExamples)
        for (const Command& c : kCommands) {
            SCOPED_TRACE(std::string(c.name) + " " + example);
            const fs::path dir = FreshDirectory(std::string(example) + "-" + c.name);
            const fs::path html = Report(c.name, Example(example), dir, stem, c.document);
            const XmlFile report(html);
            ASSERT_TRUE(report.Ok()) << report.Error();
            EXPECT_EQ(report.Nodes("/h:html/h:body").size(), 1u);
            for (const char* id : c.sections)
                EXPECT_EQ(report.Nodes(std::string("//h:section[@id='") + id + "']").size(), 1u)
                    << id;
            // The summary comes first.
            EXPECT_EQ(XmlFile::Attribute(report.Nodes("//h:section")[0], "id"), "summary");
            // The stylesheet sits next to the document, for a browser.
            EXPECT_TRUE(fs::exists(dir / c.stylesheet));
            EXPECT_TRUE(fs::exists(dir / "tavex-common.xsl"));
            fs::remove_all(dir);
        }
}

// The plot of every example's adjustment against its document.
TEST(HtmlReports, PlotHoldsOneSymbolPerStationAndOneLinePerObservedPair) {
    for (const auto& [example, stem] : kExamples) {
        SCOPED_TRACE(example);
        const fs::path dir = FreshDirectory(example);
        const XmlFile report(Report("adjust", Example(example), dir, stem, ".xml"));
        const XmlFile document(dir / (std::string(stem) + ".xml"));
        ASSERT_TRUE(report.Ok()) << report.Error();
        ASSERT_TRUE(document.Ok()) << document.Error();
        const double stations = document.Number(
            "count(//r:Stations/r:Station[@planeEasting] | //r:FreeStation[@planeEasting])");
        EXPECT_GT(stations, 0);
        EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:g", "station")).size(), stations);
        EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:g", "known")).size(),
                  document.Number("count(//r:Stations/r:Station[@planeEasting][@knownNorth='1' "
                                  "or @knownEast='1' or @knownHeight='1'])"));
        const std::vector<PlotPair> pairs = ObservedPairs(document);
        std::size_t rejected = 0;
        for (const PlotPair& p : pairs)
            rejected += p.rejected ? 1 : 0;
        EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:line", "obs")).size(), pairs.size());
        EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:line", "rejected")).size(), rejected);
        // Absolute and relative ellipses, one per element with a > 0.
        const std::size_t ellipses =
            report.Nodes("//s:svg//" + WithClass("s:ellipse", "ellipse")).size();
        std::size_t expected = 0;
        for (const xmlNode* e : document.Nodes("//r:Ellipse | //r:RelativeEllipse"))
            expected += std::stod(XmlFile::Attribute(e, "a")) > 0 ? 1 : 0;
        EXPECT_EQ(ellipses, expected);
        fs::remove_all(dir);
    }
}

// triangulation.json holds a planted error in the distance T3-T6: its line
// is drawn rejected, the F-test is rejected in the summary, and every
// rejected reading's row is marked.
TEST(HtmlReports, PlantedErrorIsMarkedInPlotSummaryAndTable) {
    const fs::path dir = FreshDirectory("planted");
    const XmlFile report(Report("adjust", Example("triangulation"), dir, "triangul", ".xml"));
    const XmlFile document(dir / "triangul.xml");
    ASSERT_TRUE(report.Ok()) << report.Error();
    const auto rejectedLines = report.Nodes("//s:svg//" + WithClass("s:line", "rejected"));
    bool t3t6 = false;
    for (const xmlNode* line : rejectedLines) {
        const std::string title =
            reinterpret_cast<const char*>(xmlNodeGetContent(line->children)); // its <title>
        t3t6 = t3t6 || title.rfind("T3 – T6", 0) == 0 || title.rfind("T6 – T3", 0) == 0;
    }
    EXPECT_TRUE(t3t6);
    EXPECT_EQ(report
                  .Nodes("//h:div[contains(@class, 'verdict') and contains(@class, "
                         "'rejected')][starts-with(normalize-space(.), 'F-test rejected')]")
                  .size(),
              1u);
    EXPECT_EQ(report.Nodes("//h:section[@id='observations']//h:tr[@class='rejected']").size(),
              document.Number("count(//r:ObservationRecord[@rejected='1'])"));
    EXPECT_GT(document.Number("count(//r:ObservationRecord[@rejected='1'])"), 0);
    fs::remove_all(dir);
}

// Symbols sit at the plane positions, north up: the drawing's x grows with
// the easting and its y falls with the northing, one scale for both.
TEST(HtmlReports, StationsAreDrawnNorthUpAtTheirPlanePositions) {
    const fs::path dir = FreshDirectory("north");
    const XmlFile report(Report("adjust", Example("gps-total-station"), dir, "gpstotal", ".xml"));
    const XmlFile document(dir / "gpstotal.xml");
    ASSERT_TRUE(report.Ok()) << report.Error();
    const auto stations = document.Nodes("//r:Stations/r:Station");
    ASSERT_GE(stations.size(), 3u);
    auto drawn = [&](const std::string& name) {
        const auto c = report.Nodes("//s:g[@data-name='" + name + "']/s:circle");
        if (!c.empty())
            return std::pair(std::stod(XmlFile::Attribute(c[0], "cx")),
                             std::stod(XmlFile::Attribute(c[0], "cy")));
        // A known station's triangle: its apex lies 1.6 r above the
        // station and its base 0.9 r below; x is the apex's.
        const auto p = report.Nodes("//s:g[@data-name='" + name + "']/s:polygon");
        std::smatch m;
        const std::string points = XmlFile::Attribute(p.at(0), "points");
        std::regex_search(points, m, std::regex("^([-0-9.e]+),([-0-9.e]+) [-0-9.e]+,([-0-9.e]+)"));
        const double apexY = std::stod(m[2]), baseY = std::stod(m[3]);
        return std::pair(std::stod(m[1]), apexY + (baseY - apexY) * 1.6 / 2.5);
    };
    auto plane = [&](const xmlNode* s) {
        return std::pair(std::stod(XmlFile::Attribute(s, "planeEasting")),
                         std::stod(XmlFile::Attribute(s, "planeNorthing")));
    };
    const auto [x0, y0] = drawn(XmlFile::Attribute(stations[0], "name"));
    const auto [e0, n0] = plane(stations[0]);
    for (std::size_t k = 1; k < stations.size(); ++k) {
        const auto [x, y] = drawn(XmlFile::Attribute(stations[k], "name"));
        const auto [e, n] = plane(stations[k]);
        EXPECT_NEAR(x - x0, e - e0, 1e-3) << k;
        EXPECT_NEAR(y - y0, -(n - n0), 1e-3) << k;
    }
    fs::remove_all(dir);
}

// Without a map projection the document's plane is a conformal plane
// centred on the network: its distances are the ellipsoid's (chords of
// the stations at height 0, GRS80), to a few parts per million.
TEST(HtmlReports, LocalPlaneOfALatitudeLongitudeProjectKeepsDistances) {
    const fs::path dir = FreshDirectory("local");
    const Outcome o = Tavex("adjust " + Example("gps-total-station") +
                            " --output xml --output-dir " + dir.string());
    ASSERT_EQ(o.status, 0) << o.out;
    const XmlFile document(dir / "gpstotal.xml");
    ASSERT_EQ(document.Nodes("//r:Stations/r:Plane[@source='local']").size(), 1u);
    const double a = 6378137.0, f = 1 / 298.257222101, e2 = f * (2 - f);
    auto ecef = [&](const xmlNode* s) {
        const xmlNode* c = document
                               .Nodes("//r:Station[@name='" + XmlFile::Attribute(s, "name") +
                                      "']/r:Coordinate[@kind='adjusted']")
                               .at(0);
        const double lat = std::stod(XmlFile::Attribute(c, "latitude"));
        const double lon = std::stod(XmlFile::Attribute(c, "longitude"));
        const double N = a / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat));
        return std::array<double, 3>{N * std::cos(lat) * std::cos(lon),
                                     N * std::cos(lat) * std::sin(lon),
                                     N * (1 - e2) * std::sin(lat)};
    };
    const auto stations = document.Nodes("//r:Stations/r:Station");
    for (std::size_t i = 0; i < stations.size(); ++i)
        for (std::size_t j = i + 1; j < stations.size(); ++j) {
            const auto p = ecef(stations[i]), q = ecef(stations[j]);
            const double chord = std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
            const double plane =
                std::hypot(std::stod(XmlFile::Attribute(stations[i], "planeEasting")) -
                               std::stod(XmlFile::Attribute(stations[j], "planeEasting")),
                           std::stod(XmlFile::Attribute(stations[i], "planeNorthing")) -
                               std::stod(XmlFile::Attribute(stations[j], "planeNorthing")));
            EXPECT_NEAR(plane, chord, 5e-6 * chord) << i << " " << j;
        }
    fs::remove_all(dir);
}

// Ellipses are drawn with b and a times the stated factor, the major axis
// turned by φ from north towards east.
TEST(HtmlReports, EllipsesAreDrawnAtTheStatedFactorAndOrientation) {
    const fs::path dir = FreshDirectory("ellipses");
    const XmlFile report(Report("adjust", Example("triangulation"), dir, "triangul", ".xml"));
    const XmlFile document(dir / "triangul.xml");
    ASSERT_TRUE(report.Ok()) << report.Error();
    std::smatch m;
    const std::string caption = reinterpret_cast<const char*>(
        xmlNodeGetContent(report.Nodes("//h:section[@id='plot']//h:figcaption").at(0)));
    ASSERT_TRUE(std::regex_search(caption, m, std::regex("enlarged ([0-9.]+) times")));
    const double factor = std::stod(m[1]);
    const auto drawn =
        report.Nodes("//s:g[@class='ellipses']/" + WithClass("s:ellipse", "ellipse") +
                     "[not(contains(@class, 'relative'))]");
    std::vector<const xmlNode*> ellipses;
    for (const xmlNode* e : document.Nodes("//r:Ellipses/r:Ellipse"))
        if (std::stod(XmlFile::Attribute(e, "a")) > 0)
            ellipses.push_back(e);
    ASSERT_EQ(drawn.size(), ellipses.size());
    for (std::size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_NEAR(std::stod(XmlFile::Attribute(drawn[k], "ry")),
                    std::stod(XmlFile::Attribute(ellipses[k], "a")) * factor, 1e-9);
        EXPECT_NEAR(std::stod(XmlFile::Attribute(drawn[k], "rx")),
                    std::stod(XmlFile::Attribute(ellipses[k], "b")) * factor, 1e-9);
        const std::string transform = XmlFile::Attribute(drawn[k], "transform");
        ASSERT_TRUE(std::regex_search(transform, m, std::regex("rotate\\(([-0-9.e]+)\\)")));
        EXPECT_NEAR(std::stod(m[1]),
                    std::stod(XmlFile::Attribute(ellipses[k], "phi")) * 180 / std::numbers::pi,
                    1e-9);
    }
    fs::remove_all(dir);
}

// A levelling line given 5 cm wrong: the flagged loops are drawn flagged,
// one outline per loop.
TEST(HtmlReports, FlaggedLoopsAreHighlightedInTheLoopPlot) {
    json project = ReadJson(Example("levelling"));
    project["observations"][6]["value"] = project["observations"][6]["value"].get<double>() + 0.05;
    const fs::path file = Project(project.dump());
    const fs::path dir = file.parent_path();
    const Outcome o = Tavex("loops " + file.string() + " --output xml --html");
    ASSERT_EQ(o.status, 0) << o.out;
    const XmlFile report(dir / "project.rnd.html");
    const XmlFile document(dir / "project.rnd.xml");
    ASSERT_TRUE(report.Ok()) << report.Error();
    const double loops = document.Number("count(//r:Loop)");
    const double flagged = document.Number("count(//r:Loop[@rejected='1'])");
    EXPECT_GT(flagged, 0);
    EXPECT_LT(flagged, loops);
    EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:polygon", "loop")).size(), loops);
    EXPECT_EQ(
        report
            .Nodes("//s:svg//" + WithClass("s:polygon", "loop") + "[contains(@class, 'rejected')]")
            .size(),
        flagged);
    EXPECT_EQ(report.Nodes("//s:svg//" + WithClass("s:g", "station")).size(),
              document.Number("count(//r:LoopStation[not(@stationNumber = "
                              "preceding::r:LoopStation/@stationNumber)])"));
    fs::remove_all(dir);
}

// Names are text, never markup: a station named with the characters HTML
// and XML give meaning to reaches the report as those characters.
TEST(HtmlReports, NamesWithMarkupCharactersAreEscaped) {
    json project = ReadJson(Example("levelling"));
    const std::string odd = "P<&>\"'1";
    for (json& s : project["stations"])
        if (s["name"] == "P1")
            s["name"] = odd;
    for (json& o : project["observations"])
        for (const char* end : {"from", "to"})
            if (o[end] == "P1")
                o[end] = odd;
    const fs::path file = Project(project.dump());
    const Outcome o = Tavex("adjust " + file.string() + " --output none --html");
    ASSERT_EQ(o.status, 0) << o.out;
    const XmlFile report(file.parent_path() / "project.html");
    ASSERT_TRUE(report.Ok()) << report.Error();
    EXPECT_EQ(report.Nodes("//s:g[@data-name=concat('P<&>\"', \"'1\")]").size(), 1u);
    EXPECT_GE(report.Nodes("//h:td[. = concat('P<&>\"', \"'1\")]").size(), 1u);
    // --output none: only the report is left beside the project.
    EXPECT_FALSE(fs::exists(file.parent_path() / "project.xml"));
    fs::remove_all(file.parent_path());
}

TEST(RenderCommand, RendersAnyDocumentByItsInstructionOrItsContent) {
    const fs::path dir = FreshDirectory("render");
    ASSERT_EQ(
        Tavex("prerun " + Example("triangulation") + " --output xml --output-dir " + dir.string())
            .status,
        0);
    // A document copied to a path with spaces, '%', quotes and non-ASCII
    // letters; its instruction names a stylesheet that is not ours.
    const fs::path odd = dir / "odd %41 'dir' ü";
    fs::create_directories(odd);
    std::string text = ReadFile(dir / "triangul.vnk.xml");
    text.replace(text.find("VELNIKV33.xsl"), 13, "../../evil.xsl");
    std::ofstream(odd / "doc %41.xml") << text;
    const Outcome o = Tavex("render \"" + (odd / "doc %41.xml").string() + "\"");
    ASSERT_EQ(o.status, 0) << o.out;
    const XmlFile report(odd / "doc %41.html");
    ASSERT_TRUE(report.Ok()) << report.Error();
    EXPECT_FALSE(fs::exists(odd / "doc A.html"));
    EXPECT_EQ(report.Nodes("//h:h1[starts-with(., 'Pre-run')]").size(), 1u);

    const fs::path out = dir / "chosen.html";
    EXPECT_EQ(Tavex("render " + (dir / "triangul.vnk.xml").string() + " -o " + out.string()).status,
              0);
    EXPECT_TRUE(XmlFile(out).Ok());
    fs::remove_all(dir);
}

TEST(RenderCommand, RefusesWhatIsNoResultDocument) {
    const fs::path dir = FreshDirectory("refuse");
    std::ofstream(dir / "plain.xml") << "<?xml version=\"1.0\"?><html/>";
    std::ofstream(dir / "broken.xml") << "<Result";
    for (const char* name : {"plain.xml", "broken.xml", "missing.xml"}) {
        const Outcome o = Tavex("render " + (dir / name).string());
        EXPECT_EQ(o.status, 1) << name << ": " << o.out;
        EXPECT_NE(o.out.find((dir / name).string()), std::string::npos) << o.out;
    }
    EXPECT_EQ(Tavex("render").status, 2);
    EXPECT_EQ(Tavex("loops " + Example("levelling") + " --geojson x.json").status, 2);
    fs::remove_all(dir);
}

TEST(RenderCommand, StylesheetDirectoryFromTheEnvironmentMustHoldThem) {
    const fs::path dir = FreshDirectory("env");
    ASSERT_EQ(Tavex("loops " + Example("levelling") + " --output xml --output-dir " + dir.string())
                  .status,
              0);
    const Outcome o =
        Tavex("render " + (dir / "levellin.rnd.xml").string()); // default lookup works
    EXPECT_EQ(o.status, 0) << o.out;
    const Outcome refused = Shell("TAVEX_XSL_DIR=" + dir.string() + "/nowhere " + TAVEX_CLI_PATH +
                                  " render " + (dir / "levellin.rnd.xml").string());
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find("TAVEX_XSL_DIR"), std::string::npos) << refused.out;
    fs::remove_all(dir);
}

} // namespace
