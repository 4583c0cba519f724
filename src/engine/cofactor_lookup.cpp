#include "engine/cofactor_lookup.h"

#include <algorithm>
#include <limits>

namespace Tavex {

double CofactorLookup::operator()(std::uint32_t i, std::uint32_t j) {
    if (!factor_.holdsCofactors)
        return CofactorElement(factor_, i, j, work_);
    const std::uint32_t row = std::max(i, j), column = std::min(i, j);
    const CompressedRows& L = factor_.L;
    const auto first = L.col.begin() + static_cast<std::ptrdiff_t>(L.Begin(row));
    const auto last = L.col.begin() + static_cast<std::ptrdiff_t>(L.End(row));
    const auto at = std::lower_bound(first, last, column);
    if (at == last || *at != column)
        return std::numeric_limits<double>::quiet_NaN();
    return L.val[static_cast<std::size_t>(at - L.col.begin())];
}

} // namespace Tavex
