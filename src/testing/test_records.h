// Test records: the T-test of a group (a three-dimensional GPS observation
// or a known station), the antenna height test of a GPS group, and the
// ordered lists of rejected tests that reports and the statistics record
// read.
#ifndef TAVEX_TESTING_TEST_RECORDS_H
#define TAVEX_TESTING_TEST_RECORDS_H

#include <cstdint>
#include <memory>
#include <vector>

namespace Tavex {

class CTestBase {
public:
    virtual ~CTestBase() = default;
    double ratio = 0.0; // statistic over its critical value; rejected when above 1
};

class CTTest : public CTestBase {
public:
    std::uint32_t dimension = 0; // 1, 2 or 3
    double T = 0.0;
    double estimatedError[3] = {0.0, 0.0, 0.0};
};

// Direction tests of a three-dimensional GPS group along north, east, up.
class CHTest : public CTestBase {
public:
    double w[3] = {0.0, 0.0, 0.0};
    double mdb[3] = {0.0, 0.0, 0.0};
    double estimatedError[3] = {0.0, 0.0, 0.0};
    // An error of the antenna height shows in the up component alone.
    bool Rejected(double criticalW) const;
};

// One entry of a test list.
struct CTest {
    std::uint32_t index = 0; // observation or station number
    std::uint16_t kind = 0;  // row kind, or 30 for a station T-test
    std::uint16_t sub = 0;
    std::uint16_t dimension = 1;
    std::uint16_t component = 0;
    double value = 0.0;
    double ratio = 0.0;
    double estimatedError[3] = {0.0, 0.0, 0.0};
};

// Entries in descending ratio; a new entry goes before the first entry
// whose ratio is not larger, so among equal ratios the newest comes first.
class CTestList {
public:
    void Insert(const CTest& entry);
    void Truncate(std::size_t length);
    const std::vector<CTest>& Entries() const { return entries_; }

private:
    std::vector<CTest> entries_;
};

// Sort key and subject of a temporary (index, key) list: descending key,
// the first in table order winning ties.
struct RankedIndex {
    std::uint32_t index;
    double key;
};
// The entries with the ten largest keys, in decreasing order; ties keep
// table order.
std::vector<RankedIndex> TopTen(std::vector<RankedIndex> candidates);

} // namespace Tavex

#endif
