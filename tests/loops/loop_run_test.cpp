// The Loops run through the exported interface: the records handed back,
// the ".rnd" report and the ".rnd.xml" document.
#include "interface/loop_handback.h"
#include "loops/loop_fixture.h"
#include "platform/lend_vector.h"
#include "support/test_directory.h"
#include "support/xml_reading.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace TavexTest {
namespace {

// The host's loop records copied into aligned values; the records are then
// released by the kernel's own function (they sit at unaligned offsets).
struct Handed {
    std::vector<std::uint32_t> stations;
    int kind;
    double misclosure[3], test[3], local[3], length, criticalW;
};

std::vector<Handed> TakeOver(std::vector<Tavex::_LOOP_RESULT>& loops) {
    std::vector<Handed> out;
    for (Tavex::_LOOP_RESULT& r : loops) {
        Handed h;
        Tavex::LendVector<std::uint32_t> stations(&r.Stations);
        h.stations = stations.get();
        std::memcpy(&h.kind,
                    reinterpret_cast<const char*>(&r) + offsetof(Tavex::_LOOP_RESULT, Kind),
                    sizeof h.kind);
        std::memcpy(h.misclosure,
                    reinterpret_cast<const char*>(&r) + offsetof(Tavex::_LOOP_RESULT, Misclosure),
                    sizeof h.misclosure);
        std::memcpy(h.test, reinterpret_cast<const char*>(&r) + offsetof(Tavex::_LOOP_RESULT, Test),
                    sizeof h.test);
        std::memcpy(h.local,
                    reinterpret_cast<const char*>(&r) +
                        offsetof(Tavex::_LOOP_RESULT, MisclosureLocal),
                    sizeof h.local);
        std::memcpy(&h.length,
                    reinterpret_cast<const char*>(&r) + offsetof(Tavex::_LOOP_RESULT, Length),
                    sizeof h.length);
        std::memcpy(&h.criticalW,
                    reinterpret_cast<const char*>(&r) + offsetof(Tavex::_LOOP_RESULT, CriticalW),
                    sizeof h.criticalW);
        out.push_back(h);
    }
    Tavex::ClearLoopResults(loops);
    return out;
}

// A GPS quadrilateral with a diagonal and an error on the diagonal, plus a
// height triangle, in 3D.
void Network(SyntheticNetwork& net) {
    net.Settings().Dimension = 3;
    const unsigned a = GridStation(net, 0, 0), b = GridStation(net, 0, 1),
                   c = GridStation(net, 1, 1), d = GridStation(net, 1, 0);
    net.GpsBaseline(a, b);
    net.GpsBaseline(b, c);
    net.GpsBaseline(c, d);
    net.GpsBaseline(d, a);
    net.GpsBaseline(a, c);
    net.ObservationRecords()[5].K6.Reading[2] += 0.04;
    net.HeightDifference(a, b);
    net.HeightDifference(b, c);
    net.HeightDifference(c, a);
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WriteInto(SyntheticNetwork& net, int form) {
    const std::string dir = OwnTestDirectory();
    Tavex::_SETTINGS& s = net.Settings();
    std::memset(s.ProjectDir, 0, sizeof s.ProjectDir);
    std::memcpy(s.ProjectDir, dir.c_str(), dir.size());
    std::memset(s.OutputFile, 0, sizeof s.OutputFile);
    std::memcpy(s.OutputFile, "net.out", 7);
    s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = form;
    return dir + (form == 1 ? "/net.rnd" : "/net.rnd.xml");
}

TEST(LoopRun, RecordsMatchTheLoopsFoundAndASecondRunReplacesThem) {
    SyntheticNetwork net;
    Network(net);
    auto found = FindLoopsOf(net);
    ASSERT_EQ(found->Count(), 3);
    std::vector<Tavex::_LOOP_RESULT> loops;
    ASSERT_EQ(Tavex::Loops(loops, nullptr), 1);
    ASSERT_EQ(Tavex::Loops(loops, nullptr), 1);
    const std::vector<Handed> handed = TakeOver(loops);
    ASSERT_EQ(handed.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const Tavex::CLoopResults& loop = (*found)[k];
        EXPECT_EQ(handed[k].kind, loop.Kind);
        EXPECT_EQ(handed[k].stations.size(), loop.Stations.size());
        for (std::size_t i = 0; i < loop.Stations.size(); ++i)
            EXPECT_EQ(handed[k].stations[i], static_cast<std::uint32_t>(loop.Stations[i]));
        for (int m = 0; m < 3; ++m) {
            EXPECT_EQ(handed[k].misclosure[m], loop.Misclosure[m]);
            EXPECT_EQ(handed[k].test[m], loop.Test[m]);
            EXPECT_EQ(handed[k].local[m], loop.MisclosureLocal[m]);
        }
        EXPECT_EQ(handed[k].length, loop.Length);
        EXPECT_NEAR(handed[k].criticalW, 3.2931, 1e-4); // α0 = 0.001
    }
}

TEST(LoopRun, ReportListsEachKindAndMarksTheSpoiltLoops) {
    SyntheticNetwork net;
    Network(net);
    const std::string path = WriteInto(net, 1);
    net.Load();
    std::vector<Tavex::_LOOP_RESULT> loops;
    ASSERT_EQ(Tavex::Loops(loops, nullptr), 1);
    TakeOver(loops);
    const std::string report = Read(path);
    EXPECT_NE(report.find("网中的环和闭合差的计算"), std::string::npos);
    EXPECT_NE(report.find("W-检验临界值 3.293"), std::string::npos);
    const std::size_t gps = report.find("GPS 基线闭合环");
    const std::size_t traverse = report.find("方向和距离闭合环");
    const std::size_t height = report.find("高差闭合环");
    const std::size_t trig = report.find("天顶距和距离闭合环");
    ASSERT_NE(gps, std::string::npos);
    ASSERT_NE(traverse, std::string::npos);
    ASSERT_NE(height, std::string::npos);
    ASSERT_NE(trig, std::string::npos);
    EXPECT_LT(gps, traverse);
    EXPECT_LT(traverse, height);
    EXPECT_LT(height, trig);
    // No traverse and no trigonometric loops.
    const std::string none = "没有找到闭合环";
    EXPECT_NE(report.substr(traverse, height - traverse).find(none), std::string::npos);
    EXPECT_NE(report.substr(trig).find(none), std::string::npos);
    EXPECT_EQ(report.substr(gps, traverse - gps).find(none), std::string::npos);
    // Both GPS loops hold the diagonal: both marked; the height loop not.
    EXPECT_NE(report.substr(gps, traverse - gps).find("**"), std::string::npos);
    EXPECT_EQ(report.substr(height, trig - height).find("**"), std::string::npos);
    EXPECT_NE(report.substr(height, trig - height).find("限差"), std::string::npos);
    EXPECT_NE(report.find("S0_0"), std::string::npos);
}

TEST(LoopRun, DocumentCarriesTheLoopsWithTheirMisclosures) {
    SyntheticNetwork net;
    Network(net);
    const std::string path = WriteInto(net, 2);
    auto found = FindLoopsOf(net);
    std::vector<Tavex::_LOOP_RESULT> loops;
    ASSERT_EQ(Tavex::Loops(loops, nullptr), 1);
    TakeOver(loops);
    const std::string text = Read(path);
    EXPECT_NE(text.find("RINDELV33.xsl"), std::string::npos);
    const ParsedDocument doc = Parse(text);
    ASSERT_TRUE(doc);
    std::vector<const xmlNode*> kinds, loopNodes;
    std::function<void(const xmlNode*)> walk = [&](const xmlNode* n) {
        for (; n != nullptr; n = n->next) {
            if (n->type == XML_ELEMENT_NODE && Name(n) == "LoopKind")
                kinds.push_back(n);
            if (n->type == XML_ELEMENT_NODE && Name(n) == "Loop")
                loopNodes.push_back(n);
            walk(n->children);
        }
    };
    walk(xmlDocGetRootElement(doc.get()));
    ASSERT_EQ(kinds.size(), 4u);
    EXPECT_EQ(Attribute(kinds[0], "family"), "gps");
    EXPECT_EQ(Attribute(kinds[0], "found"), "2");
    EXPECT_EQ(Attribute(kinds[1], "found"), "0");
    EXPECT_NE(Attribute(kinds[1], "message"), "");
    ASSERT_EQ(loopNodes.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const Tavex::CLoopResults& loop = (*found)[static_cast<int>(k)];
        EXPECT_EQ(Attribute(loopNodes[k], "rejected"), Flagged(loop) ? "1" : "0");
        EXPECT_NEAR(Number(loopNodes[k], "length"), loop.Length, 1e-6);
        int stations = 0, misclosures = 0;
        for (const xmlNode* c = loopNodes[k]->children; c != nullptr; c = c->next) {
            if (c->type != XML_ELEMENT_NODE)
                continue;
            if (Name(c) == "LoopStation")
                ++stations;
            if (Name(c) == "Misclosure") {
                if (Attribute(c, "name") == "dz") {
                    EXPECT_NEAR(Number(c, "value"), loop.Misclosure[2], 1e-9);
                }
                ++misclosures;
            }
        }
        EXPECT_EQ(stations, static_cast<int>(loop.Stations.size()));
        EXPECT_EQ(misclosures, loop.Kind == 6 ? 6 : 1);
    }
}

} // namespace
} // namespace TavexTest
