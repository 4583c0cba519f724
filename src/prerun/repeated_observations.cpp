#include "prerun/repeated_observations.h"

#include "engine/observation_model.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace Tavex {

namespace {

bool SameStations(const ObservationRow& a, const ObservationRow& b) {
    return a.from == b.from && a.to == b.to;
}
bool Reversed(const ObservationRow& a, const ObservationRow& b) {
    return a.from == b.to && a.to == b.from;
}
// The distance kind two repeated distances must share: horizontal (codes 1
// and 3, a tape distance of a relation) or slant (codes 0 and 2, which mean
// the same). A distance reduced to the horizon with its zenith angle is
// compared with a measured horizontal distance: both are the line's length
// in the horizon of its middle, the value the adjustment uses.
bool IsHorizontal(const ObservationRow& row) {
    return row.kind == ROW_RELATION || row.IsHorizontalDistance();
}

int TitleOf(std::uint16_t kind) {
    switch (kind) {
    case ROW_DIRECTION:
        return STR_CHECK_DIRECTIONS;
    case ROW_DISTANCE:
        return STR_CHECK_DISTANCES;
    case ROW_ZENITH:
        return STR_CHECK_ZENITH_ANGLES;
    case ROW_AZIMUTH:
        return STR_CHECK_AZIMUTHS;
    case ROW_HEIGHT_DIFFERENCE:
        return STR_CHECK_HEIGHT_DIFFERENCES;
    case ROW_GPS_BASELINE:
        return STR_CHECK_GPS_BASELINES;
    case ROW_GPS_COORDINATE:
        return STR_CHECK_GPS_COORDINATES;
    case ROW_TRIG_HEIGHT:
        return STR_CHECK_TRIG_HEIGHTS;
    default:
        return 0;
    }
}

class RepeatedChecks {
public:
    RepeatedChecks(const ProjectState& p, const std::vector<CheckRow>& rows, double k,
                   CVelnikResultsPtrArray& results)
        : p_(p), rows_(rows), k_(k), results_(results), units_(UnitsOf(p)),
          handled_(rows.size(), 0) {}

    void Run();

private:
    // The value a row is compared by: a height difference from mark to mark,
    // a distance times its group's initial scale factor, a zenith angle in
    // the first face (a second-face repeat of a first-face reading is no
    // contradiction).
    double Value(const CheckRow& r) const;
    double Scale(const CheckRow& r) const;
    // Whether b belongs to the group that a starts.
    bool Matches(const CheckRow& a, const CheckRow& b) const;
    // b's value minus a's, with b turned into a's sense where the kind runs
    // both ways, angles around 0.
    double Difference(const CheckRow& a, const CheckRow& b) const;
    double Normalised(const CheckRow& a, const CheckRow& b) const {
        return std::fabs(Difference(a, b)) / std::sqrt(a.sigma * a.sigma + b.sigma * b.sigma);
    }
    // Reports the group (indices into rows_) when two members differ
    // significantly; returns whether it did.
    bool Group(const std::vector<std::size_t>& members, int title, int kind);
    void Directions(std::size_t first);
    void Series(const std::vector<std::size_t>& directions);

    // The rows that may match each other share a bucket: the kind's class,
    // the pair of stations either way round (the station of directions and
    // GPS coordinates) and the component; each bucket in row order.
    using Key = std::tuple<int, std::uint32_t, std::uint32_t, std::uint16_t>;
    Key KeyOf(const CheckRow& r) const;

