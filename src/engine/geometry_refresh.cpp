#include "engine/geometry_refresh.h"

namespace Tavex {

EllipsoidConstants ProjectEllipsoid(const ProjectState& project) {
    const CEllipsoid& ellipsoid = project.CurrentProjection->GetEllipsoid();
    return {ellipsoid.dGetSemiMajAx(), ellipsoid.dGetEccentrSq()};
}

void RefreshGeometry(const ProjectState& p, EngineState& e) {
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    e.geometry.resize(p.StationCount + 1);
    const UnknownIndex& index = e.index;
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        const StationRec& station = p.Stations[s];
        const auto current = [&](const std::vector<std::uint32_t>& unknown, double given) {
            return s < unknown.size() && unknown[s] != 0 ? e.values[unknown[s]] : given;
        };
        e.geometry[s] = StationGeometry::At(ellipsoid, current(index.north, station.Lat),
                                            current(index.east, station.Lon),
                                            current(index.height, station.Height));
    }
}

} // namespace Tavex
