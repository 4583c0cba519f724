#include "output/cogo_output.h"

namespace Tavex {

namespace {

TXXML_COGOSTATION StationRecord(const ProjectState& p, const CogoState& c, unsigned s) {
    TXXML_COGOSTATION r;
    r.name = p.Stations[s].Name;
    r.stationNumber = s;
    r.horizontal = c.computed[s] != 0;
    r.height = c.heightFlag[s] != 0;
    if (r.horizontal) {
        r.lat = c.lat[s];
        r.lon = c.lon[s];
        r.easting = c.plane[s].e;
        r.northing = c.plane[s].n;
    }
    if (r.height)
        r.h = c.height[s];
    return r;
}

std::vector<TXXML_COGORESIDUAL> Residuals(const ProjectState& p, const FitOutcome& fit,
                                          bool height) {
    std::vector<TXXML_COGORESIDUAL> list;
    for (const FitResidual& f : fit.stations) {
        TXXML_COGORESIDUAL r;
        r.name = p.Stations[f.station].Name;
        r.stationNumber = f.station;
        r.first = f.east;
        r.second = f.north;
        r.height = height ? f.height : 0.0;
        r.rejected = f.rejected;
        list.push_back(r);
    }
    return list;
}

} // namespace

TXXML_COGO CogoRecords(const ProjectState& p, const CogoState& c) {
    TXXML_COGO records;
    records.projected = c.projected;
    const bool needsPlane = p.Dimension != 1, needsHeight = p.Dimension != 2;
    for (unsigned s = 1; s <= c.n; ++s) {
        if (c.excluded[s])
            continue;
        const TXXML_COGOSTATION r = StationRecord(p, c, s);
        if (r.horizontal || r.height)
            records.stations.push_back(r);
        if ((needsPlane && !r.horizontal) || (needsHeight && !r.height))
            records.notComputed.push_back(r);
    }
    records.planeFit = c.planeFitTried;
    records.heightFit = c.heightFitTried;
    records.scale = c.planeFit.scale;
    records.rotation = c.planeFit.rotation;
    records.heightShift = c.heightFit.shift;
    if (c.planeFitTried)
        records.planeResiduals = Residuals(p, c.planeFit, false);
    if (c.heightFitTried)
        records.heightResiduals = Residuals(p, c.heightFit, true);
    return records;
}

} // namespace Tavex