    const ProjectState& p_;
    const std::vector<CheckRow>& rows_;
    double k_;
    CVelnikResultsPtrArray& results_;
    ReportUnits units_;
    std::vector<char> handled_;
    std::map<Key, std::vector<std::size_t>> buckets_;
};

RepeatedChecks::Key RepeatedChecks::KeyOf(const CheckRow& r) const {
    const ObservationRow& row = *r.row;
    const std::uint32_t low = std::min(row.from, row.to), high = std::max(row.from, row.to);
    switch (row.kind) {
    case ROW_DIRECTION:
        return {ROW_DIRECTION, row.from, 0, 0};
    case ROW_GPS_COORDINATE:
        return {ROW_GPS_COORDINATE, row.from, 0, row.sub};
    case ROW_RELATION: // a tape distance is compared with the distances
        return {ROW_DISTANCE, low, high, 0};
    case ROW_GPS_BASELINE:
        return {ROW_GPS_BASELINE, low, high, row.sub};
    default:
        return {row.kind, low, high, 0};
    }
}

double RepeatedChecks::Scale(const CheckRow& r) const {
    const unsigned group = r.row->kind == ROW_DISTANCE ? r.row->sub : 0u;
    return group < kGroupCount ? p_.ScaleFactor[group] : 1.0;
}

double RepeatedChecks::Value(const CheckRow& r) const {
    const ObservationRow& row = *r.row;
    if (row.kind == ROW_HEIGHT_DIFFERENCE)
        return r.observed + r.observation->StationHeight - r.observation->TargetHeight;
    if (row.kind == ROW_DISTANCE || row.kind == ROW_RELATION)
        return Scale(r) * r.observed;
    if (row.kind == ROW_ZENITH)
        return FirstFaceZenith(r.observed);
    return r.observed;
}

bool RepeatedChecks::Matches(const CheckRow& a, const CheckRow& b) const {
    const ObservationRow& x = *a.row;
    const ObservationRow& y = *b.row;
    switch (x.kind) {
    case ROW_DISTANCE: {
        // Distances of the same kind between the same stations, a tape
        // distance of a relation among them.
        const bool distance =
            y.kind == ROW_DISTANCE || (y.kind == ROW_RELATION && y.sub == RELATION_TAPE_DISTANCE);
        return distance && (SameStations(x, y) || Reversed(x, y)) &&
               IsHorizontal(x) == IsHorizontal(y);
    }
    case ROW_ZENITH:
    case ROW_AZIMUTH:
    case ROW_TRIG_HEIGHT:
        return y.kind == x.kind && SameStations(x, y);
    case ROW_HEIGHT_DIFFERENCE:
        return y.kind == x.kind && (SameStations(x, y) || Reversed(x, y));
    case ROW_GPS_BASELINE:
        return y.kind == x.kind && y.sub == x.sub && (SameStations(x, y) || Reversed(x, y));
    case ROW_GPS_COORDINATE:
        return y.kind == x.kind && y.sub == x.sub && x.from == y.from;
    default:
        return false;
    }
}

double RepeatedChecks::Difference(const CheckRow& a, const CheckRow& b) const {
    const ObservationRow& x = *a.row;
    const ObservationRow& y = *b.row;
    switch (x.kind) {
    case ROW_DIRECTION:
    case ROW_AZIMUTH:
        return AroundZero(Value(b) - Value(a));
    case ROW_DISTANCE:
        // Both values scaled by the first one's factor.
        return Scale(a) * (b.observed - a.observed);
    case ROW_HEIGHT_DIFFERENCE:
    case ROW_GPS_BASELINE:
    case ROW_TRIG_HEIGHT:
        return Reversed(x, y) && !SameStations(x, y) ? -Value(b) - Value(a) : Value(b) - Value(a);
    default:
        return Value(b) - Value(a);
    }
}

bool RepeatedChecks::Group(const std::vector<std::size_t>& members, int title, int kind) {
    const std::size_t n = members.size();
    std::vector<unsigned> significant(n, 0);
    bool any = false;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (Normalised(rows_[members[i]], rows_[members[j]]) > k_) {
                ++significant[i];
                ++significant[j];
                any = true;
            }
    if (!any)
        return false;
    // The reference: fewest significant pairs, the first on a tie.
    const std::size_t reference = static_cast<std::size_t>(
        std::min_element(significant.begin(), significant.end()) - significant.begin());
    const CheckRow& ref = rows_[members[reference]];
    CVelnikChecks& block = results_.AddBlock(CHECK_REPEATED_OBSERVATIONS, kind, title);
    for (std::size_t i = 0; i < n; ++i) {
        const CheckRow& m = rows_[members[i]];
        const double w = i == reference ? 0.0 : Normalised(ref, m);
        auto* reported = new TXXML_PRERUNOBSERVATION(
            ReportedRow(p_, units_, m, Value(m), Difference(ref, m), w, w > k_,
                        kind == ROW_DISTANCE && m.row->auxiliary == DISTANCE_REDUCED));
        reported->reference = i == reference;
        block.observations.Add(reported);
        handled_[members[i]] = 1;
    }
    return true;
}

void RepeatedChecks::Series(const std::vector<std::size_t>& directions) {
    // The first direction of each series to each target. Every set number
    // is a series of its own.
    std::map<std::uint16_t, std::map<std::uint32_t, std::size_t>> series;
    for (const std::size_t i : directions)
        series[rows_[i].row->sub].emplace(rows_[i].row->to, i);
    struct Pair {
        std::uint16_t first, second;
    };
    std::vector<Pair> significant;
    std::map<std::uint16_t, unsigned> count;
    // Δ_T = r(s2, T) − r(s1, T) over the shared targets, and whether two of
    // them disagree.
    const auto shared = [&](std::uint16_t s1, std::uint16_t s2) {
        std::vector<std::pair<std::size_t, std::size_t>> both;
        for (const auto& [target, i] : series[s1]) {
            const auto at = series[s2].find(target);
            if (at != series[s2].end())
                both.emplace_back(i, at->second);
        }
        return both;
    };
    const auto delta = [&](const std::pair<std::size_t, std::size_t>& t) {
        return AroundZero(rows_[t.second].observed - rows_[t.first].observed);
    };
    const auto variance = [&](const std::pair<std::size_t, std::size_t>& t) {
        const double a = rows_[t.first].sigma, b = rows_[t.second].sigma;
        return a * a + b * b;
    };
    const auto disagree = [&](const std::pair<std::size_t, std::size_t>& a,
                              const std::pair<std::size_t, std::size_t>& b) {
        return std::fabs(AroundZero(delta(a) - delta(b))) / std::sqrt(variance(a) + variance(b)) >
               k_;
    };
    for (auto s1 = series.begin(); s1 != series.end(); ++s1)
        for (auto s2 = std::next(s1); s2 != series.end(); ++s2) {
            const auto both = shared(s1->first, s2->first);
            bool bad = false;
            for (std::size_t a = 0; a < both.size() && !bad; ++a)
                for (std::size_t b = a + 1; b < both.size() && !bad; ++b)
                    bad = disagree(both[a], both[b]);
            if (bad) {
                significant.push_back({s1->first, s2->first});
                ++count[s1->first];
                ++count[s2->first];
            }
        }
    if (significant.empty())
        return;
    CVelnikChecks& block =
        results_.AddBlock(CHECK_REPEATED_OBSERVATIONS, ROW_DIRECTION, STR_CHECK_SERIES);
    std::vector<char> explained(significant.size(), 0);
    for (std::size_t q = 0; q < significant.size(); ++q) {
        if (explained[q])
            continue;
        const Pair pair = significant[q];
        // The series in more disagreeing pairs is held responsible and
        // listed. On a tie (always so with two series) the disagreement
        // cannot be put on either series; the later one is listed rather
        // than reporting nothing, so that a detected contradiction never
        // leaves the check silent.
        const bool firstListed = count[pair.first] > count[pair.second];
        const std::uint16_t listed = firstListed ? pair.first : pair.second;
        for (std::size_t r = q; r < significant.size(); ++r)
            if (significant[r].first == listed || significant[r].second == listed || r == q)
                explained[r] = 1;
        // Its directions, each with the difference to the other series:
        // Δ_T = r(s2, T) − r(s1, T) when the first series is listed, −Δ_T
        // when the second one is. A direction is marked when its Δ_T
        // disagrees significantly with that of the target that disagrees
        // least (the first such target on a tie), which is its test value.
        const auto both = shared(pair.first, pair.second);
        std::vector<unsigned> conflicts(both.size(), 0);
        for (std::size_t a = 0; a < both.size(); ++a)
            for (std::size_t b = a + 1; b < both.size(); ++b)
                if (disagree(both[a], both[b])) {
                    ++conflicts[a];
                    ++conflicts[b];
                }
        const std::size_t reference = static_cast<std::size_t>(
            std::min_element(conflicts.begin(), conflicts.end()) - conflicts.begin());
        const double sign = firstListed ? 1.0 : -1.0;
        for (std::size_t a = 0; a < both.size(); ++a) {
            const double error = sign * delta(both[a]);
            const double w = a == reference
                                 ? 0.0
                                 : std::fabs(AroundZero(delta(both[a]) - delta(both[reference]))) /
                                       std::sqrt(variance(both[a]) + variance(both[reference]));
            const CheckRow& row = rows_[firstListed ? both[a].first : both[a].second];
            block.observations.Add(new TXXML_PRERUNOBSERVATION(
                ReportedRow(p_, units_, row, row.observed, error, w, w > k_, false)));
        }
    }
}

void RepeatedChecks::Directions(std::size_t first) {
    std::vector<std::size_t> directions;
    for (const std::size_t i : buckets_[KeyOf(rows_[first])])
        if (!handled_[i]) {
            directions.push_back(i);
            handled_[i] = 1;
        }
    // The same target twice in one series.
    std::vector<char> grouped(directions.size(), 0);
    for (std::size_t a = 0; a < directions.size(); ++a) {
        if (grouped[a])
            continue;
        std::vector<std::size_t> members = {directions[a]};
        for (std::size_t b = a + 1; b < directions.size(); ++b) {
            const ObservationRow& x = *rows_[directions[a]].row;
            const ObservationRow& y = *rows_[directions[b]].row;
            if (!grouped[b] && x.to == y.to && x.sub == y.sub) {
                members.push_back(directions[b]);
                grouped[b] = 1;
            }
        }
        if (members.size() > 1)
            Group(members, STR_CHECK_DIRECTIONS, ROW_DIRECTION);
    }
    Series(directions);
}

void RepeatedChecks::Run() {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        buckets_[KeyOf(rows_[i])].push_back(i);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (handled_[i])
            continue;
        const std::uint16_t kind = rows_[i].row->kind;
        if (kind == ROW_DIRECTION) {
            Directions(i);
            continue;
        }
        const int title = TitleOf(kind);
        if (title == 0)
            continue;
        std::vector<std::size_t> members = {i};
        for (const std::size_t j : buckets_[KeyOf(rows_[i])])
            if (j > i && !handled_[j] && Matches(rows_[i], rows_[j]))
                members.push_back(j);
        if (members.size() > 1)
            Group(members, title, kind);
    }
}

} // namespace

void CheckRepeatedObservations(const ProjectState& project, const std::vector<CheckRow>& rows,
                               double k, CVelnikResultsPtrArray& results) {
    RepeatedChecks(project, rows, k, results).Run();
}

} // namespace Tavex
