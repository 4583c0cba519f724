#include "loops/loop_legs.h"

#include <algorithm>
#include <numeric>

namespace Tavex {

namespace {

bool On(const CObservation& o, int slot, std::uint16_t type) {
    return o.Type[slot] == type && o.Off[slot] == 0;
}

bool CompleteBaseline(const CObservation& o) {
    for (int i = 0; i < 3; ++i)
        if (!On(o, i, OBS_GPS_BASELINE) || o.Sub[i] != i)
            return false;
    return true;
}

// Whether the record is of the family at all (before its readings are
// judged usable).
bool OfFamily(const CObservation& o, LoopFamily family) {
    switch (family) {
    case LoopFamily::Gps:
        // A baseline with every component switched off is no observation.
        return o.Form == RecordForm::GpsBaseline &&
               (On(o, 0, OBS_GPS_BASELINE) || On(o, 1, OBS_GPS_BASELINE) ||
                On(o, 2, OBS_GPS_BASELINE));
    case LoopFamily::Traverse:
        return LegDistanceSlot(o) >= 0;
    case LoopFamily::Height:
        return o.Form == RecordForm::OneReading && On(o, 0, OBS_HEIGHT_DIFFERENCE);
    case LoopFamily::Trigonometric:
        return o.Form == RecordForm::TotalStation && o.HasDistance() && o.HasZenith();
    }
    return false;
}

bool StationsUsable(const ProjectState& p, const CObservation& o) {
    const auto usable = [&](unsigned s) {
        return s >= 1 && s <= p.StationCount && !p.Stations[s].Excluded;
    };
    return !o.IsSingleStation() && o.Station != o.Target && usable(o.Station) && usable(o.Target);
}

} // namespace

int LegDistanceSlot(const CObservation& o) {
    if (o.Form == RecordForm::TotalStation && o.HasDistance())
        return 1;
    if (o.Form == RecordForm::OneReading && On(o, 0, OBS_DISTANCE))
        return 0;
    return -1;
}

bool GivesLeg(const CObservation& o, LoopFamily family) {
    if (!OfFamily(o, family))
        return false;
    switch (family) {
    case LoopFamily::Gps:
        return CompleteBaseline(o);
    case LoopFamily::Traverse:
    case LoopFamily::Trigonometric:
        return o.Reading[LegDistanceSlot(o)] > 0.0;
    case LoopFamily::Height:
        return true;
    }
    return false;
}

long LegTable::Find(std::uint32_t a, std::uint32_t b) const {
    if (a > b)
        std::swap(a, b);
    // Binary search over the pairs sorted by (first, second).
    std::size_t lo = 0, hi = first.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (first[mid] < a || (first[mid] == a && second[mid] < b))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < first.size() && first[lo] == a && second[lo] == b ? static_cast<long>(lo) : -1;
}

LegTable CollectLegs(const ProjectState& p, LoopFamily family) {
    // (pair, observation) for every usable observation, sorted by pair and
    // then by list position.
    struct Entry {
        std::uint32_t a, b, observation;
    };
    std::vector<Entry> entries;
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o == nullptr || !GivesLeg(*o, family) || !StationsUsable(p, *o))
            continue;
        entries.push_back({std::min(o->Station, o->Target), std::max(o->Station, o->Target),
                           static_cast<std::uint32_t>(k)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
        if (x.a != y.a)
            return x.a < y.a;
        if (x.b != y.b)
            return x.b < y.b;
        return x.observation < y.observation;
    });

    LegTable legs;
    legs.observations.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == 0 || entries[i].a != entries[i - 1].a || entries[i].b != entries[i - 1].b) {
            legs.first.push_back(entries[i].a);
            legs.second.push_back(entries[i].b);
            legs.start.push_back(static_cast<std::uint32_t>(i));
        }
        legs.observations.push_back(entries[i].observation);
    }
    legs.start.push_back(static_cast<std::uint32_t>(entries.size()));
    return legs;
}

std::vector<std::uint32_t> LeftOutOfLegs(const ProjectState& p, LoopFamily family) {
    std::vector<std::uint32_t> records;
    for (int k = 1; k < p.Observations.GetSize(); ++k) {
        const CObservation* o = p.Observations.GetAt(k);
        if (o != nullptr && OfFamily(*o, family) && StationsUsable(p, *o) && !GivesLeg(*o, family))
            records.push_back(o->Record);
    }
    return records;
}

} // namespace Tavex
