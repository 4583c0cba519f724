// What an approximate-coordinate run hands back into the host's station
// records: per station (element s for station s) the computed position and
// height, each with whether it was computed.
#ifndef TAVEX_COGO_COGO_RESULT_H
#define TAVEX_COGO_COGO_RESULT_H

#include <vector>

namespace Tavex {

struct CogoStationResult {
    bool horizontal = false;
    bool height = false;
    double lat = 0.0, lon = 0.0; // radians
    double h = 0.0;              // metres
};

using CogoResults = std::vector<CogoStationResult>;

} // namespace Tavex

#endif
