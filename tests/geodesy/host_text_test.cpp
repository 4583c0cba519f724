// Texts a host writes into its records need not be UTF-8: a name that is
// not well-formed UTF-8 is read as Latin-1 as a whole. Every text the kernel
// hands back (message records, message file, reports) is valid UTF-8.
#include "geodesy/text_encoding.h"
#include "messages/message_handback.h"
#include "support/synthetic_network.h"
#include "support/test_directory.h"
#include "tavex/tavex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace Tavex {
namespace {

using TavexTest::SyntheticNetwork;

// ---------------------------------------------------------------------------
// IsValidUtf8 and FromHostText.
// ---------------------------------------------------------------------------

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
};

class Utf8Validity : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validity, IsDecided) {
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Validity,
    ::testing::Values(
        Utf8Case{"Empty", "", true}, Utf8Case{"Ascii", "Station 12", true},
        Utf8Case{"Chinese", "测站", true}, Utf8Case{"FourBytes", "\xF0\x9F\x98\x80", true},
        Utf8Case{"LargestCodePoint", "\xF4\x8F\xBF\xBF", true},
        Utf8Case{"LastBeforeSurrogates", "\xED\x9F\xBF", true},
        Utf8Case{"OverlongTwoBytes", "\xC0\xAF", false},
        Utf8Case{"OverlongThreeBytes", "\xE0\x80\xAF", false},
        Utf8Case{"OverlongFourBytes", "\xF0\x80\x80\xAF", false},
        Utf8Case{"HighSurrogate", "\xED\xA0\x80", false},
        Utf8Case{"LowSurrogate", "\xED\xBF\xBF", false},
        Utf8Case{"BeyondLargestCodePoint", "\xF4\x90\x80\x80", false},
        Utf8Case{"LeadF5", "\xF5\x80\x80\x80", false}, Utf8Case{"CutAtTheEnd", "ab\xE6\xB5", false},
        Utf8Case{"LoneContinuation", "a\x80", false}, Utf8Case{"LatinOne", "P\xE9", false}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

struct HostTextCase {
    const char* name;
    std::string bytes;
    std::wstring text;
};

class HostText : public ::testing::TestWithParam<HostTextCase> {};

TEST_P(HostText, IsReadAsUtf8OrAsLatin1AsAWhole) {
    EXPECT_EQ(FromHostText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, HostText,
    ::testing::Values(HostTextCase{"Empty", "", L""}, HostTextCase{"Ascii", "P12", L"P12"},
                      HostTextCase{"WellFormedUtf8", "测站 \xC3\xA9", L"测站 \u00E9"},
                      HostTextCase{"LatinOneBytes",
                                   "A\xFF\xFE"
                                   "B",
                                   L"A\u00FF\u00FE"
                                   L"B"},
                      HostTextCase{"LatinOneWord", "\xE9t\xE9", L"\u00E9t\u00E9"},
                      // One bad byte makes the whole text Latin-1, also its UTF-8 part.
                      HostTextCase{"MixedIsLatinOneAsAWhole", "\xE6\xB5\x8B\xFF",
                                   L"\u00E6\u00B5\u008B\u00FF"},
                      HostTextCase{"OverlongIsLatinOne", "\xC0\xAF", L"\u00C0\u00AF"},
                      HostTextCase{"SurrogateIsLatinOne", "\xED\xA0\x80", L"\u00ED\u00A0\u0080"},
                      // A name that filled its field and lost the end of its last
                      // character.
                      HostTextCase{"CutSequenceDropped", "测站\xE4\xB8", L"测站"},
                      HostTextCase{"CutFourByteSequenceDropped", "a\xF0\x9F\x98", L"a"}),
    [](const ::testing::TestParamInfo<HostTextCase>& info) {
        return std::string(info.param.name);
    });

// ---------------------------------------------------------------------------
// Texts through the interface.
// ---------------------------------------------------------------------------

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SetText(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size));
}

class HostNames : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TavexTest::OwnTestDirectory();
        _SETTINGS& s = net.Settings();
        SetText(s.ProjectDir, sizeof s.ProjectDir, dir);
        SetText(s.OutputFile, sizeof s.OutputFile, "names");
        SetText(s.MessageFile, sizeof s.MessageFile, "names.msg");
        s.ReportSwitch[REPORT_OUTPUT_FORM] = 1; // message file and text report
        net.AddStation("A", 52.000, 5.000, 10.0);
        net.AddStation("B", 52.010, 5.020, 12.0);
        net.AddStation("C", 52.020, 5.000, 14.0);
        net.AddStation("D", 52.015, 4.975, 9.0);
        const unsigned lines[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}, {2, 4}};
        for (const auto& line : lines)
            net.HorizontalDistance(line[0], line[1]);
    }
    void TearDown() override {
        Release();
        std::filesystem::remove_all(dir);
    }
    // A station without observations: the adjustment warns with its name.
    void AddLonelyStation(const std::string& name) {
        const unsigned s = net.AddStation("X", 52.005, 5.010, 11.0);
        _STATIONADJ& r = net.StationRecords()[s - 1];
        SetText(r.Name, sizeof r.Name, name);
    }
    std::set<std::string> Texts(int code) {
        std::set<std::string> texts;
        for (const _MESSAGE& m : net.Settings().Messages)
            if (m.Code == code)
                texts.insert(m.Text);
        return texts;
    }

    SyntheticNetwork net;
    std::string dir;
};

