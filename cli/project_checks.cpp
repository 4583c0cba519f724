// Checks that need the whole project: a parameter group, a GPS
// transformation parameter, a local transformation or a variance-component
// mode the network does not use would be silently ignored, so each is
// refused at its place.
#include "adjustment_frame.h"
#include "project_file.h"
#include "project_reader.h"

namespace TavexCli {

namespace {

// Which groups the network's readings use, per kind of additional
// parameter, as the kernel forms them: distances (with double and tape
// distances in scale group 0) in 2D and 3D; zenith angles that come with
// their distance in a total-station record (in 3D as readings, in 2D to
// reduce the distance, in 1D in the trigonometric height difference);
// azimuths in 2D and 3D.
struct GroupUse {
    std::array<bool, 10> scale{}, refraction{}, refractionEstimable{}, offset{};
};

GroupUse UsedGroups(const Project& project) {
    GroupUse use;
    const int dimension = project.settings.dimension;
    for (const Observation& o : project.observations) {
        switch (o.kind) {
        case ObservationKind::Distance:
            use.scale[o.group] = use.scale[o.group] || dimension >= 2;
            break;
        case ObservationKind::DoubleDistance:
        case ObservationKind::TapeDistance:
            use.scale[0] = use.scale[0] || dimension >= 2;
            break;
        case ObservationKind::TotalStation:
            if (o.distance && dimension >= 2)
                use.scale[o.group] = true;
            if (o.distance && o.zenith) {
                use.refraction[o.zenithGroup] = true;
                // Only zenith angles that are readings (3D) give the
                // coefficient an equation of its own.
                use.refractionEstimable[o.zenithGroup] =
                    use.refractionEstimable[o.zenithGroup] || dimension == 3;
            }
            break;
        case ObservationKind::Azimuth:
            use.offset[o.group] = use.offset[o.group] || dimension >= 2;
            break;
        default:
            break;
        }
    }
    return use;
}

void CheckGroups(const std::array<std::string, 10>& places, const std::array<int, 10>& free,
                 const std::array<bool, 10>& used, const std::array<bool, 10>& estimable,
                 const char* what) {
    for (std::size_t g = 0; g < places.size(); ++g) {
        if (places[g].empty())
            continue;
        if (!used[g])
            throw ProjectError(places[g], std::string("no observation the network uses has ") +
                                              what + " group " + std::to_string(g));
        if (free[g] && !estimable[g])
            throw ProjectError(places[g], std::string("the ") + what + " of group " +
                                              std::to_string(g) +
                                              " cannot be estimated: only zenith angles of a 3D "
                                              "network observe it");
    }
}

const char* ComponentName(std::size_t k) {
    static const char* const kNames[3] = {"east", "north", "height"};
    return kNames[k];
}

// Whether a transformation type carries the height, or the plane, part.
bool Covers(LocalTransformation type, bool height) {
    if (type == LocalTransformation::SpatialSimilarity ||
        type == LocalTransformation::PlaneSimilarityAndHeightShift)
        return true;
    return height ? type == LocalTransformation::HeightShift
                  : type == LocalTransformation::PlaneSimilarity;
}

LocalTransformation EffectiveType(const Settings& s) {
    if (s.localTransformation != LocalTransformation::ByDimension)
        return s.localTransformation;
    return s.dimension == 1   ? LocalTransformation::HeightShift
           : s.dimension == 2 ? LocalTransformation::PlaneSimilarity
                              : LocalTransformation::PlaneSimilarityAndHeightShift;
}

} // namespace

void Reader::CheckParameterGroups() const {
    const GroupUse use = UsedGroups(p_);
    const Settings& s = p_.settings;
    CheckGroups(scalePlaces_, s.scaleFree, use.scale, use.scale, "scale");
    CheckGroups(refractionPlaces_, s.refractionFree, use.refraction, use.refractionEstimable,
                "refraction");
    CheckGroups(offsetPlaces_, s.azimuthOffsetFree, use.offset, use.offset, "azimuth offset");
}

void Reader::CheckGpsTransformation() const {
    const int unknowns = GpsTransformationUnknowns(p_);
    for (int sub = 1; sub < kGpsParameterSlots; ++sub) {
        const std::string& place = gpsPlaces_[static_cast<std::size_t>(sub)];
        if (place.empty() || sub <= unknowns)
            continue;
        std::string why;
        if (InGpsFrame(p_.settings))
            why = "the GPS frame takes GPS observations as they are, without a transformation";
        else if (unknowns == 4)
            why = "with GPS baselines only, the transformation has three rotations and a scale";
        else
            why = "the network has no GPS observation its dimension uses";
        throw ProjectError(place + ".parameter",
                           std::string("no \"") + kGpsParameterNames[sub] + "\" to set: " + why);
    }
}

void Reader::CheckLocalTransformation() const {
    bool any = false;
    for (const Observation& o : p_.observations)
        any |= o.kind == ObservationKind::LocalCoordinates;
    const Settings& s = p_.settings;
    if (!any) {
        if (!localTransformationPlace_.empty())
            throw ProjectError(localTransformationPlace_, "the project has no local coordinates");
        return;
    }
    const int dimension = s.dimension;
    // A part the network cannot observe would leave its parameters singular.
    if (!localTransformationPlace_.empty() &&
        ((dimension == 1 && s.localTransformation != LocalTransformation::HeightShift) ||
         (dimension == 2 && s.localTransformation != LocalTransformation::PlaneSimilarity)))
        throw ProjectError(localTransformationPlace_,
                           dimension == 1 ? "a height network ties local heights in by "
                                            "\"height_shift\" only"
                                          : "a plane network ties local coordinates in by "
                                            "\"plane_similarity\" only");
    const LocalTransformation type = EffectiveType(s);
    for (const Observation& o : p_.observations) {
        if (o.kind != ObservationKind::LocalCoordinates)
            continue;
        for (std::size_t k = 0; k < 3; ++k) {
            const bool height = k == 2;
            // Components the dimension leaves out need no transformation.
            const bool used = height ? dimension != 2 : dimension != 1;
            if (o.local[k] && used && !Covers(type, height))
                throw ProjectError(o.where + "." + ComponentName(k),
                                   std::string("the local transformation (") +
                                       localTransformationPlace_ + ") has no " +
                                       (height ? "height shift" : "plane part"));
        }
    }
}

// Per set, the kernel re-weights only readings of observations with a
// variance_group other than 0 (double and tape distances and local
// coordinates keep their weights in every group).
void Reader::CheckVarianceGroups() const {
    if (p_.settings.varianceMode != VarianceMode::PerSet)
        return;
    for (const Observation& o : p_.observations)
        if (o.varianceGroup != 0 && o.kind != ObservationKind::DoubleDistance &&
            o.kind != ObservationKind::TapeDistance && o.kind != ObservationKind::LocalCoordinates)
            return;
    throw ProjectError(variancePlace_,
                       "\"per_set\" estimates a factor per variance_group, and no observation it "
                       "could re-weight has a variance_group other than 0");
}

} // namespace TavexCli
