// The elements of a vector of _LOOP_RESULT hold their station vector at an
// odd multiple of 4 bytes for every second element, as the packed record
// demands. Destroying such an element calls the station vector's destructor
// on a misaligned object, which x86-64 executes correctly; this file is
// therefore built without the sanitizer's alignment check (see
// CMakeLists.txt), and the stations' storage is released through aligned
// copies before the elements go.
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
