#include "project/observation.h"

namespace Tavex {

bool CObservation::IsSingleStation() const {
    if (RecordKind == RECORD_ONE_STATION)
        return true;
    bool anyReading = false;
    for (int i = 0; i < 3; ++i) {
        if (Type[i] == OBS_NONE)
            continue;
        anyReading = true;
        if (Type[i] != OBS_GPS_COORDINATE && Type[i] != OBS_LOCAL_COORDINATE)
            return false;
    }
    return anyReading;
}

} // namespace Tavex
