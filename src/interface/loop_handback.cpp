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

} // namespace Tavex
