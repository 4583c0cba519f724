// A directory of the running test's own. CTest runs every test in a process
// of its own and several at once: tests that let the kernel write files
// must not share them.
#ifndef TAVEX_TESTS_SUPPORT_TEST_DIRECTORY_H
#define TAVEX_TESTS_SUPPORT_TEST_DIRECTORY_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace TavexTest {

// Creates TempDir/tavex_<suite>_<test> and returns it without a trailing
// '/' (the kernel appends the separator to the project directory).
inline std::string OwnTestDirectory() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string dir = ::testing::TempDir();
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    dir += std::string("tavex_") + test->test_suite_name() + "_" + test->name();
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace TavexTest

#endif
