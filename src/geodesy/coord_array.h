// CKZCoord and CKZCoordArr: plane points (x to the right, y up, metres) and
// an ordered list of them, read as a closed polygon.
#ifndef TAVEX_GEODESY_COORD_ARRAY_H
#define TAVEX_GEODESY_COORD_ARRAY_H

#include <vector>

namespace Tavex {

struct CKZCoord {
    CKZCoord() = default;
    CKZCoord(double xValue, double yValue) : x(xValue), y(yValue) {}
    double x = 0;
    double y = 0;
};

class CKZCoordArr {
public:
    // Appends a copy of *point; returns its index, or -1 for a null pointer.
    int Add(const CKZCoord* point);
    int GetSize() const { return static_cast<int>(points_.size()); }
    // The point at index i (0-based); a NaN point when i is out of range.
    CKZCoord GetAt(int i) const;

    // Turning direction of the closed polygon through the points in order,
    // from the sign of its shoelace area:
    //   +1 counter-clockwise, -1 clockwise,
    //   0 for fewer than 3 points, a non-finite point, or an area that is
    //     zero within the rounding of its own computation.
    // The area is summed from vectors relative to the first point, which
    // keeps it free of the cancellation that large coordinates would cause.
    short nDraaiRichting() const;

private:
    std::vector<CKZCoord> points_;
};

} // namespace Tavex

#endif
