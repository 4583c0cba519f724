#include "messages/shorten_path.h"

#include <gtest/gtest.h>

namespace Tavex {
namespace {

std::wstring Shorten(const wchar_t* path, int n) {
    return ShortenPath(path, n).wstr();
}

TEST(ShortenPath, DropsLeadingDirectoriesUntilRootAndRestFit) {
    EXPECT_EQ(Shorten(L"C:\\a\\b\\c\\file.txt", 12), L"C:\\....\\c\\file.txt");
    EXPECT_EQ(Shorten(L"C:\\a\\b\\c\\file.txt", 20), L"C:\\a\\b\\c\\file.txt");
    EXPECT_EQ(Shorten(L"C:\\a\\b\\c\\file.txt", 16), L"C:\\a\\b\\c\\file.txt");
    EXPECT_EQ(Shorten(L"C:\\a\\b\\c\\file.txt", 15), L"C:\\....\\b\\c\\file.txt");
}

TEST(ShortenPath, KeepsTheFileNameEvenWhenItAloneIsTooLong) {
    EXPECT_EQ(Shorten(L"C:\\dir\\averyveryverylongname.txt", 5),
              L"C:\\....\\averyveryverylongname.txt");
}

TEST(ShortenPath, NetworkPathsKeepTheServer) {
    EXPECT_EQ(Shorten(L"\\\\server\\share\\dir\\net.out", 19), L"\\\\server\\....\\dir\\net.out");
    EXPECT_EQ(Shorten(L"\\\\server", 3), L"\\\\server");
}

TEST(ShortenPath, SlashPathsUseSlashes) {
    EXPECT_EQ(Shorten(L"/home/surveyor/projects/bridge/net.out", 20), L"/..../bridge/net.out");
    EXPECT_EQ(Shorten(L"net.out", 3), L"net.out");
}

} // namespace
} // namespace Tavex
