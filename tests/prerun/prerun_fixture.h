// Pre-runs of synthetic networks through the exported interface, their
// result document read back: the check blocks in order, with the records of
// each.
#ifndef TAVEX_TESTS_PRERUN_PRERUN_FIXTURE_H
#define TAVEX_TESTS_PRERUN_PRERUN_FIXTURE_H

#include "support/synthetic_network.h"
#include "support/test_directory.h"
#include "support/xml_reading.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace TavexTest {

struct PreRunCheck {
    int kind = 0;
    int observationKind = 0;
    std::string title;
    std::vector<const xmlNode*> records; // the block's children
};

class PreRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = OwnTestDirectory();
        Tavex::_SETTINGS& s = net.Settings();
        std::memcpy(s.ProjectDir, dir_.c_str(), dir_.size());
        std::memcpy(s.OutputFile, "net.out", 7);
        std::memcpy(s.MessageFile, "net.msg", 7);
        s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 2;
    }
    void TearDown() override { Tavex::Release(); }

    // Runs the pre-run and reads its document; the checks in order.
    std::vector<PreRunCheck> Run() {
        net.Load();
        EXPECT_EQ(Tavex::PreRun(nullptr), 1) << net.AllMessages();
        std::ifstream in(dir_ + "/net.vnk.xml", std::ios::binary);
        document_ = Parse(std::string(std::istreambuf_iterator<char>(in), {}));
        std::vector<PreRunCheck> checks;
        if (!document_)
            return checks;
        const xmlNode* root = xmlDocGetRootElement(document_.get());
        const auto projects = Children(root, "Project");
        if (projects.empty())
            return checks;
        const auto prerun = Children(projects[0], "Prerun");
        if (prerun.empty())
            return checks;
        for (const xmlNode* c : Children(prerun[0], "Check")) {
            PreRunCheck check;
            check.kind = static_cast<int>(Number(c, "kind"));
            check.observationKind = static_cast<int>(Number(c, "observationKind"));
            check.title = Attribute(c, "title");
            check.records = Children(c);
            checks.push_back(check);
        }
        return checks;
    }

    // The checks of one kind.
    static std::vector<PreRunCheck> OfKind(const std::vector<PreRunCheck>& checks, int kind) {
        std::vector<PreRunCheck> out;
        for (const PreRunCheck& c : checks)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    // The text report (OutputForm 1) of the same pre-run.
    std::string Report() {
        net.Settings().ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 1;
        net.Load();
        EXPECT_EQ(Tavex::PreRun(nullptr), 1) << net.AllMessages();
        std::ifstream in(dir_ + "/net.vnk", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    SyntheticNetwork net;
    std::string dir_;
    ParsedDocument document_{nullptr, xmlFreeDoc};
};

} // namespace TavexTest

#endif
