// The kernel's observation list: one CObservation per accepted record, with
// up to three readings, and the type codes all parts of the kernel share.
#ifndef TAVEX_PROJECT_OBSERVATION_H
#define TAVEX_PROJECT_OBSERVATION_H

#include "platform/typed_ptr_array.h"
#include "project/record_form.h"

#include <cstdint>

namespace Tavex {

class CTestBase;
struct _OBSERVATION;

// Observation type codes, one per reading.
enum ObservationType : std::uint16_t {
    OBS_NONE = 0,
    OBS_DIRECTION = 1,
    OBS_DISTANCE = 2,
    OBS_ZENITH = 3,
    OBS_AZIMUTH = 4,
    OBS_HEIGHT_DIFFERENCE = 5,
    OBS_GPS_BASELINE = 6,
    OBS_GPS_COORDINATE = 7,
    OBS_RESERVED_TH = 8,
    OBS_GEOMETRIC_RELATION = 9,
    OBS_LOCAL_COORDINATE = 10,
};

// Geometric relations that name only the record's two stations.
enum RelationSub : std::uint16_t {
    RELATION_DOUBLE_DISTANCE = 9,
    RELATION_TAPE_DISTANCE = 11,
};

// Observation record kinds of the boundary interface.
enum ObservationRecordKind : int {
    RECORD_ONE_READING = 4,
    RECORD_ONE_READING_SHORT = 5,
    RECORD_THREE_READINGS_NO_CODE = 6,
    RECORD_ONE_STATION = 7,
    RECORD_THREE_READINGS = 100,
};

class CObservation : public CObject {
public:
    std::uint16_t Off[3] = {0, 0, 0};  // nonzero: reading switched off
    std::uint16_t Type[3] = {0, 0, 0}; // ObservationType per reading
    std::uint16_t Sub[3] = {0, 0, 0};  // set number, group or component
    unsigned Station = 0;
    unsigned Target = 0; // 0 for single-station records
    unsigned Station3 = 0;
    unsigned Station4 = 0;
    double StationHeight = 0.0;
    double TargetHeight = 0.0;
    double Reading[3] = {0.0, 0.0, 0.0}; // radians or metres
    double Precision[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    std::uint16_t DistanceCode = 0;
    double CentringStation = 0.0;
    double HeightErrStation = 0.0;
    double CentringTarget = 0.0;
    double HeightErrTarget = 0.0;
    unsigned VarGroup = 0;
    CTestBase* TTest = nullptr;
    CTestBase* WTest = nullptr;

    // Kernel additions. Record: the record's number, counting the records
    // of every SetObservations call since Initialize in order (the first
    // call's positions 1..n1, the second call's n1 + 1..n1 + n2, ...).
    // Records of unknown kinds are skipped, so this can differ from the
    // observation's index; everything handed back to the host names the
    // record by this number. Host: the host's record itself, where the
    // results go back. Form: what the record holds (record_form.h).
    unsigned Record = 0;
    _OBSERVATION* Host = nullptr;
    // The set number of the direction in slot 1 as the record gave it: the
    // sets of every station are numbered from it anew whenever a call adds
    // records, so that sets of several calls keep apart.
    std::uint16_t RecordSet = 0;
    int RecordKind = 0;
    RecordForm Form = RecordForm::Invalid;

    bool IsGpsBaseline() const { return Type[0] == OBS_GPS_BASELINE && Off[0] == 0; }
    bool IsGpsCoordinate() const { return Type[0] == OBS_GPS_COORDINATE && Off[0] == 0; }
    bool IsGps() const { return IsGpsBaseline() || IsGpsCoordinate(); }
    bool HasDirection() const { return Type[0] == OBS_DIRECTION && Off[0] == 0; }
    bool HasDistance() const { return Type[1] == OBS_DISTANCE && Off[1] == 0; }
    bool HasZenith() const { return Type[2] == OBS_ZENITH && Off[2] == 0; }
    // Whether the record speaks of one station only (no target is read).
    bool IsSingleStation() const { return IsSingleStationForm(Form); }
};

// The observation list. It always holds an empty slot at index 0, so that
// observation number k is element k.
class CObsPtrArray : public CTypedPtrArray<CObservation> {
public:
    CObsPtrArray() { Add(nullptr); }
    // Deletes every observation and puts the empty slot back.
    void Clear() {
        RemoveAll();
        Add(nullptr);
    }
    // The number of observations (without the empty slot).
    int Count() const { return GetSize() - 1; }
};

} // namespace Tavex

#endif
