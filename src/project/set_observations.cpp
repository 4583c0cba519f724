#include "project/set_observations.h"

#include "messages/string_loader.h"
#include "platform/packed_copy.h"
#include "project/adjustment_mode.h"
#include "project/setter_failure.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <vector>

namespace Tavex {

namespace {

constexpr std::uint16_t kDistanceCodeReduced = 3;

template <class Record>
void CopyReadings3(CObservation& o, const Record& r) {
    CopyFromPacked(o.Off, r.Off);
    CopyFromPacked(o.Type, r.Type);
    CopyFromPacked(o.Sub, r.Sub);
}

void CopyCentring(CObservation& o, const void* centring) {
    double c[4];
    CopyFromPacked(c, centring);
    o.CentringStation = c[0];
    o.HeightErrStation = c[1];
    o.CentringTarget = c[2];
    o.HeightErrTarget = c[3];
}

void FromKind100(CObservation& o, const _OBS_KIND100& r) {
    CopyReadings3(o, r);
    o.Station = r.Station;
    o.Target = r.Target;
    o.StationHeight = r.StationHeight;
    o.TargetHeight = r.TargetHeight;
    CopyFromPacked(o.Reading, r.Reading);
    CopyFromPacked(o.Precision, r.Precision);
    o.DistanceCode = o.Type[1] == OBS_DISTANCE ? kDistanceCodeReduced : r.DistanceCode;
    CopyCentring(o, r.Centring);
    o.VarGroup = r.VarGroup;
}

void FromKind6(CObservation& o, const _OBS_KIND6& r) {
    CopyReadings3(o, r);
    o.Station = r.Station;
    o.Target = r.Target;
    o.StationHeight = r.StationHeight;
    o.TargetHeight = r.TargetHeight;
    CopyFromPacked(o.Reading, r.Reading);
    CopyFromPacked(o.Precision, r.Precision);
    CopyCentring(o, r.Centring);
    o.VarGroup = r.VarGroup;
}

void FromKind4(CObservation& o, const _OBS_KIND4& r) {
    o.Off[0] = r.Off;
    o.Type[0] = r.Type;
    o.Sub[0] = r.Sub;
    o.Station = r.Station;
    o.Target = r.Target;
    o.StationHeight = r.StationHeight;
    o.TargetHeight = r.TargetHeight;
    o.Reading[0] = r.Reading;
    o.Precision[0] = r.Precision[0];
    o.Precision[1] = r.Precision[1];
    CopyCentring(o, r.Centring);
    o.VarGroup = r.VarGroup;
}

void FromKind5(CObservation& o, const _OBS_KIND5& r) {
    o.Off[0] = r.Off;
    o.Type[0] = r.Type;
    o.Sub[0] = r.Sub;
    o.Station = r.Station;
    o.Target = r.Target;
    o.Reading[0] = r.Reading;
    CopyFromPacked(o.Precision, r.Precision);
    o.VarGroup = r.VarGroup;
}

void FromKind7(CObservation& o, const _OBS_KIND7& r) {
    CopyReadings3(o, r);
    o.Station = r.Station;
    o.StationHeight = r.StationHeight;
    CopyFromPacked(o.Reading, r.Reading);
    // The record carries the three standard deviations at the places they
    // take in the precision block (sdX, rXY, sdY, rXZ, rYZ, sdZ).
    o.Precision[0] = r.Precision1;
    o.Precision[2] = r.Precision3;
    o.Precision[5] = r.Precision6;
    o.CentringStation = r.CentringStation;
    o.HeightErrStation = r.HeightErrStation;
    o.VarGroup = r.VarGroup;
}

} // namespace

CObservation* ObservationFromRecord(const _OBSERVATION& record) {
    auto o = std::make_unique<CObservation>();
    switch (record.Kind) {
    case RECORD_THREE_READINGS:
        FromKind100(*o, record.K100);
        break;
    case RECORD_THREE_READINGS_NO_CODE:
        FromKind6(*o, record.K6);
        break;
    case RECORD_ONE_READING:
        FromKind4(*o, record.K4);
        break;
    case RECORD_ONE_READING_SHORT:
        FromKind5(*o, record.K5);
        break;
    case RECORD_ONE_STATION:
        FromKind7(*o, record.K7);
        break;
    default:
        return nullptr;
    }
    o->RecordKind = record.Kind;
    o->Form = ClassifyRecord(record.Kind, o->Type, o->Sub);
    o->RecordSet = o->Sub[0];
    return o.release();
}

void NormaliseDirectionSets(CObsPtrArray& observations) {
    std::map<unsigned, std::uint16_t> smallestSet;
    for (int k = 1; k < observations.GetSize(); ++k) {
        const CObservation* o = observations.GetAt(k);
        if (o == nullptr || o->Type[0] != OBS_DIRECTION)
            continue;
        const auto [at, inserted] = smallestSet.emplace(o->Station, o->RecordSet);
        if (!inserted)
            at->second = std::min(at->second, o->RecordSet);
    }
    for (int k = 1; k < observations.GetSize(); ++k) {
        CObservation* o = observations.GetAt(k);
        if (o != nullptr && o->Type[0] == OBS_DIRECTION)
            o->Sub[0] = static_cast<std::uint16_t>(o->RecordSet - smallestSet[o->Station]);
    }
}

namespace {

// The presence flags from the whole observation list, so that a second call
// that appends only GPS records does not declare the terrestrial ones gone.
void SetPresenceFlags(ProjectState& p) {
    bool sawGps = false, sawTerrestrial = false;
    for (int k = 1; k < p.Observations.GetSize(); ++k)
        (p.Observations.GetAt(k)->IsGps() ? sawGps : sawTerrestrial) = true;
    p.TerObserv = sawTerrestrial ? 1 : 0;
    p.GPSObserv = sawGps ? 1 : 0;
    const bool frameless = p.EllipsoidCode == ELLIPSOID_FRAME_GEOGRAPHIC ||
                           p.EllipsoidCode == ELLIPSOID_FRAME_REPLACED;
    if (frameless)
        p.TerCoord = p.TerObserv;
    else
        p.GPSCoord = p.GPSObserv;
}

} // namespace

int TakeOverObservations(ProjectState& p, _OBSERVATION* records, unsigned n) {
    if (records == nullptr && n > 0) {
        // Nothing to read: the project stays as it was.
        p.Messages.AddMessage(STR_NULL_RECORD_ARRAY, MSG_WARNING, REF_NONE,
                              CStringL(STR_NULL_RECORD_ARRAY));
        return 0;
    }
    if (n > kMaxObservationRecords - p.RecordsTaken)
        return RefuseRecordCount(p, n, kMaxObservationRecords - p.RecordsTaken);
    // Everything is built aside first: when memory runs out, the call
    // stores nothing.
    try {
        std::vector<std::unique_ptr<CObservation>> taken;
        taken.reserve(n);
        for (unsigned k = 1; k <= n; ++k) {
            std::unique_ptr<CObservation> o(ObservationFromRecord(records[k]));
            if (!o)
                continue;
            o->Record = p.RecordsTaken + k;
            o->Host = &records[k];
            taken.push_back(std::move(o));
        }
        p.Observations.Reserve(static_cast<std::size_t>(p.Observations.GetSize()) + taken.size());
        for (std::unique_ptr<CObservation>& o : taken)
            p.Observations.Add(o.release());
    } catch (const std::bad_alloc&) {
        return RefuseForMemory(p, STR_OBJECT_OBSERVATION_LIST);
    }
    p.RecordsTaken += n;
    p.RowBound += 3 * static_cast<std::size_t>(n);
    SetPresenceFlags(p);
    DetermineAdjMode(p, true);
    NormaliseDirectionSets(p.Observations);
    return 1;
}

} // namespace Tavex
