#include "geodesy/coord_array.h"

#include <cmath>
#include <limits>

namespace Tavex {

int CKZCoordArr::Add(const CKZCoord* point) {
    if (point == nullptr)
        return -1;
    points_.push_back(*point);
    return GetSize() - 1;
}

CKZCoord CKZCoordArr::GetAt(int i) const {
    if (i < 0 || i >= GetSize()) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return CKZCoord(nan, nan);
    }
    return points_[static_cast<std::size_t>(i)];
}

short CKZCoordArr::nDraaiRichting() const {
    const std::size_t n = points_.size();
    if (n < 3)
        return 0;
    // Twice the signed area as a fan of triangles from point 0:
    //   2A = sum over i of (p_i - p_0) x (p_(i+1) - p_0),
    // and the sum of the magnitudes of the products, which bounds its
    // rounding error.
    const CKZCoord& origin = points_[0];
    double twiceArea = 0;
    double magnitude = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double x1 = points_[i].x - origin.x, y1 = points_[i].y - origin.y;
        const double x2 = points_[i + 1].x - origin.x, y2 = points_[i + 1].y - origin.y;
        twiceArea += x1 * y2 - y1 * x2;
        magnitude += std::fabs(x1 * y2) + std::fabs(y1 * x2);
    }
    if (!std::isfinite(twiceArea) || !std::isfinite(magnitude))
        return 0;
    // Each product and sum adds at most a few units of rounding per term;
    // the differences to point 0 one more each.
    const double roundingBound =
        4.0 * static_cast<double>(n) * std::numeric_limits<double>::epsilon() * magnitude;
    if (std::fabs(twiceArea) <= roundingBound)
        return 0;
    return twiceArea > 0 ? 1 : -1;
}

} // namespace Tavex
