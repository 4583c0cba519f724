// Observed local coordinates: coordinates of stations in a local system (a
// site grid, a construction system) that the network ties in through a
// transformation whose parameters are unknowns of kind 12.
//
// The network side of the transformation is the tangent plane at a fixed
// origin: the geocentric mean of the approximate positions of the stations
// that carry local coordinates, with its east, north and up axes. A point P
// has tangent coordinates t = (e, n, u) = R (X_P − X_O). For the plane
// components P is the station's foot point on the ellipsoid, so that plane
// coordinates do not depend on height (as those of a site grid or a map do
// not); for the spatial similarity P is the station plus its instrument
// height along its up direction. The transformation types and their
// parameters (sub-codes):
//   1  height shift:   H = h + c21
//   2  plane similarity: E = c1 + c4 (cos c3 · e − sin c3 · n),
//                        N = c2 + c4 (sin c3 · e + cos c3 · n)
//   3  spatial similarity: (E, N, H) = (c11, c12, c13) + c17 Rz(c16) Ry(c15)
//      Rx(c14) t, the rotations about the east, north and up axes
//   4  types 2 and 1 together
// with h the point's ellipsoidal height, shifts in metres, rotations in
// radians (anticlockwise seen from the axis' positive end) and scales
// dimensionless. The tangent plane is the network's own frame, free of any
// map projection: the similarity's scale and rotation take up the grid's
// scale and convergence wherever a site lies.
#ifndef TAVEX_ENGINE_LOCAL_FRAME_H
#define TAVEX_ENGINE_LOCAL_FRAME_H

#include <cstdint>

namespace Tavex {

enum LocalParameter : std::uint16_t {
    LOCAL_SHIFT_EAST = 1,
    LOCAL_SHIFT_NORTH = 2,
    LOCAL_ROTATION = 3,
    LOCAL_SCALE = 4,
    SPATIAL_SHIFT_EAST = 11,
    SPATIAL_SHIFT_NORTH = 12,
    SPATIAL_SHIFT_UP = 13,
    SPATIAL_ROTATION_EAST = 14,
    SPATIAL_ROTATION_NORTH = 15,
    SPATIAL_ROTATION_UP = 16,
    SPATIAL_SCALE = 17,
    LOCAL_HEIGHT_SHIFT = 21,
};
inline constexpr int kLocalParameterSlots = 22; // indexed by sub-code

enum LocalTransformationType : int {
    LOCAL_BY_DIMENSION = 0,
    LOCAL_HEIGHT = 1,
    LOCAL_PLANE = 2,
    LOCAL_SPATIAL = 3,
    LOCAL_PLANE_AND_HEIGHT = 4,
};

// The parameters of a type in numbering order; count 0 for an unknown type.
struct LocalParameterList {
    std::uint16_t sub[7] = {};
    int count = 0;
};
inline LocalParameterList LocalParameters(int type) {
    switch (type) {
    case LOCAL_HEIGHT:
        return {{LOCAL_HEIGHT_SHIFT}, 1};
    case LOCAL_PLANE:
        return {{LOCAL_SHIFT_EAST, LOCAL_SHIFT_NORTH, LOCAL_ROTATION, LOCAL_SCALE}, 4};
    case LOCAL_SPATIAL:
        return {{SPATIAL_SHIFT_EAST, SPATIAL_SHIFT_NORTH, SPATIAL_SHIFT_UP, SPATIAL_ROTATION_EAST,
                 SPATIAL_ROTATION_NORTH, SPATIAL_ROTATION_UP, SPATIAL_SCALE},
                7};
    case LOCAL_PLANE_AND_HEIGHT:
        return {
            {LOCAL_SHIFT_EAST, LOCAL_SHIFT_NORTH, LOCAL_ROTATION, LOCAL_SCALE, LOCAL_HEIGHT_SHIFT},
            5};
    default:
        return {};
    }
}

// What a parameter measures, for its unit in reports: shifts are lengths,
// rotations angles, scales numbers.
enum class LocalParameterUnit { Length, Angle, Scale };
inline LocalParameterUnit LocalParameterUnitOf(std::uint16_t sub) {
    switch (sub) {
    case LOCAL_ROTATION:
    case SPATIAL_ROTATION_EAST:
    case SPATIAL_ROTATION_NORTH:
    case SPATIAL_ROTATION_UP:
        return LocalParameterUnit::Angle;
    case LOCAL_SCALE:
    case SPATIAL_SCALE:
        return LocalParameterUnit::Scale;
    default:
        return LocalParameterUnit::Length;
    }
}

// Whether a type transforms the height component (else the plane ones).
inline bool LocalTypeCovers(int type, bool height) {
    if (type == LOCAL_SPATIAL || type == LOCAL_PLANE_AND_HEIGHT)
        return true;
    return height ? type == LOCAL_HEIGHT : type == LOCAL_PLANE;
}

// The tangent frame of a run (type 0: the run has no local coordinates).
struct LocalFrame {
    int type = 0;
    double origin[3] = {0.0, 0.0, 0.0}; // geocentric, metres
    double axis[3][3] = {};             // rows: east, north, up unit vectors at the origin
};

} // namespace Tavex

#endif
