#include "engine/row_equation.h"

#include "engine/fill_system.h"
#include "engine/geometry_refresh.h"
#include "engine/number_unknowns.h"
#include "engine/row_weights.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

namespace {

// The first-face zenith angle the model gives between the row's points.
double ComputedZenith(const RowGeometryInput& input, double refraction,
                      const EllipsoidConstants& ellipsoid) {
    ObservationRow zenith;
    zenith.kind = ROW_ZENITH;
    RowParameters parameters;
    parameters.refraction = refraction;
    RowGeometryInput firstFace = input;
    firstFace.secondFace = false;
    return EvaluateRow(zenith, firstFace, parameters, ellipsoid).value;
}

class Lineariser {
public:
    Lineariser(const ProjectState& p, const EngineState& e, const ObservationRow& row)
        : p_(p), e_(e), row_(row), o_(*p.Observations.GetAt(static_cast<int>(row.source))),
          ellipsoid_(ProjectEllipsoid(p)), design_(p.AdjDesign != 0) {}

    RowEquation Equation();

private:
    double Value(std::uint32_t unknown, double fixed) const {
        return unknown != 0 ? e_.values[unknown] : fixed;
    }
    double Refraction(unsigned group) const {
        return group < kParameterGroups
                   ? Value(e_.index.refraction[group], FixedRefraction(p_, group))
                   : FixedRefraction(p_, group);
    }
    void Distance(RowEquation& q, const RowGeometryInput& input, double s, double centringFrom,
                  double centringTo, double heightFrom, double heightTo) const;
    void TrigonometricHeight(RowEquation& q, const RowGeometryInput& input, double s,
                             double heightFrom, double heightTo) const;

    const ProjectState& p_;
    const EngineState& e_;
    const ObservationRow& row_;
    const CObservation& o_;
    EllipsoidConstants ellipsoid_;
    bool design_;
};

void Lineariser::Distance(RowEquation& q, const RowGeometryInput& input, double s,
                          double centringFrom, double centringTo, double heightFrom,
                          double heightTo) const {
    // The computed value is floored so that the relative form never divides
    // by zero.
    q.computed = std::max(q.computed, kVarianceFloor);
    q.sigma = DistanceSigma(o_, row_.slot, s, centringFrom, centringTo);
    const int zenithSlot = FindSlot(o_, OBS_ZENITH);
    if (row_.kind == ROW_DISTANCE && row_.auxiliary == DISTANCE_REDUCED && zenithSlot >= 0) {
        // A slant distance reduced to the horizon with its zenith angle (a
        // design reduces the computed slant distance with the computed
        // zenith angle).
        const double k = Refraction(o_.Sub[zenithSlot]);
        const double slant = design_ ? s : q.observed;
        const double zenith = design_ ? ComputedZenith(input, k, ellipsoid_)
                                      : FirstFaceZenith(o_.Reading[zenithSlot]);
        const ReducedDistance reduced = ReduceToHorizontal(slant, zenith, k, p_.MeanEarthRadius);
        const double zenithSigma = ZenithSigma(o_, zenithSlot, s, heightFrom, heightTo);
        q.sigma = std::hypot(reduced.dS * q.sigma, reduced.dZ * zenithSigma);
        q.observed = reduced.value;
    }
    q.rowScale = 1.0 / q.computed;
    q.sigma /= q.computed;
    q.l = (q.observed - q.computed) / q.computed;
}

void Lineariser::TrigonometricHeight(RowEquation& q, const RowGeometryInput& input, double s,
                                     double heightFrom, double heightTo) const {
    const int zenithSlot = FindSlot(o_, OBS_ZENITH);
    const double k = Refraction(o_.Sub[zenithSlot]);
    const double slant = design_ ? s : o_.Reading[row_.slot];
    const double zenith =
        design_ ? ComputedZenith(input, k, ellipsoid_) : FirstFaceZenith(o_.Reading[zenithSlot]);
    const ReducedDistance dh = Tavex::TrigonometricHeight(slant, zenith, k, p_.MeanEarthRadius,
                                                          o_.StationHeight, o_.TargetHeight);
    q.observed = dh.value;
    const double distanceSigma = DistanceSigma(o_, row_.slot, s, 0.0, 0.0);
    const double zenithSigma = ZenithSigma(o_, zenithSlot, s, 0.0, 0.0);
    q.sigma = std::sqrt(std::pow(dh.dS * distanceSigma, 2) + std::pow(dh.dZ * zenithSigma, 2) +
                        heightFrom * heightFrom + heightTo * heightTo);
    q.l = q.observed - q.computed;
}

RowEquation Lineariser::Equation() {
    RowGeometryInput input;
    input.from = &e_.geometry[row_.from];
    input.to = row_.to != 0 ? &e_.geometry[row_.to] : nullptr;
    input.instrumentHeight = o_.StationHeight;
    input.targetHeight = o_.TargetHeight;
    input.meanEarthRadius = p_.MeanEarthRadius;
    // A design has no readings: every zenith angle is taken in the first face.
    input.secondFace = row_.kind == ROW_ZENITH && !design_ && IsSecondFace(o_.Reading[row_.slot]);
    RowEquation q;
    q.parameters = RowParametersOf(p_, e_, row_);
    q.model = EvaluateRow(row_, input, q.parameters, ellipsoid_);
    q.observed = o_.Reading[row_.slot];
    q.computed = q.model.value;

    const StationRec& from = p_.Stations[row_.from];
    const double centringFrom = Combined(from.CentringError, o_.CentringStation);
    const double heightFrom = Combined(from.HeightError, o_.HeightErrStation);
    const double centringTo =
        row_.to ? Combined(p_.Stations[row_.to].CentringError, o_.CentringTarget) : 0.0;
    const double heightTo =
        row_.to ? Combined(p_.Stations[row_.to].HeightError, o_.HeightErrTarget) : 0.0;
    // Length-dependent parts of the standard deviations take the distance
    // between the stations at the current values, which a design has too.
    const double s = input.to ? SlantDistance(input, ellipsoid_) : 0.0;

    switch (row_.kind) {
    case ROW_DIRECTION:
    case ROW_AZIMUTH:
        q.sigma = AngleSigma(o_, row_.slot, s, centringFrom, centringTo);
        q.l = WrapAngle(q.observed - q.computed);
        break;
    case ROW_ZENITH:
        q.sigma = ZenithSigma(o_, row_.slot, s, heightFrom, heightTo);
        q.l = q.observed - q.computed;
        break;
    case ROW_DISTANCE:
    case ROW_RELATION:
        Distance(q, input, s, centringFrom, centringTo, heightFrom, heightTo);
        break;
    case ROW_HEIGHT_DIFFERENCE:
        q.sigma = HeightDifferenceSigma(o_, row_.slot, s);
        q.l = q.observed - q.computed;
        break;
    case ROW_TRIG_HEIGHT:
        TrigonometricHeight(q, input, s, heightFrom, heightTo);
        break;
    case ROW_LOCAL_COORDINATE:
        q.sigma = LocalCoordinateSigma(o_, row_.slot, row_.slot == 2 ? heightFrom : centringFrom);
        q.l = q.observed - q.computed;
        break;
    case ROW_GPS_BASELINE:
    case ROW_GPS_COORDINATE:
        // The weight comes with the 3 x 3 block of the whole observation.
        q.l = q.observed - q.computed;
        break;
    default:
        break;
    }
    if (design_)
        q.l = 0.0;
    return q;
}

} // namespace

