#include "output/xml_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace Tavex {
namespace {

TEST(XmlText, OnlyXmlCharsPass) {
    EXPECT_TRUE(IsXmlChar(U'\t'));
    EXPECT_TRUE(IsXmlChar(U'\n'));
    EXPECT_TRUE(IsXmlChar(U'\r'));
    EXPECT_TRUE(IsXmlChar(U' '));
    EXPECT_TRUE(IsXmlChar(0xD7FF));
    EXPECT_TRUE(IsXmlChar(0xE000));
    EXPECT_TRUE(IsXmlChar(0xFFFD));
    EXPECT_TRUE(IsXmlChar(0x10FFFF));
    for (char32_t c : {0x0u, 0x1u, 0x1Fu, 0xD800u, 0xDFFFu, 0xFFFEu, 0xFFFFu, 0x110000u})
        EXPECT_FALSE(IsXmlChar(c)) << static_cast<unsigned>(c);
}

TEST(XmlText, ForbiddenCharactersBecomeReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(XmlText(std::wstring(L"a\0b", 3)), "a" + fffd + "b");
    EXPECT_EQ(XmlText(L"\xFFFF\x1B"), fffd + fffd);
    EXPECT_EQ(XmlText(L"测站\t1"), "\xE6\xB5\x8B\xE7\xAB\x99\t1");
    EXPECT_EQ(XmlTextFromUtf8("\xE6\xB5"), fffd + fffd); // truncated sequence
    EXPECT_EQ(XmlTextFromUtf8("ok\x07"), "ok" + fffd);
}

TEST(XmlText, RealsUseTheShortestExactDecimal) {
    EXPECT_EQ(XmlReal(0.1), "0.1");
    EXPECT_EQ(XmlReal(2147483647.0), "2147483647");
    EXPECT_EQ(XmlReal(-0.0), "-0");
    EXPECT_EQ(XmlReal(1e-7), "1e-07");
    EXPECT_EQ(XmlReal(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(XmlReal(-std::numeric_limits<double>::min()), "-2.2250738585072014e-308");
    EXPECT_EQ(XmlReal(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(XmlReal(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(XmlInteger(std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_EQ(XmlUnsigned(std::numeric_limits<unsigned long long>::max()), "18446744073709551615");
}

} // namespace
} // namespace Tavex
