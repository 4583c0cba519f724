#include "geodesy/ascii_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace Tavex {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class AsciiFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory_ = fs::temp_directory_path() /
                     ("tavex_ascii_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    CKZString PathOf(const char* name) const {
        return CKZString((directory_ / name).string().c_str());
    }
    std::string Bytes(const char* name) const {
        std::ifstream in(directory_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const char* name, const std::string& bytes) const {
        std::ofstream(directory_ / name, std::ios::binary) << bytes;
    }

    fs::path directory_;
};

TEST_F(AsciiFileTest, WritesUtf8ExactlyAsFormatted) {
    {
        CAsciiFile file(PathOf("report.txt"), CAsciiFile::modeWrite);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.WriteFormat(L"%s: %*.3f\n", L"测站", 9, 12.5));
        EXPECT_TRUE(file.WriteString(CKZString(L"错误\r\n")));
    } // the destructor closes and flushes
    EXPECT_EQ(Bytes("report.txt"), "\xE6\xB5\x8B\xE7\xAB\x99:    12.500\n"
                                   "\xE9\x94\x99\xE8\xAF\xAF\r\n");
}

TEST_F(AsciiFileTest, WriteTruncatesAndAppendAddsAtTheEnd) {
    WriteBytes("log.txt", "old contents\n");
    {
        CAsciiFile file(PathOf("log.txt"), CAsciiFile::modeWrite);
        file.WriteString(CKZString(L"one\n"));
    }
    {
        CAsciiFile file(PathOf("log.txt"), CAsciiFile::modeAppend);
        ASSERT_TRUE(file.IsOpen());
        file.WriteString(CKZString(L"two\n"));
        EXPECT_TRUE(file.Close());
        EXPECT_FALSE(file.WriteString(CKZString(L"after close\n")));
    }
    EXPECT_EQ(Bytes("log.txt"), "one\ntwo\n");
    {
        CAsciiFile file(PathOf("new.txt"), CAsciiFile::modeAppend); // append creates
        EXPECT_TRUE(file.IsOpen());
    }
    EXPECT_TRUE(fs::exists(directory_ / "new.txt"));
}

TEST_F(AsciiFileTest, ReadsLinesWithoutTheirEndings) {
    // Byte-order mark, CR LF, an empty line, LF, and a last line without end.
    WriteBytes("input.txt", "\xEF\xBB\xBF"
                            "first\r\n\nsecond \xE6\xB5\x8B\nlast");
    CAsciiFile file(PathOf("input.txt"), CAsciiFile::modeRead);
    ASSERT_TRUE(file.IsOpen());
    const wchar_t* expected[] = {L"first", L"", L"second 测", L"last"};
    for (const wchar_t* line : expected) {
        ASSERT_EQ(file.bLeesRegel(), 1);
        EXPECT_EQ(file.szGetRegel().wstr(), line);
    }
    EXPECT_EQ(file.bLeesRegel(), 0);
    EXPECT_TRUE(file.szGetRegel().IsEmpty());
    EXPECT_EQ(file.bLeesRegel(), 0); // and stays at the end

    // A final line feed adds no empty line; malformed UTF-8 becomes U+FFFD.
    WriteBytes("bad.txt", "a\xFF"
                          "b\n");
    CAsciiFile bad(PathOf("bad.txt"), CAsciiFile::modeRead);
    ASSERT_EQ(bad.bLeesRegel(), 1);
    EXPECT_EQ(bad.szGetRegel().wstr(), L"a\xFFFD"
                                       L"b");
    EXPECT_EQ(bad.bLeesRegel(), 0);
}

TEST_F(AsciiFileTest, AFileThatDidNotOpenDoesNothingAndSaysSo) {
    CAsciiFile missing(PathOf("missing.txt"), CAsciiFile::modeRead);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.bLeesRegel(), 0);
    EXPECT_TRUE(missing.szGetRegel().IsEmpty());
    EXPECT_FALSE(missing.WriteString(CKZString(L"x")));
    EXPECT_FALSE(missing.Close());

    CAsciiFile noDirectory(PathOf("no/such/dir.txt"), CAsciiFile::modeWrite);
    EXPECT_FALSE(noDirectory.IsOpen());
    EXPECT_FALSE(noDirectory.WriteFormat(L"%d", 1));

    EXPECT_FALSE(CAsciiFile(PathOf("mode.txt"), 7).IsOpen());
    EXPECT_FALSE(CAsciiFile(CKZString(L""), CAsciiFile::modeWrite).IsOpen());

    // Reading a file opened for writing, or writing one opened for reading.
    WriteBytes("data.txt", "line\n");
    CAsciiFile reader(PathOf("data.txt"), CAsciiFile::modeRead);
    EXPECT_FALSE(reader.WriteFormat(L"x"));
    CAsciiFile writer(PathOf("out.txt"), CAsciiFile::modeWrite);
    EXPECT_EQ(writer.bLeesRegel(), 0);
    EXPECT_FALSE(writer.WriteFormat(nullptr));
}

} // namespace
} // namespace Tavex
