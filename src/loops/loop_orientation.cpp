#include "loops/loop_orientation.h"

#include "geodesy/coord_array.h"

#include <algorithm>

namespace Tavex {

void OrientLoop(const LoopNetwork& network, std::uint32_t* stations, std::size_t n) {
    if (!HasMapProjection(network))
        return;
    CKZCoordArr polygon;
    for (std::size_t i = 0; i < n; ++i) {
        CKZCoord point;
        if (!GridPosition(network, stations[i], point.x, point.y))
            return;
        polygon.Add(&point);
    }
    if (polygon.nDraaiRichting() == -1)
        std::reverse(stations, stations + n);
}

} // namespace Tavex
