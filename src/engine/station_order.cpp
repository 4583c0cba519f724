#include "engine/station_order.h"

#include "engine/quotient_minimum_degree.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <cstdint>
#include <new>
#include <unordered_set>

namespace Tavex {

StationOrder StationOrder::FromStations(const std::vector<unsigned>& stations,
                                        unsigned stationTableSize) {
    StationOrder order;
    order.count = static_cast<unsigned>(stations.size());
    order.stationAt.assign(order.count + 1, 0);
    order.positionOf.assign(stationTableSize + 1, 0);
    for (unsigned p = 1; p <= order.count; ++p) {
        order.stationAt[p] = stations[p - 1];
        order.positionOf[stations[p - 1]] = p;
    }
    return order;
}

namespace {

// The distinct edges between ordered positions, in the order the rows first
// name them.
std::vector<StationPair> DistinctPositionPairs(const StationOrder& order,
                                               const std::vector<StationPair>& rowStations) {
    std::vector<StationPair> pairs;
    std::unordered_set<std::uint64_t> seen;
    const auto position = [&](unsigned station) {
        return station < order.positionOf.size() ? order.positionOf[station] : 0u;
    };
    for (const auto& [from, to] : rowStations) {
        const unsigned a = position(from), b = position(to);
        if (a == 0 || b == 0 || a == b)
            continue;
        const std::uint64_t key =
            (static_cast<std::uint64_t>(std::min(a, b)) << 32) | std::max(a, b);
        if (seen.insert(key).second)
            pairs.emplace_back(a, b);
    }
    return pairs;
}

void Warn(MessageLog& log, int code) {
    log.AddMessage(code, MSG_WARNING, REF_NONE, CStringL(code));
}

} // namespace

void ReorderStations(StationOrder& order, const std::vector<StationPair>& rowStations,
                     unsigned stationTableSize, MessageLog& log) {
    const unsigned n = order.count;
    if (n < 2)
        return;
    try {
        const std::vector<StationPair> pairs = DistinctPositionPairs(order, rowStations);
        if (2 * pairs.size() >
            static_cast<std::size_t>(kAdjacencyRoomPerStation) * stationTableSize) {
            Warn(log, STR_CANNOT_REORDER);
            return;
        }
        // Adjacency in compressed form over positions 1..n; each position's
        // neighbours in the order the pairs were found.
        std::vector<int> start(n + 2, 0);
        for (const auto& [a, b] : pairs) {
            ++start[a + 1];
            ++start[b + 1];
        }
        start[1] = 1;
        for (unsigned v = 1; v <= n; ++v)
            start[v + 1] += start[v];
        std::vector<int> adjacency(2 * pairs.size() + 1, 0);
        std::vector<int> next(start.begin(), start.end());
        for (const auto& [a, b] : pairs) {
            adjacency[next[a]++] = static_cast<int>(b);
            adjacency[next[b]++] = static_cast<int>(a);
        }

        const MinimumDegreeOrder qmd = QuotientMinimumDegree(static_cast<int>(n), start, adjacency);
        // The new position p receives the station that stood at perm(p).
        std::vector<unsigned> stationAt(n + 1, 0);
        for (unsigned p = 1; p <= n; ++p) {
            const int old = qmd.perm[p];
            if (old < 1 || old > static_cast<int>(n))
                return; // an incomplete ordering keeps the order as it is
            stationAt[p] = order.stationAt[static_cast<unsigned>(old)];
        }
        order.stationAt = std::move(stationAt);
        for (unsigned p = 1; p <= n; ++p)
            order.positionOf[order.stationAt[p]] = p;
    } catch (const std::bad_alloc&) {
        Warn(log, STR_NO_MEMORY_REORDER);
    }
}

} // namespace Tavex
