#include "engine/local_coordinates.h"

#include "engine/geometry_refresh.h"
#include "engine/observation_model.h"
#include "geodesy/plane_similarity.h"
#include "project/settings_check.h"

#include <cmath>

namespace Tavex {

namespace {

int RefuseType(ProjectState& p, int type) {
    return SettingOutOfRange(p, "LocalTransfType", static_cast<double>(type));
}

// The tangent frame at the geocentric mean of the given stations.
void FrameAt(const ProjectState& p, const EngineState& e, const std::vector<unsigned>& stations,
             LocalFrame& frame) {
    const CEllipsoid& ellipsoid = p.CurrentProjection->GetEllipsoid();
    double mean[3] = {0.0, 0.0, 0.0};
    for (const unsigned s : stations) {
        const StationGeometry& g = e.geometry[s];
        double x[3];
        ellipsoid.EllToXYZ(g.lat, g.lon, g.h, x[0], x[1], x[2]);
        for (int k = 0; k < 3; ++k)
            mean[k] += x[k] / static_cast<double>(stations.size());
    }
    double lat = 0.0, lon = 0.0, h = 0.0;
    ellipsoid.XYZToEll(mean[0], mean[1], mean[2], lat, lon, h);
    const double sf = std::sin(lat), cf = std::cos(lat), sl = std::sin(lon), cl = std::cos(lon);
    const double axes[3][3] = {{-sl, cl, 0.0}, {-sf * cl, -sf * sl, cf}, {cf * cl, cf * sl, sf}};
    for (int k = 0; k < 3; ++k) {
        frame.origin[k] = mean[k];
        for (int j = 0; j < 3; ++j)
            frame.axis[k][j] = axes[k][j];
    }
}

} // namespace

int LocalTransformationType(const ProjectState& p) {
    if (p.LocalTransfType != LOCAL_BY_DIMENSION)
        return p.LocalTransfType;
    switch (p.Dimension) {
    case 1:
        return LOCAL_HEIGHT;
    case 2:
        return LOCAL_PLANE;
    default:
        return LOCAL_PLANE_AND_HEIGHT;
    }
}

int SetUpLocalFrame(ProjectState& p, EngineState& e) {
    e.localFrame = LocalFrame{};
    if (e.counts.localCoordinates == 0)
        return 1;
    const int type = LocalTransformationType(p);
    if (LocalParameters(type).count == 0)
        return RefuseType(p, type);
    std::vector<unsigned> stations;
    std::vector<bool> seen(p.StationCount + 1, false);
    for (std::size_t r = 1; r <= e.observationRows; ++r) {
        const ObservationRow& row = e.rows[r];
        if (row.kind != ROW_LOCAL_COORDINATE)
            continue;
        if (!LocalTypeCovers(type, row.sub == 2))
            return RefuseType(p, type);
        if (!seen[row.from]) {
            seen[row.from] = true;
            stations.push_back(row.from);
        }
    }
    e.localFrame.type = type;
    FrameAt(p, e, stations, e.localFrame);
    return 1;
}

void ApproximateLocalParameters(const ProjectState& p, const EngineState& e,
                                double (&values)[kLocalParameterSlots]) {
    for (double& v : values)
        v = 0.0;
    values[LOCAL_SCALE] = values[SPATIAL_SCALE] = 1.0;
    if (p.AdjDesign)
        return;
    // The tangent coordinates of each station with both plane components:
    // the plane rows' model at the identity transformation.
    RowParameters identity;
    identity.local = &e.localFrame;
    identity.localValue[LOCAL_SCALE] = identity.localValue[SPATIAL_SCALE] = 1.0;
    const EllipsoidConstants ellipsoid = ProjectEllipsoid(p);
    std::vector<PlanePair> pairs;
    for (std::size_t r = 1; r + 1 <= e.observationRows; ++r) {
        const ObservationRow& east = e.rows[r];
        const ObservationRow& north = e.rows[r + 1];
        if (east.kind != ROW_LOCAL_COORDINATE || east.sub != 0 ||
            north.kind != ROW_LOCAL_COORDINATE || north.sub != 1 || north.source != east.source)
            continue;
        const CObservation& o = *p.Observations.GetAt(static_cast<int>(east.source));
        RowGeometryInput input;
        input.from = &e.geometry[east.from];
        input.instrumentHeight = o.StationHeight;
        ObservationRow plane = east;
        plane.sub = 0;
        const double te = EvaluateRow(plane, input, identity, ellipsoid).value;
        plane.sub = 1;
        const double tn = EvaluateRow(plane, input, identity, ellipsoid).value;
        pairs.push_back({te, tn, o.Reading[0], o.Reading[1]});
    }
    const PlaneSimilarity fit = FitPlaneSimilarity(pairs);
    // A fit without scale (points that coincide) keeps the identity's.
    if (!(fit.scale > 0.0))
        return;
    const bool spatial = e.localFrame.type == LOCAL_SPATIAL;
    values[spatial ? SPATIAL_SHIFT_EAST : LOCAL_SHIFT_EAST] = fit.tx;
    values[spatial ? SPATIAL_SHIFT_NORTH : LOCAL_SHIFT_NORTH] = fit.ty;
    values[spatial ? SPATIAL_ROTATION_UP : LOCAL_ROTATION] = fit.rotation;
    values[spatial ? SPATIAL_SCALE : LOCAL_SCALE] = fit.scale;
}

} // namespace Tavex
