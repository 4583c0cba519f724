#include "geodesy/kz_string.h"
#include "geodesy/text_encoding.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

TEST(TextEncoding, Utf8RoundTripKeepsChineseAndAstralCharacters) {
    const std::wstring text = L"测站 A-1 \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(L"错误"), "\xE9\x94\x99\xE8\xAF\xAF");
}

TEST(TextEncoding, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(FromUtf8("\xE9\x94"), L"\xFFFD\xFFFD"); // truncated sequence
    EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\xFFFD\xFFFD"); // overlong slash
}

TEST(TextEncoding, Utf16UsesSurrogatePairsAboveTheBasicPlane) {
    EXPECT_EQ(ToUtf16(L"\U0001F600"), std::u16string(u"\xD83D\xDE00"));
}

TEST(TextEncoding, FixedFieldStopsAtTheFieldEndWithoutTerminator) {
    const char field[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(FixedField(field, sizeof field), "ABCD");
    const char shorter[4] = {'A', 0, 'C', 'D'};
    EXPECT_EQ(FixedField(shorter, sizeof shorter), "A");
}

TEST(TextEncoding, CopyToFixedFieldNeverSplitsACharacter) {
    char field[5];
    CopyToFixedField("ab错", field, sizeof field); // 2 + 3 bytes do not fit in 4
    EXPECT_STREQ(field, "ab");
    CopyToFixedField("abcdef", field, sizeof field);
    EXPECT_STREQ(field, "abcd");
}

TEST(KZString, FormatTakesWideStringsForPercentS) {
    CKZString s;
    s.Format(L"%s %u %hs|%-*s|%*.*f", L"测站", 7u, "gon", 5, L"ab", 8, 3, 3.14159);
    EXPECT_EQ(s.wstr(), L"测站 7 gon|ab   |   3.142");
}

TEST(KZString, EditingOperations) {
    CKZString s(L"  Station 12  ");
    s.Trim();
    EXPECT_EQ(s.wstr(), L"Station 12");
    EXPECT_EQ(s.Left(7).wstr(), L"Station");
    EXPECT_EQ(s.Mid(8).wstr(), L"12");
    EXPECT_EQ(s.Find(L'1'), 8);
    EXPECT_EQ(s.Find(L"tion"), 3);
    EXPECT_EQ(s.ReverseFind(L't'), 3);
    EXPECT_EQ(s.Find(L'x'), -1);
    EXPECT_EQ(s.GetAtU(100), 0);
    EXPECT_EQ(CKZString(L"Meter").CompareNoCase(L"METER"), 0);
    EXPECT_STREQ(static_cast<const char*>(CKZString(L"测站")), "测站");
}

} // namespace
} // namespace Tavex
