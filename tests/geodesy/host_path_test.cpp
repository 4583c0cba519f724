#include "geodesy/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace Tavex {
namespace {

std::string RoundTrip(const std::string& bytes) {
    return ToPathBytes(FromHostPath(bytes.c_str(), bytes.size() + 1));
}

TEST(HostPath, BytesComeBackExactly) {
    EXPECT_EQ(RoundTrip("/data/M\xFCller/"), "/data/M\xFCller/");
    EXPECT_EQ(RoundTrip("/data/M\xC3\xBCller/"), "/data/M\xC3\xBCller/");         // UTF-8 as it is
    EXPECT_EQ(RoundTrip("/\xE6\xB5\x8B/\xE6\xB5"), "/\xE6\xB5\x8B/\xE6\xB5");     // cut sequence
    EXPECT_EQ(RoundTrip("\xED\xB2\x80\xC0\xAF\xFF"), "\xED\xB2\x80\xC0\xAF\xFF"); // never UTF-8
}

TEST(HostPath, AFullFieldIsReadToItsEnd) {
    const char field[4] = {'a', 'b', '\xFC', '\xE6'};
    EXPECT_EQ(ToPathBytes(FromHostPath(field, sizeof field)), std::string(field, 4));
}

TEST(HostPath, KeptBytesShowAsReplacementCharactersInText) {
    const std::wstring path = FromHostPath("M\xFCller", 8);
    EXPECT_EQ(ToUtf8(path), "M\xEF\xBF\xBDller");
    EXPECT_TRUE(IsValidUtf8(ToUtf8(path)));
}

} // namespace
} // namespace Tavex
