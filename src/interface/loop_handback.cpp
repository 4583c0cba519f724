// Hands the loops back into the host's vector of _LOOP_RESULT. The record is
// padded to a multiple of 8 bytes, so every element, and the station vector
// at its start, is aligned; the stations are still copied through aligned
// storage, as every vector field of a packed record is.
#include "interface/loop_handback.h"

#include "platform/lend_vector.h"

namespace Tavex {

void ClearLoopResults(std::vector<_LOOP_RESULT>& loops) {
    for (_LOOP_RESULT& loop : loops) {
        LendVector<std::uint32_t> stations(&loop.Stations);
        std::vector<std::uint32_t>().swap(stations.get());
    }
    loops.clear();
}

void HandBackLoops(const CLoopResultsPtrArray& results, std::vector<_LOOP_RESULT>& loops) {
    for (int k = 0; k < results.GetSize(); ++k) {
        const CLoopResults& loop = *results.GetAt(k);
        // The record is built with an empty station vector, appended, and
        // its stations then copied element by element through aligned
        // storage.
        _LOOP_RESULT record{};
        record.Kind = loop.Kind;
        for (int i = 0; i < 3; ++i) {
            record.Misclosure[i] = loop.Misclosure[i];
            record.Test[i] = loop.Test[i];
            record.MisclosureLocal[i] = loop.MisclosureLocal[i];
            record.TestLocal[i] = loop.TestLocal[i];
        }
        record.Length = loop.Length;
        record.CriticalW = loop.CriticalW;
        loops.push_back(std::move(record));
        LendVector<std::uint32_t> stations(&loops.back().Stations);
        for (int s : loop.Stations)
            stations->push_back(static_cast<std::uint32_t>(s));
    }
}

} // namespace Tavex
