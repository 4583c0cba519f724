// Paths in the settings record name bytes: the kernel opens exactly the bytes
// the host wrote, also when they are not UTF-8 (a directory named in a
// legacy 8-bit code page), instead of reading them as Latin-1 text and
// opening their UTF-8 re-encoding.
#include "support/records.h"
#include "support/test_directory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using TavexTest::PutText;

class HostPaths : public ::testing::Test {
protected:
    void SetUp() override {
        TavexTest::FillDefaultSettings(*settings);
        settings->ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 1; // files on disk
        base = TavexTest::OwnTestDirectory();
    }
    void TearDown() override {
        Tavex::Release();
        std::filesystem::remove_all(base);
    }
    bool HasMessage(int code) {
        for (const Tavex::_MESSAGE& m : settings->Messages)
            if (m.Code == code)
                return true;
        return false;
    }

    TavexTest::SettingsRecord settings;
    std::string base;
};

// "Müller" in Latin-1, and its UTF-8 re-encoding that must not be opened.
const std::string kLatin1Directory = "M\xFC"
                                     "ller";
const std::string kUtf8Directory = "M\xC3\xBC"
                                   "ller";

TEST_F(HostPaths, ALatin1ProjectDirectoryIsOpenedByItsOwnBytes) {
    const std::string dir = base + "/" + kLatin1Directory;
    std::filesystem::create_directories(dir);
    PutText(settings.bytes(), 41, dir);
    PutText(settings.bytes(), 310, "run.msg");
    ASSERT_EQ(Tavex::Initialize(*settings), 1);
    Tavex::_STATISTICS statistics{};
    Tavex::Adjust(statistics, nullptr); // fails: no stations; the message file is written
    EXPECT_FALSE(HasMessage(723)) << "the message file was not created";
    EXPECT_TRUE(std::filesystem::exists(dir + "/run.msg"));
    EXPECT_FALSE(std::filesystem::exists(base + "/" + kUtf8Directory));
}

TEST_F(HostPaths, ALatin1FileNameIsOpenedByItsOwnBytes) {
    PutText(settings.bytes(), 41, base + "/");
    PutText(settings.bytes(), 310, "r\xE9sum\xE9.msg");
    ASSERT_EQ(Tavex::Initialize(*settings), 1);
    Tavex::_STATISTICS statistics{};
    Tavex::Adjust(statistics, nullptr);
    EXPECT_FALSE(HasMessage(723));
    EXPECT_TRUE(std::filesystem::exists(base + "/r\xE9sum\xE9.msg"));
    EXPECT_FALSE(std::filesystem::exists(base + "/r\xC3\xA9sum\xC3\xA9.msg"));
}

// A directory that cannot be opened is named in the message as valid UTF-8.
TEST_F(HostPaths, AnUnopenablePathIsNamedInValidUtf8) {
    PutText(settings.bytes(), 41, base + "/missing\xFF/");
    PutText(settings.bytes(), 310, "run.msg");
    ASSERT_EQ(Tavex::Initialize(*settings), 1);
    Tavex::_STATISTICS statistics{};
    Tavex::Adjust(statistics, nullptr);
    ASSERT_TRUE(HasMessage(723));
    for (const Tavex::_MESSAGE& m : settings->Messages) {
        if (m.Code != 723)
            continue;
        EXPECT_NE(std::string(m.Text).find("missing\xEF\xBF\xBD/run.msg"), std::string::npos)
            << m.Text;
    }
}

} // namespace
