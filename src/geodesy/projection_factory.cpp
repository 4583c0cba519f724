#include "geodesy/projection_factory.h"

#include "geodesy/projection_none.h"
#include "geodesy/projection_stereographic.h"
#include "tavex/tavex.h"

#include <cmath>

namespace Tavex {

std::unique_ptr<COutputSystem> pGetNewProjection(int projectionType, double d1, double d2,
                                                 double d3, double d4, double d5, double d6,
                                                 double d7, const CEllipsoid* ellipsoid) {
    if (ellipsoid == nullptr || !ellipsoid->IsValid())
        return nullptr;
    for (const double d : {d1, d2, d3, d4, d5, d6, d7})
        if (!std::isfinite(d))
            return nullptr;
    switch (projectionType) {
    case PROJECTION_NONE:
        return std::make_unique<CProjection_NONE>(*ellipsoid);
    case PROJECTION_LOCAL_STEREOGRAPHIC:
        return CProjection_STEREOGRAPHIC::Create(*ellipsoid, d1, d2, d5, d7, d6);
    default:
        return nullptr;
    }
}

} // namespace Tavex