int FindSlot(const CObservation& o, std::uint16_t type) {
    for (int i = 0; i < 3; ++i)
        if (o.Type[i] == type && o.Off[i] == 0)
            return i;
    return -1;
}

RowParameters RowParametersOf(const ProjectState& p, const EngineState& e,
                              const ObservationRow& row) {
    const auto value = [&](std::uint32_t unknown, double fixed) {
        return unknown != 0 ? e.values[unknown] : fixed;
    };
    RowParameters parameters;
    const UnknownIndex& index = e.index;
    const unsigned group = row.kind == ROW_RELATION ? 0u : row.sub;
    const bool grouped = group < kParameterGroups;
    switch (row.kind) {
    case ROW_DIRECTION:
        parameters.orientation = value(index.Orientation(row.from, row.sub), 0.0);
        break;
    case ROW_DISTANCE:
    case ROW_RELATION:
        parameters.scale =
            grouped ? value(index.scale[group], FixedScale(p, group)) : FixedScale(p, group);
        break;
    case ROW_ZENITH:
        parameters.refraction = grouped ? value(index.refraction[group], FixedRefraction(p, group))
                                        : FixedRefraction(p, group);
        break;
    case ROW_AZIMUTH:
        parameters.azimuthOffset =
            grouped ? value(index.azimuthOffset[group], FixedAzimuthOffset(p, group))
                    : FixedAzimuthOffset(p, group);
        break;
    case ROW_LOCAL_COORDINATE:
        parameters.local = &e.localFrame;
        for (int sub = 1; sub < kLocalParameterSlots; ++sub)
            parameters.localValue[sub] = value(index.local[sub], 0.0);
        break;
    case ROW_GPS_BASELINE:
    case ROW_GPS_COORDINATE:
        // Without transformation unknowns the GPS frame is the network's.
        for (int sub = 1; sub <= kGpsParameters; ++sub)
            parameters.gps[sub] =
                GpsParameterCount(p, e) > 0 ? value(index.gps[sub], p.GPSTransfPar[sub]) : 0.0;
        break;
    default:
        break;
    }
    return parameters;
}

Covariance3 GpsRowCovariance(const ProjectState& p, const EngineState& e,
                             const ObservationRow& row) {
    const CObservation& o = *p.Observations.GetAt(static_cast<int>(row.source));
    const StationRec& from = p.Stations[row.from];
    const StationRec* to = row.to ? &p.Stations[row.to] : nullptr;
    return GpsCovariance(o, e.geometry[row.from], to ? &e.geometry[row.to] : nullptr,
                         Combined(from.CentringError, o.CentringStation),
                         Combined(from.HeightError, o.HeightErrStation),
                         to ? Combined(to->CentringError, o.CentringTarget) : 0.0,
                         to ? Combined(to->HeightError, o.HeightErrTarget) : 0.0);
}

RowEquation LineariseRow(const ProjectState& p, const EngineState& e, const ObservationRow& row) {
    return Lineariser(p, e, row).Equation();
}

} // namespace Tavex
