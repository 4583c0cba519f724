#include "interface/cogo_handback.h"

#include "project/station.h"

namespace Tavex {

namespace {

constexpr int kPresenceHorizontal = 0x03;
constexpr int kPresenceHeight = 0x0C;
constexpr int kStatusApproximate = 1;
constexpr int kClassComputed = 8;

// The horizontal pair in the record's form; false when the record has none
// or the grid has no image of the point.
bool WriteHorizontal(const ProjectState& p, const CogoStationResult& r, _STATIONADJ& record) {
    const int flags = record.CoordFlags;
    if (flags & COORD_FLAG_GEOGRAPHIC) {
        record.Coord1 = r.lat;
        record.Coord2 = r.lon;
        return true;
    }
    if (flags & COORD_FLAG_GRID) {
        double easting = 0.0, northing = 0.0;
        if (!p.CurrentProjection ||
            !p.CurrentProjection->LatLonToXY(r.lat, r.lon, &easting, &northing))
            return false;
        record.Coord1 = easting;
        record.Coord2 = northing;
        return true;
    }
    return false;
}

} // namespace

void HandBackApproximateCoordinates(ProjectState& p, const CogoResults& results) {
    if (p.StationRecords == nullptr)
        return;
    for (unsigned s = 1; s <= p.StationCount && s < results.size(); ++s) {
        const CogoStationResult& r = results[s];
        if (!r.horizontal && !r.height)
            continue;
        _STATIONADJ& record = p.StationRecords[s - 1];
        const int presence = record.Presence;
        if (record.CoordStatus == kStatusKnown) {
            if (r.horizontal && (presence & kPresenceHorizontal) != kPresenceHorizontal)
                WriteHorizontal(p, r, record);
            if (r.height && (presence & kPresenceHeight) == 0)
                record.Height = r.h;
            continue;
        }
        if (r.horizontal)
            WriteHorizontal(p, r, record);
        if (r.height)
            record.Height = r.h;
        record.CoordStatus = kStatusApproximate;
        record.CoordClass = kClassComputed;
    }
}

} // namespace Tavex
