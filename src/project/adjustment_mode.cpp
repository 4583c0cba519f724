#include "project/adjustment_mode.h"

#include "geodesy/projection_factory.h"

namespace Tavex {

namespace {

enum class Frame { Zero, Grid, Gps, GpsAfterReplacement };

// One row of the mode table. Projection: 1 yes, 0 no; frameless: 1 yes, 0
// no, -1 not asked (a map projection decides alone).
struct ModeRule {
    int projection;
    int frameless;
    bool tc, gc, to, go;
    int mode;
    Frame frame;
};

constexpr ModeRule kRules[] = {
    {0, 0, true, false, true, false, 1, Frame::Zero},
    {0, 0, true, true, true, true, 4, Frame::Zero},
    {0, 0, true, true, false, true, 7, Frame::Zero},
    {1, -1, true, false, true, false, 2, Frame::Grid},
    {1, -1, true, true, true, true, 5, Frame::Grid},
    {1, -1, true, true, false, true, 8, Frame::Grid},
    {0, 1, true, true, true, false, 3, Frame::Gps},
    {0, 1, true, true, true, true, 6, Frame::Gps},
    {0, 1, false, true, false, true, 9, Frame::Gps},
    {0, 0, false, true, false, true, 9, Frame::GpsAfterReplacement},
    {1, -1, false, true, false, true, 9, Frame::GpsAfterReplacement},
};

// The GPS frame: the kind of the GPS coordinates, except that geocentric
// kind 1 in a 1D or 2D network falls back to frame 0.
int GpsFrame(const ProjectState& p) {
    if (p.GPSCoordType == 1 && (p.Dimension == 1 || p.Dimension == 2))
        return 0;
    return p.GPSCoordType;
}

// Replaces the map projection by the frame without projection on ellipsoid
// code 21.
void ReplaceProjection(ProjectState& p) {
    const CEllipsoid frame(ELLIPSOID_FRAME_REPLACED);
    p.CurrentProjection = pGetNewProjection(PROJECTION_NONE, 0, 0, 0, 0, 1.0, 0, 0, &frame);
    p.ProjectionType = PROJECTION_NONE;
    p.EllipsoidCode = ELLIPSOID_FRAME_REPLACED;
}

} // namespace

int DetermineAdjMode(ProjectState& p, bool replaceProjection) {
    const int projection = p.ProjectionType != 0 ? 1 : 0;
    const int frameless = (p.EllipsoidCode == ELLIPSOID_FRAME_GEOGRAPHIC ||
                           p.EllipsoidCode == ELLIPSOID_FRAME_REPLACED)
                              ? 1
                              : 0;
    const bool tc = p.TerCoord != 0, gc = p.GPSCoord != 0, to = p.TerObserv != 0,
               go = p.GPSObserv != 0;
    for (const ModeRule& rule : kRules) {
        if (rule.projection != projection || (rule.frameless >= 0 && rule.frameless != frameless))
            continue;
        if (rule.tc != tc || rule.gc != gc || rule.to != to || rule.go != go)
            continue;
        // A GPS-only project on a map projection with GPS coordinates of kind
        // 2 has no mode.
        if (rule.projection == 1 && rule.frame == Frame::GpsAfterReplacement && p.GPSCoordType == 2)
            break;
        p.AdjMode = rule.mode;
        switch (rule.frame) {
        case Frame::Zero:
            p.CoordFrame = 0;
            break;
        case Frame::Grid:
            p.CoordFrame = kFrameGridOfProjection;
            break;
        case Frame::Gps:
            p.CoordFrame = GpsFrame(p);
            break;
        case Frame::GpsAfterReplacement:
            if (replaceProjection)
                ReplaceProjection(p);
            p.CoordFrame = GpsFrame(p);
            break;
        }
        return 1;
    }
    p.AdjMode = 0;
    return 0;
}

} // namespace Tavex
