#include "testing/test_records.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

bool CHTest::Rejected(double criticalW) const {
    return std::fabs(w[0]) <= criticalW && std::fabs(w[1]) <= criticalW &&
           std::fabs(w[2]) > criticalW;
}

void CTestList::Insert(const CTest& entry) {
    auto at = entries_.begin();
    while (at != entries_.end() && at->ratio > entry.ratio)
        ++at;
    entries_.insert(at, entry);
}

void CTestList::Truncate(std::size_t length) {
    if (entries_.size() > length)
        entries_.resize(length);
}

std::vector<RankedIndex> TopTen(std::vector<RankedIndex> candidates) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const RankedIndex& a, const RankedIndex& b) { return a.key > b.key; });
    if (candidates.size() > 10)
        candidates.resize(10);
    return candidates;
}

} // namespace Tavex
