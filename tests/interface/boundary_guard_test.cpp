// No exception crosses the exported interface: the guard every exported
// function runs its work through turns them into messages and a result of 0.
#include "interface/boundary_guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace Tavex {
namespace {

std::string Utf8Text(const MessageLog& log, int index) {
    return log.Messages().GetAt(index)->Text.Utf8();
}

TEST(BoundaryGuard, WorkThatSucceedsKeepsItsResultAndLogsNothing) {
    MessageLog log;
    EXPECT_EQ(CatchAtBoundary(log, [] { return 7; }), 7);
    int calls = 0;
    CatchAtBoundary(log, [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log.Count(), 0);
}

TEST(BoundaryGuard, OutOfMemoryBecomesError401) {
    MessageLog log;
    EXPECT_EQ(CatchAtBoundary(log, []() -> int { throw std::bad_alloc(); }), 0);
    ASSERT_EQ(log.Count(), 1);
    EXPECT_EQ(log.Messages().GetAt(0)->Code, 401);
    EXPECT_EQ(log.Messages().GetAt(0)->Class, MSG_ERROR);
}

TEST(BoundaryGuard, OtherFailuresBecomeError738SayingWhat) {
    MessageLog log;
    EXPECT_EQ(CatchAtBoundary(log, []() -> int { throw std::runtime_error("row 12 lost"); }), 0);
    EXPECT_EQ(CatchAtBoundary(log, []() -> int { throw std::out_of_range("index"); }), 0);
    EXPECT_EQ(CatchAtBoundary(log, []() -> int { throw 42; }), 0);
    CatchAtBoundary(log, []() { throw std::logic_error("void work"); });
    ASSERT_EQ(log.Count(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(log.Messages().GetAt(k)->Code, 738);
        EXPECT_EQ(log.Messages().GetAt(k)->Class, MSG_ERROR);
    }
    EXPECT_NE(Utf8Text(log, 0).find("row 12 lost"), std::string::npos) << Utf8Text(log, 0);
    EXPECT_NE(Utf8Text(log, 1).find("index"), std::string::npos);
    EXPECT_NE(Utf8Text(log, 3).find("void work"), std::string::npos);
}

TEST(BoundaryGuard, ResultOfAnotherTypeComesBackValueInitialised) {
    MessageLog log;
    EXPECT_EQ(CatchAtBoundary(log, []() -> double { throw std::runtime_error("x"); }), 0.0);
    EXPECT_EQ(CatchAtBoundary(log, []() -> std::string { throw std::bad_alloc(); }), "");
    EXPECT_EQ(log.Count(), 2);
}

} // namespace
} // namespace Tavex
