#include "prerun/identical_observations.h"

#include "engine/row_weights.h"
#include "messages/string_loader.h"
#include "output/report_format.h"
#include "project/observation_codes.h"
#include "resources/string_ids.h"

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace Tavex {

namespace {

constexpr int kReadingWidth = 13;
constexpr double kLengthShare = 0.1; // stored distances must agree to a tenth

enum class RecordClass { None, TotalStation, SingleReading, HeightDifference, Baseline };

RecordClass ClassOf(const CObservation& o) {
    switch (o.Form) {
    case RecordForm::TotalStation:
        return RecordClass::TotalStation;
    case RecordForm::GpsBaseline:
        return RecordClass::Baseline;
    case RecordForm::OneReading:
        switch (o.Type[0]) {
        case OBS_DIRECTION:
        case OBS_DISTANCE:
        case OBS_ZENITH:
            return RecordClass::TotalStation;
        case OBS_HEIGHT_DIFFERENCE:
            return RecordClass::HeightDifference;
        default:
            return RecordClass::SingleReading;
        }
    default:
        return RecordClass::None;
    }
}

// The line length a height difference carries (kind 5), 0 when none.
double StoredDistance(const CObservation& o) {
    return o.RecordKind == RECORD_ONE_READING_SHORT ? o.Precision[3] : 0.0;
}

// A height difference from mark to mark.
double HeightValue(const CObservation& o) {
    return o.Reading[0] + o.StationHeight - o.TargetHeight;
}

void Append(std::string& key, const void* bytes, std::size_t size) {
    key.append(static_cast<const char*>(bytes), size);
}

// What two exact copies share: stations, class, the readings they hold and
// their values bit for bit.
std::string ExactKey(const CObservation& o, RecordClass c) {
    std::string key;
    const int cls = static_cast<int>(c);
    Append(key, &cls, sizeof cls);
    Append(key, &o.Station, sizeof o.Station);
    Append(key, &o.Target, sizeof o.Target);
    switch (c) {
    case RecordClass::TotalStation:
    case RecordClass::SingleReading:
        Append(key, o.Type, sizeof o.Type);
        Append(key, o.Off, sizeof o.Off);
        Append(key, o.Reading, sizeof o.Reading);
        Append(key, &o.StationHeight, sizeof o.StationHeight);
        Append(key, &o.TargetHeight, sizeof o.TargetHeight);
        break;
    case RecordClass::HeightDifference: {
        const double stored = StoredDistance(o);
        Append(key, &o.Reading[0], sizeof o.Reading[0]);
        Append(key, &stored, sizeof stored);
        break;
    }
    default:
        Append(key, o.Reading, sizeof o.Reading);
        break;
    }
    return key;
}

// Exactly one station shared, in one of the four arrangements.
bool ShareOneStation(const CObservation& r, const CObservation& s) {
    return (r.Station == s.Station && r.Target != s.Target) ||
           (r.Target == s.Target && r.Station != s.Station) ||
           (r.Station == s.Target && r.Target != s.Station) ||
           (r.Target == s.Station && r.Station != s.Target);
}

class IdenticalChecks {
public:
    IdenticalChecks(const ProjectState& p, const EngineState& e, double k,
                    CVelnikResultsPtrArray& results)
        : p_(p), e_(e), k_(k), results_(results), units_(UnitsOf(p)) {}

    void ExactCopies();
    void OtherLegs();

private:
    const CObservation& O(int k) const { return *p_.Observations.GetAt(k); }
    double HeightSigma(const CObservation& o) const;
    bool SameHeightDifference(const CObservation& r, const CObservation& s) const;
    bool SameBaseline(const CObservation& r, const CObservation& s) const;
    void Report(const std::vector<int>& group);
    TXXML_PRERUNOBSERVATIONRECORD RecordOf(const CObservation& o) const;

    const ProjectState& p_;
    const EngineState& e_;
    double k_;
    CVelnikResultsPtrArray& results_;
    ReportUnits units_;
};

double IdenticalChecks::HeightSigma(const CObservation& o) const {
    const StationGeometry& a =
        e_.geometry.size() > o.Station ? e_.geometry[o.Station] : StationGeometry{};
    const StationGeometry& b =
        e_.geometry.size() > o.Target ? e_.geometry[o.Target] : StationGeometry{};
    // The line's length where the record stores none: the stations' plane
    // distance from their approximate positions.
    const double length =
        std::hypot((a.lat - b.lat) * a.NorthScale(), (a.lon - b.lon) * a.EastScale());
    return HeightDifferenceSigma(o, 0, length);
}

bool IdenticalChecks::SameHeightDifference(const CObservation& r, const CObservation& s) const {
    const double bound = k_ * std::hypot(HeightSigma(r), HeightSigma(s));
    const double lr = StoredDistance(r), ls = StoredDistance(s);
    // The lengths must differ by less than a tenth of r's: without a stored
    // length on r nothing tells two legs apart, so no pair is taken.
    return std::fabs(HeightValue(r) - HeightValue(s)) < bound &&
           std::fabs(lr - ls) < kLengthShare * lr;
}

bool IdenticalChecks::SameBaseline(const CObservation& r, const CObservation& s) const {
    // The a-priori covariances in the frame of the components (centring at
    // the stations included); σ of the length along the baseline.
    // Centring errors are left out (zero), so the stations' frames only
    // turn them: a station outside the network (a 1D run has no baselines)
    // takes an empty frame.
    const auto at = [&](unsigned s) {
        return s < e_.geometry.size() ? e_.geometry[s] : StationGeometry{};
    };
    const auto covariance = [&](const CObservation& o) {
        const StationGeometry to = at(o.Target);
        return GpsCovariance(o, at(o.Station), &to, 0.0, 0.0, 0.0, 0.0);
    };
    const Covariance3 cr = covariance(r), cs = covariance(s);
    const auto length = [](const CObservation& o) {
        return std::hypot(o.Reading[0], o.Reading[1], o.Reading[2]);
    };
    const auto lengthVariance = [&](const CObservation& o, const Covariance3& c) {
        const double l = std::max(length(o), 1e-32);
        double v = 0.0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                v += o.Reading[i] / l * c.c[i][j] * o.Reading[j] / l;
        return v;
    };
    if (!(std::fabs(length(r) - length(s)) <
          k_ * std::sqrt(lengthVariance(r, cr) + lengthVariance(s, cs))))
        return false;
    // Components by absolute value, so that a baseline stored with its
    // stations swapped still matches.
    for (int c = 0; c < 3; ++c)
        if (!(std::fabs(std::fabs(r.Reading[c]) - std::fabs(s.Reading[c])) <
              k_ * std::sqrt(cr.c[c][c] + cs.c[c][c])))
            return false;
    return true;
}

TXXML_PRERUNOBSERVATIONRECORD IdenticalChecks::RecordOf(const CObservation& o) const {
    TXXML_PRERUNOBSERVATIONRECORD out;
    out.station = p_.Stations[o.Station].Name;
    out.target = p_.Stations[o.Target].Name;
    out.stationNumber = o.Station;
    out.targetNumber = o.Target;
    out.recordNumber = o.Record;
    out.record.Format(L"%u", o.Record);
    const RecordClass c = ClassOf(o);
    for (int i = 0; i < 3; ++i) {
        if (o.Type[i] == OBS_NONE)
            continue;
        out.code[i] = ObservationCode(o.Type[i], o.Sub[i]);
        switch (c) {
        case RecordClass::Baseline:
            out.reading[i] = LengthField(units_, o.Reading[i], kReadingWidth, 4);
            break;
        case RecordClass::HeightDifference:
            out.reading[i] = LengthField(units_, o.Reading[i], kReadingWidth, 5);
            break;
        default: {
            const bool angle =
                o.Type[i] == OBS_DIRECTION || o.Type[i] == OBS_ZENITH || o.Type[i] == OBS_AZIMUTH;
            out.reading[i] =
                angle ? AngleField(units_, o.Reading[i], kReadingWidth, AngleUse::Direction)
                      : LengthField(units_, o.Reading[i], kReadingWidth);
            break;
        }
        }
    }
    if (c == RecordClass::HeightDifference) // the stored distance beside it
        out.reading[1] = LengthField(units_, StoredDistance(o), kReadingWidth, 3);
    return out;
}

void IdenticalChecks::Report(const std::vector<int>& group) {
    CVelnikChecks& block =
        results_.AddBlock(CHECK_IDENTICAL_OBSERVATIONS, 0, STR_HEADING_IDENTICAL_OBSERVATIONS);
    for (const int k : group)
        block.observationRecords.Add(new TXXML_PRERUNOBSERVATIONRECORD(RecordOf(O(k))));
}

void IdenticalChecks::ExactCopies() {
    // Groups by key, in the order of their first record.
    std::map<std::string, std::vector<int>> byKey;
    std::vector<const std::vector<int>*> order;
    for (int k = 1; k < p_.Observations.GetSize(); ++k) {
        const CObservation& o = O(k);
        const RecordClass c = ClassOf(o);
        if (c == RecordClass::None)
            continue;
        auto [at, inserted] = byKey.try_emplace(ExactKey(o, c));
        at->second.push_back(k);
        if (inserted)
            order.push_back(&at->second);
    }
    for (const std::vector<int>* group : order)
        if (group->size() > 1)
            Report(*group);
}

void IdenticalChecks::OtherLegs() {
    // The height differences and baselines at every station.
    std::vector<std::vector<int>> atStation(p_.StationCount + 1);
    for (int k = 1; k < p_.Observations.GetSize(); ++k) {
        const RecordClass c = ClassOf(O(k));
        if (c != RecordClass::HeightDifference && c != RecordClass::Baseline)
            continue;
        atStation[O(k).Station].push_back(k);
        if (O(k).Target != O(k).Station)
            atStation[O(k).Target].push_back(k);
    }
    std::vector<char> flagged(static_cast<std::size_t>(p_.Observations.GetSize()), 0);
    for (int r = 1; r < p_.Observations.GetSize(); ++r) {
        const CObservation& o = O(r);
        const RecordClass c = ClassOf(o);
        if (flagged[r] || (c != RecordClass::HeightDifference && c != RecordClass::Baseline))
            continue;
        flagged[r] = 1;
        // Later records at either station, each once, in record order.
        std::vector<int> candidates;
        for (const unsigned station : {o.Station, o.Target})
            for (const int s : atStation[station])
                if (s > r)
                    candidates.push_back(s);
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        std::vector<int> group = {r};
        for (const int s : candidates) {
            const CObservation& t = O(s);
            if (flagged[s] || ClassOf(t) != c || !ShareOneStation(o, t))
                continue;
            const bool same = c == RecordClass::HeightDifference ? SameHeightDifference(o, t)
                                                                 : SameBaseline(o, t);
            if (same) {
                group.push_back(s);
                flagged[s] = 1;
            }
        }
        if (group.size() > 1)
            Report(group);
    }
}

} // namespace

void CheckIdenticalObservations(const ProjectState& project, const EngineState& engine, double k,
                                CVelnikResultsPtrArray& results) {
    IdenticalChecks checks(project, engine, k, results);
    checks.ExactCopies();
    checks.OtherLegs();
}

} // namespace Tavex
