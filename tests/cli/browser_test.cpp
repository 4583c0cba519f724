// The adjustment's HTML report in a real browser: Debian's chromium,
// headless, builds the page's DOM (the plot's elements must be there as
// SVG, not as unknown HTML tags) and paints it (the screenshot must hold
// far more than a blank page's). Skipped when chromium is not installed;
// CI installs it.
#include "cli_run.h"
#include "report_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>

namespace {

using namespace TavexCliTest;
namespace fs = std::filesystem;

std::string FindChromium() {
    for (const char* name : {"chromium", "chromium-browser"})
        for (const char* dir : {"/usr/bin", "/usr/local/bin", "/snap/bin"})
            if (access((std::string(dir) + "/" + name).c_str(), X_OK) == 0)
                return std::string(dir) + "/" + name;
    return {};
}

std::size_t Count(const std::string& text, const std::regex& pattern) {
    return static_cast<std::size_t>(std::distance(
        std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

TEST(Browser, ChromiumDrawsTheAdjustmentPlot) {
    const std::string chromium = FindChromium();
    if (chromium.empty())
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); the browser test "
                        "of the HTML report is skipped";
    const fs::path dir = Project("{}").parent_path();
    const Outcome o = Tavex("adjust " + Example("triangulation") + " --output xml --output-dir " +
                            dir.string() + " --html " + (dir / "report.html").string());
    ASSERT_EQ(o.status, 0) << o.out;
    const std::string browser = chromium +
                                " --headless --no-sandbox --disable-gpu "
                                "--user-data-dir=" +
                                (dir / "profile").string() + "  --window-size=1200,1600 ";
    const std::string dom =
        Shell(browser + "--dump-dom file://" + (dir / "report.html").string() + " 2>/dev/null").out;
    ASSERT_FALSE(dom.empty()) << "chromium printed no DOM";
    // The browser's DOM serialisation: SVG children stay inside <svg>.
    const std::size_t svgAt = dom.find("<svg");
    ASSERT_NE(svgAt, std::string::npos);
    const std::string svg = dom.substr(svgAt, dom.find("</svg>") - svgAt);
    const XmlFile document(dir / "triangul.xml");
    EXPECT_EQ(Count(svg, std::regex("<g class=\"station( known)?( rejected)?\"")),
              document.Number("count(//r:Stations/r:Station[@planeEasting])"));
    EXPECT_EQ(Count(svg, std::regex("<line class=\"obs( rejected)?\"")),
              ObservedPairs(document).size());
    EXPECT_GE(Count(svg, std::regex("<line class=\"obs rejected\"")), 1u);
    EXPECT_GE(Count(svg, std::regex("<ellipse class=\"ellipse")), 8u);

    // Painted: the report's screenshot against a blank page's, both PNG.
    Shell(browser + "--screenshot=" + (dir / "report.png").string() + " file://" +
          (dir / "report.html").string());
    std::ofstream(dir / "blank.html") << "<!DOCTYPE html><html><body></body></html>";
    Shell(browser + "--screenshot=" + (dir / "blank.png").string() + " file://" +
          (dir / "blank.html").string());
    const std::string shot = ReadFile(dir / "report.png"), blank = ReadFile(dir / "blank.png");
    ASSERT_GT(shot.size(), 8u);
    EXPECT_EQ(shot.substr(1, 3), "PNG");
    EXPECT_GT(shot.size(), 10 * blank.size()) << "the screenshot looks blank";
    fs::remove_all(dir);
}

} // namespace