TEST_F(HostNames, AreHandedBackAsUtf8InMessagesAndFiles) {
    AddLonelyStation("A\xFF\xFE"
                     "B");
    AddLonelyStation("测站一");
    AddLonelyStation(std::string("ABCDEFGHIJKLMNO\xE6\xB5", 17)); // fills the field, no zero
    SetText(net.Settings().NetworkName, sizeof net.Settings().NetworkName, "Netz M\xFCnchen");
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();

    const std::set<std::string> expected = {"测站无观测值 A\xC3\xBF\xC3\xBE"
                                            "B",
                                            "测站无观测值 测站一", "测站无观测值 ABCDEFGHIJKLMNO"};
    EXPECT_EQ(Texts(430), expected) << net.AllMessages();
    for (const _MESSAGE& m : net.Settings().Messages)
        EXPECT_TRUE(IsValidUtf8(m.Text)) << m.Code;

    const std::string messageFile = ReadFile(dir + "/names.msg");
    EXPECT_TRUE(IsValidUtf8(messageFile));
    EXPECT_NE(messageFile.find("A\xC3\xBF\xC3\xBE"
                               "B"),
              std::string::npos)
        << messageFile;
    // Every file the run wrote is UTF-8; the report names the network.
    bool networkNamed = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string text = ReadFile(entry.path());
        EXPECT_TRUE(IsValidUtf8(text)) << entry.path();
        networkNamed = networkNamed || text.find("Netz M\xC3\xBCnchen") != std::string::npos;
    }
    EXPECT_TRUE(networkNamed);
}

TEST_F(HostNames, ShortLatinOneNameIsNotTakenForACutSequence) {

    // "P\xE9" is Latin-1 "Pé" in a field with room to spare; only a name
    // that fills its 17 bytes can have lost the end of a character.
    AddLonelyStation("P\xE9");
    ASSERT_EQ(net.Adjust(), 1) << net.AllMessages();
    EXPECT_EQ(Texts(430), std::set<std::string>{"测站无观测值 P\xC3\xA9"}) << net.AllMessages();
}

TEST_F(HostNames, LongMessageIsCutBetweenCharacters) {
    // A project directory that cannot be created, long and Chinese: the
    // message that names the message file runs past 260 bytes.
    std::string project = "/nonexistent-tavex1/";
    while (project.size() + 3 < sizeof net.Settings().ProjectDir)
        project += "测";
    SetText(net.Settings().ProjectDir, sizeof net.Settings().ProjectDir, project);
    net.Load();
    EXPECT_EQ(PreRun(nullptr), 0);
    const std::string full = "不能创建信息文件 " + project + "/names.msg";
    ASSERT_GT(full.size(), 260u);
    const std::set<std::string> texts = Texts(723);
    ASSERT_EQ(texts.size(), 1u) << net.AllMessages();
    const std::string& text = *texts.begin();
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_LE(text.size(), 260u);
    EXPECT_GT(text.size(), 257u) << "cut at the last whole character";
    EXPECT_EQ(full.rfind(text, 0), 0u) << "a prefix of the whole text";
}

TEST(MessageRecord, TextIsCutBetweenFourByteCharacters) {
    CMessageHandler message;
    message.Code = 738;
    message.Class = 1;
    std::wstring text = L"a";
    for (int k = 0; k < 100; ++k)
        text += L"\U0001F600";
    message.Text = CKZString(text);
    const _MESSAGE record = MakeMessageRecord(message);
    const std::string handed(record.Text);
    EXPECT_EQ(handed.size(), 1u + 4 * 64);
    EXPECT_TRUE(IsValidUtf8(handed));
    EXPECT_EQ(record.Text[260], '\0');
}

} // namespace
} // namespace Tavex
