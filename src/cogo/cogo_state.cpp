#include "cogo/cogo_state.h"

namespace Tavex {

void SizeCogoState(CogoState& c, unsigned n) {
    c.n = n;
    const std::size_t size = static_cast<std::size_t>(n) + 1;
    c.computed.assign(size, 0);
    c.plane.assign(size, PlanePoint{});
    c.excluded.assign(size, 0);
    c.knownPlane.assign(size, PlanePoint{});
    c.knownHorizontal.assign(size, 0);
    c.approximate.assign(size, PlanePoint{});
    c.hasApproximate.assign(size, 0);
    c.heightFlag.assign(size, 0);
    c.height.assign(size, 0.0);
    c.knownHeight.assign(size, 0);
    c.knownHeightValue.assign(size, 0.0);
    c.gpsHeight.assign(size, 0.0);
    c.directionsAt.assign(size, {});
    c.distancesAt.assign(size, {});
    c.directionsTo.assign(size, {});
    c.lat.assign(size, 0.0);
    c.lon.assign(size, 0.0);
}

} // namespace Tavex
