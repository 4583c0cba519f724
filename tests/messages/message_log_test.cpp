#include "messages/message_handback.h"
#include "messages/message_log.h"
#include "messages/tavex_out.h"
#include "support/records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace Tavex {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempPath(const char* name) {
    return (::testing::TempDir() + "/") + name;
}

TEST(MessageFile, LinesAreClassWordColonTextFullStopCrLfInUtf8) {
    const std::string path = TempPath("messages.msg");
    {
        CTavexDllFile file{CKZString(path.c_str())};
        MessageLog log;
        log.SetMessageFile(&file);
        EXPECT_EQ(log.AddMessage(531, MSG_ERROR, REF_NONE, L"法方程奇异，使用VELNIK"), 0);
        EXPECT_EQ(log.AddMessage(430, 7, REF_STATIONS, L"测站无观测值 P1", 4), 1);
        log.SetMessageFile(nullptr);
    }
    const std::string expected = "错误: 法方程奇异，使用VELNIK.\r\n"
                                 "警告: 测站无观测值 P1.\r\n";
    EXPECT_EQ(ReadFile(path), expected);
    std::remove(path.c_str());
}

TEST(MessageFile, WriteTurnsEveryLineFeedIntoCrLf) {
    const std::string path = TempPath("write.txt");
    {
        CTavexDllFile file{CKZString(path.c_str())};
        file.Write(L"a\nb\n\nc");
        file.Write(L"");
        Print(&file, L"%s=%d\n", L"x", 5);
    }
    EXPECT_EQ(ReadFile(path), "a\r\nb\r\n\r\nc"
                              "x=5\r\n");
    std::remove(path.c_str());
}

TEST(MessageFile, WriteWideWritesItsOwnByteOrderMarkEveryCall) {
    const std::string path = TempPath("wide.txt");
    {
        CTavexDllFile file{CKZString(path.c_str())};
        file.WriteWide(L"A测");
        file.WriteWide(L"");
        file.WriteWide(L"\U0001F600");
    }
    const std::string expected("\xFF\xFE"
                               "A\0"
                               "\x4B\x6D"
                               "\xFF\xFE"
                               "\x3D\xD8\x00\xDE",
                               12);
    EXPECT_EQ(ReadFile(path), expected);
    std::remove(path.c_str());
}

TEST(MessageFile, TargetWithoutFileDiscardsWrites) {
    CTavexDllFile discard(static_cast<std::FILE*>(nullptr));
    EXPECT_EQ(discard.IsValid(), 1);
    discard.Write(L"nothing");
    discard.WriteWide(L"nothing");
    auto onDisk = OpenOutputTarget(L"/nonexistent-directory/x.msg", 0);
    EXPECT_FALSE(onDisk->HasFile());
    onDisk->Write(L"still nothing");
    auto host = OpenOutputTarget(CKZString(TempPath("host.msg").c_str()), 1);
    EXPECT_FALSE(host->HasFile()) << "mode 1 wraps the host's stream, and the runs hand in none";
}

TEST(MessageLog, RefsAreAttachedInOrderAndZerosSkipped) {
    MessageLog log;
    log.AddMessage(1, MSG_WARNING, REF_STATIONS, L"a", 0, 5);
    log.AddMessage(2, MSG_WARNING, REF_STATIONS, L"b", 3, 9);
    EXPECT_EQ(log.Messages().GetAt(0)->Refs, std::vector<std::uint32_t>({5}));
    EXPECT_EQ(log.Messages().GetAt(1)->Refs, std::vector<std::uint32_t>({3, 9}));
}

TEST(HandBack, RecordsCarryNumberClassKindTextAndFirstReference) {
    MessageLog log;
    log.AddMessage(400, MSG_ERROR, REF_NONE, L"无足够的内存来分配");
    log.AddMessage(430, MSG_WARNING, REF_STATIONS, L"two stations", 7, 8);
    TavexTest::SettingsRecord settings;
    settings->Messages.push_back(_MESSAGE{}); // stale content is replaced
    HandBackMessages(log, *settings);
    ASSERT_EQ(settings->Messages.size(), 2u);
    const _MESSAGE& error = settings->Messages[0];
    EXPECT_EQ(+error.Code, 400);
    EXPECT_EQ(+error.Class, 1);
    EXPECT_EQ(+error.RefKind, 1);
    EXPECT_STREQ(error.Text, "无足够的内存来分配");
    EXPECT_EQ(+error.Ref, 0);
    EXPECT_EQ(+settings->Messages[1].Ref, 7) << "only the first attached number is handed back";
}

TEST(HandBack, LongTextsAreCutAt260BytesAndZeroTerminated) {
    MessageLog log;
    log.AddMessage(1, MSG_WARNING, REF_NONE, CKZString(std::wstring(300, L'x')));
    log.AddMessage(2, MSG_WARNING, REF_NONE, CKZString(std::wstring(100, L'测'))); // 300 bytes
    TavexTest::SettingsRecord settings;
    HandBackMessages(log, *settings);
    const _MESSAGE& ascii = settings->Messages[0];
    EXPECT_EQ(std::string(ascii.Text), std::string(260, 'x'));
    EXPECT_EQ(ascii.Text[260], '\0');
    const std::string chinese(settings->Messages[1].Text);
    EXPECT_EQ(chinese.size(), 258u) << "86 whole characters; none is split";
}

TEST(HandBack, WorksOnARecordWhoseVectorIsNotAligned) {
    // A host that allocates the record normally puts the vector 4 bytes off
    // an 8-byte boundary; the kernel must cope without touching it in place.
    alignas(8) unsigned char storage[sizeof(_SETTINGS) + 8];
    std::memset(storage, 0, sizeof storage);
    // A zeroed std::vector is a valid empty vector in this standard library.
    auto* settings = reinterpret_cast<_SETTINGS*>(storage);
    MessageLog log;
    log.AddMessage(9, MSG_ERROR, REF_NONE, L"misaligned");
    HandBackMessages(log, *settings);
    HandBackMessages(log, *settings);
    std::vector<_MESSAGE> copy;
    std::memcpy(static_cast<void*>(&copy), &settings->Messages, sizeof copy);
    ASSERT_EQ(copy.size(), 1u);
    EXPECT_STREQ(copy[0].Text, "misaligned");
    std::vector<_MESSAGE> empty;
    std::memcpy(static_cast<void*>(&settings->Messages), &empty, sizeof empty);
    // copy now owns the storage and frees it.
}

} // namespace
} // namespace Tavex
