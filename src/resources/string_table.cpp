#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace Tavex {

namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// Sorted by number; see the data file for the numbering rules.
// clang-format off
constexpr StringEntry kStrings[] = {
#include "resources/string_table_data.inc"
#include "resources/string_table_added.inc"
};
// clang-format on

constexpr bool IsSortedAndUnique() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    return true;
}
static_assert(IsSortedAndUnique(), "string table entries must be sorted by number, each once");

} // namespace

std::string_view StringTableText(int id) {
    const auto at = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringEntry& e, int key) { return e.id < key; });
    if (at == std::end(kStrings) || at->id != id)
        return {};
    return at->text;
}

int StringTableEnd() {
    return std::size(kStrings) == 0 ? 0 : std::rbegin(kStrings)->id + 1;
}

} // namespace Tavex
