// Tavex: geodetic network adjustment kernel.
//
// This is the one public header of libtavex. A host application fills the
// boundary records below in its own memory, hands them to the kernel with
// Initialize, SetStations and SetObservations, and then asks for runs
// (PreRun, Adjust, COGO, Loops). The kernel writes its results back into the
// same records, so the host keeps them alive and in place until its last run
// has returned.
//
// Binary interface. Every record is byte-packed: no padding, a double may
// start at any byte, integers are 32-bit little-endian, u16 is a 16-bit
// unsigned integer, text fields are 8-bit and zero-terminated within their
// array. Angles are radians and lengths metres unless a field says
// otherwise. The offsets are fixed and checked at compile time.
//
// Text. The kernel reads a text field (names, units) as UTF-8 when it is
// well-formed UTF-8, and otherwise as Latin-1 as a whole (each byte one
// character U+0000 to U+00FF), so that names written in a legacy 8-bit code
// page stay readable and distinct; a UTF-8 sequence cut short at the end of
// a full field is dropped. Path fields (ProjectDir and the three file names)
// are bytes, not text: the kernel opens exactly the bytes the host wrote,
// UTF-8 or not. Every text the kernel writes (messages, message
// file, reports, documents) is valid UTF-8; a message text is cut at 260
// bytes without splitting a character.
//
// Failure. No function throws. Runs return 0 when they fail, with their
// messages in _SETTINGS::Messages. SetStations and SetObservations take over
// their whole array or nothing: with more records than a project may hold
// (10 000 000 stations, 50 000 000 observation records) or without the
// memory for them they return 0, store nothing, and every later run fails
// until the next Initialize. An observation record whose type codes do not
// fit its kind (see _OBSERVATION) fails every run with message 735 naming
// it. A number in a record or a real-valued setting that is not finite or
// exceeds 1e9 in magnitude fails every run with message 714, 715 or 716
// naming the field; docs/limits.md lists every limit.
//
// Growable arrays. Three fields are std::vector objects shared by host and
// kernel. The binary interface reserves 16 bytes for them; on this platform a
// std::vector occupies 24 bytes, so a record holding one is 8 bytes longer and
// every field after the vector sits 8 bytes further on. Each record below
// says where that happens. The vectors are not aligned to 8 bytes inside the
// packed records; the kernel never calls member functions on them in place
// (see LendVector in the kernel sources) and a host that wants to stay clean
// under alignment sanitizers may copy them out the same way.
#ifndef TAVEX_TAVEX_H
#define TAVEX_TAVEX_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#if defined(TAVEX_BUILDING_LIBRARY)
#define TAVEX_API __attribute__((visibility("default")))
#else
#define TAVEX_API
#endif

namespace Tavex {

// ---------------------------------------------------------------------------
// Published codes of the geodesy layer.
// ---------------------------------------------------------------------------

// Ellipsoid codes for _SETTINGS::Ellipsoid.
enum EllipsoidCodes : int {
    ELLIPSOID_USER_DEFINED = 0,      // SemiMajAx and InvFlatt of the settings
    ELLIPSOID_WGS84 = 1,             // a = 6378137, 1/f = 298.257223563
    ELLIPSOID_GRS80 = 2,             // a = 6378137, 1/f = 298.257222101
    ELLIPSOID_BESSEL1841 = 3,        // a = 6377397.155, 1/f = 299.1528128
    ELLIPSOID_INTERNATIONAL1924 = 4, // a = 6378388, 1/f = 297
    ELLIPSOID_KRASSOVSKY1940 = 5,    // a = 6378245, 1/f = 298.3
    ELLIPSOID_IAG1975 = 6,           // a = 6378140, 1/f = 298.257
    ELLIPSOID_CGCS2000 = 7,          // a = 6378137, 1/f = 298.257222101
    // Frames without map projection: the stations are geographic on the
    // WGS 84 ellipsoid. 20 is chosen by a host; 21 is set by the kernel when
    // it replaces a map projection by the GPS frame.
    ELLIPSOID_FRAME_GEOGRAPHIC = 20,
    ELLIPSOID_FRAME_REPLACED = 21,
};

// Projection codes for _SETTINGS::Projection.
enum ProjectionCodes : int {
    // No map projection: station coordinates are latitude, longitude, height.
    PROJECTION_NONE = 0,
    // Local oblique stereographic grid, centred by the kernel on the mean of
    // the network's known (or all) grid stations.
    PROJECTION_LOCAL_STEREOGRAPHIC = 6,
};

// ---------------------------------------------------------------------------
// Window layer: the host gives the kernel a window that owns the progress
// dialog of a run. A handle that was never registered, or that was destroyed,
// is "not a window": the dialog then exists but shows nothing.
// ---------------------------------------------------------------------------

struct HWND__;
typedef HWND__* HWND;

struct WindowRect {
    int left;
    int top;
    int right;
    int bottom;
};

// What the host sees of the kernel's progress dialog. All texts are UTF-8.
// The calls arrive on the thread that runs the kernel, between computation
// steps; the host may draw (for example a progress bar on a terminal) but must
// not call a run of the kernel from inside them.
class TAVEX_API WindowSink {
public:
    virtual ~WindowSink();
    // The dialog was created and shown at the given rectangle (dialog units
    // of the progress dialog, centred on the owner's rectangle).
    virtual void DialogShown(const WindowRect& rect);
    virtual void DialogTitle(const char* text);
    virtual void DialogText(const char* text);
    // The bar's position within [lower, upper].
    virtual void DialogProgress(int position, int lower, int upper);
    virtual void DialogClosed();
};

// Registers a host window with its rectangle and the sink that draws the
// kernel's dialogs owned by it. The sink must outlive the registration.
TAVEX_API HWND CreateHostWindow(const WindowRect& rect, WindowSink* sink);
TAVEX_API void DestroyHostWindow(HWND window);
TAVEX_API bool IsWindow(HWND window);

// ---------------------------------------------------------------------------
// Boundary records.
// ---------------------------------------------------------------------------
// The records keep their byte offsets in aligned comments beside the fields.
// clang-format off
#pragma pack(push, 1)

// One message of a run (277 bytes).
struct _MESSAGE {
    int Code;      // 0: string-table number of the main text
    int Class;     // 4: 1 = error, any other value = warning
    int RefKind;   // 8: 1 nothing attached, 2 station numbers, 3 observation numbers
    char Text[261]; // 12: UTF-8 text, cut at 260 bytes, zero-terminated
    int Ref;       // 273: first attached station or observation number, 0 when none
};

// Project settings (1388 bytes in the binary interface; 1396 here because
// Messages, the last field, is a 24-byte std::vector).
struct _SETTINGS {
    char NetworkName[41];      // 0
    char ProjectDir[256];      // 41
    char OutputFile[13];       // 297
    char MessageFile[13];      // 310
    char VarianceFile[13];     // 323
    int AdjDesign;             // 336: 0 adjustment, nonzero design
    int Phase;                 // 340: 1 free, 2/4 constrained, 3 weighted constraints
    int AngleUnit;             // 344: 0 gon, 1 decimal degrees, 2 d-m-s
    char LinearUnit[4];        // 348
    char LinearUnitLong[21];   // 352
    double LinearFact;         // 373: metres to length unit
    int IterMax;               // 381
    double Epsilon;            // 385
    double DeltaSingular;      // 393
    int Dimension;             // 401: 1, 2 or 3
    int CovMatrix;             // 405
    int APosVarFac;            // 409
    int VarComponent;          // 413
    int VarIterMax;            // 417
    double VarEpsilon;         // 421
    int TerCoord;              // 429
    int GPSCoord;              // 433
    int TerObserv;             // 437
    int GPSObserv;             // 441
    int GeoidModel;            // 445
    int GPSCoordType;          // 449
    double Sigma0;             // 453
    double Alfa0;              // 461
    double Beta;               // 469
    double ConfidenceLevel1D;  // 477
    double ConfidenceLevel2D;  // 485
    // 493: how observed local coordinates (type code 10) are tied to the
    // network: 0 by the network's dimension (1D: 1, 2D: 2, 3D: 4);
    // 1 a height shift; 2 a plane similarity (two shifts, a rotation, a
    // scale); 3 a spatial similarity (three shifts, three rotations, a
    // scale); 4 a plane similarity and a height shift. Read only when the
    // project has local coordinates; other values fail the run.
    int LocalTransfType;
    char Reserved497[27];      // 497: not read
    int Ellipsoid;             // 524: EllipsoidCodes
    double SemiMajAx;          // 528
    double InvFlatt;           // 536
    int Projection;            // 544: ProjectionCodes
    double ScaleFactor[10];    // 548
    double ScaleFactorSd[10];  // 628
    double RefractionCoef[10]; // 708
    double RefractionCoefSd[10]; // 788
    double AzimuthOffset[10];  // 868
    double AzimuthOffsetSd[10]; // 948
    int ScaleFactorFree[10];   // 1028
    int RefractionCoefFree[10]; // 1068
    int AzimuthOffsetFree[10]; // 1108
    double GPSTransfPar[8];    // 1148
    double GPSTransfParSd[8];  // 1212
    int GPSTransfParObs[8];    // 1276
    int ReportSwitch[16];      // 1308: slot 5 ExternalReliability, slot 15 OutputForm
    std::vector<_MESSAGE> Messages; // 1372: refilled after every run
};

// Report-switch slots with a name of their own.
enum ReportSwitchSlots : int {
    REPORT_EXTERNAL_RELIABILITY = 5,
    // Nonzero: side shots (a station one record alone ties to the network)
    // leave the adjustment and are computed after it from their record; 0
    // keeps them in, with redundancy 0.
    REPORT_ENGINE_OPTION = 14,
    REPORT_OUTPUT_FORM = 15,
};

// One station (319 bytes). The host passes an array indexed from 0; element
// k - 1 is station number k.
struct _STATIONADJ {
    char Name[17];          // 0
    int CoordStatus;        // 17: 8 known; Adjust sets 7; COGO sets 1
    int CoordClass;         // 21: known 10 height, 11 position, 12 both; Adjust 1/2/3; COGO 8
    int Reserved25;         // 25
    int Exclusion;          // 29: bit 0 station excluded
    char Reserved33[12];    // 33
    int CoordFlags;         // 45: bit 0 GPS, bit 1 terrestrial, bit 4 geographic, bit 5 grid
    int Presence;           // 49: bits 0-1 horizontal present, bits 2-3 height kind (4 or 8)
    int PointCode1;         // 53
    int PointCode2;         // 57
    double Coord1;          // 61: latitude (rad) or easting
    double Coord2;          // 69: longitude (rad) or northing
    double Height;          // 77
    double Reserved85;      // 85
    double CovScale;        // 93: sd = sqrt(variance) * scale
    double Cov[6];          // 101: c11 c12 c13 c22 c23 c33
    double ExtRelEast;      // 149
    double ExtRelNorth;     // 157
    double Reserved165;     // 165
    double ExtRelHeight;    // 173
    double Ellipse[4];      // 181: absolute standard ellipse
    std::uint16_t TestDimension; // 213
    int ExtRelNorthSource;  // 215
    int ExtRelNorthCode;    // 219
    double DatumNorth[3];   // 223: MDB, bias-to-noise ratio, W-test of the north datum row
    int ExtRelEastSource;   // 247
    int ExtRelEastCode;     // 251
    double DatumEast[3];    // 255
    int ExtRelHeightSource; // 279
    int ExtRelHeightCode;   // 283
    double DatumHeight[3];  // 287
    double TTest;           // 311
};

// Input layouts of the observation record kinds (offsets from the start of
// the record; the kind itself is at 0).
struct _OBS_KIND100 {            // three readings, full
    std::uint16_t Off[3];        // 4
    std::uint16_t Type[3];       // 10
    std::uint16_t Sub[3];        // 16
    unsigned int Station;        // 22
    unsigned int Target;         // 26
    double StationHeight;        // 30
    double TargetHeight;         // 38
    double Reading[3];           // 46
    double Precision[6];         // 70
    std::uint16_t DistanceCode;  // 118
    double Centring[4];          // 120: centring, height error at station; at target
    unsigned int VarGroup;       // 152
};
struct _OBS_KIND6 {              // kind 100 without the distance code
    std::uint16_t Off[3];        // 4
    std::uint16_t Type[3];       // 10
    std::uint16_t Sub[3];        // 16
    unsigned int Station;        // 22
    unsigned int Target;         // 26
    double StationHeight;        // 30
    double TargetHeight;         // 38
    double Reading[3];           // 46
    double Precision[6];         // 70
    double Centring[4];          // 118
    unsigned int VarGroup;       // 150
};
struct _OBS_KIND4 {              // one reading
    std::uint16_t Off;           // 4
    std::uint16_t Type;          // 6
    std::uint16_t Sub;           // 8
    unsigned int Station;        // 10
    unsigned int Target;         // 14
    double StationHeight;        // 18
    double TargetHeight;         // 26
    double Reading;              // 34
    double Precision[2];         // 42
    double Centring[4];          // 58
    unsigned int VarGroup;       // 90
};
struct _OBS_KIND5 {              // one reading, no heights, no centring
    std::uint16_t Off;           // 4
    std::uint16_t Type;          // 6
    std::uint16_t Sub;           // 8
    unsigned int Station;        // 10
    unsigned int Target;         // 14
    char Unused18[16];           // 18
    double Reading;              // 34
    double Precision[4];         // 42
    unsigned int VarGroup;       // 74
};
struct _OBS_KIND7 {              // three readings on one station
    std::uint16_t Off[3];        // 4
    std::uint16_t Type[3];       // 10
    std::uint16_t Sub[3];        // 16
    unsigned int Station;        // 22
    double StationHeight;        // 26
    double Reading[3];           // 34
    double Precision1;           // 58: sdX
    double Precision3;           // 66: sdY
    double Precision6;           // 74: sdZ
    double CentringStation;      // 82
    double HeightErrStation;     // 90
    unsigned int VarGroup;       // 98
};

// Results of readings of type codes 1, 2, 3 (slot = type code) and 7 (slot =
// reading number).
struct _OBS_RESULT_TERRESTRIAL {
    int Redundancy[3];           // 156: per cent, truncated
    double RelEllipse[4];        // 168
    double Residual[3];          // 200
    double Mdb[3];               // 224
    double Bnr[3];               // 248
    float W[3];                  // 272
    double TTest;                // 284
    double Sd[3];                // 292
    double SdAdjusted[3];        // 316
};
// Results of a GPS baseline (type code 6, slots X, Y, Z).
struct _OBS_RESULT_BASELINE {
    int Redundancy[3];           // 156
    double RelEllipse[4];        // 168
    double Residual[3];          // 200
    double ResidualLocal[3];     // 224: north, east, up at the station
    double Mdb[3];               // 248
    double Bnr[3];               // 272
    float W[3];                  // 296
    double TTest;                // 308
    double Sd[3];                // 316
    double Correlation[3];       // 340: XY, XZ, YZ
    double SdAdjusted[3];        // 364
};
// Results of an azimuth or height difference (type codes 4, 5).
struct _OBS_RESULT_SINGLE {
    int Redundancy;              // 156
    double RelEllipse[4];        // 160
    double Residual;             // 192
    double Mdb;                  // 200
    double Bnr;                  // 208
    float W;                     // 216
    double Sd;                   // 220
    double SdAdjusted;           // 228
};

// One observation record (392 bytes). The host passes a pointer one record
// before its first record: position k lies 392 * k bytes after it.
//
// What each kind may carry (type and sub-code per reading slot 1, 2, 3):
//   4, 5     one reading in slot 1: 1 direction, 2 distance, 3 zenith angle,
//            4 azimuth, 5 height difference or 9 geometric relation;
//   6, 100   a total-station record, slot i holding type i or nothing (0),
//            or a GPS baseline: types 6, 6, 6 with sub-codes 0, 1, 2;
//   7        a GPS coordinate: types 7, 7, 7 with sub-codes 0, 1, 2; or
//            observed local coordinates: type 10 with sub-code i − 1 in slot
//            i (east, north, height) or nothing, their standard deviations
//            at 58, 66 and 74, tied to the network by the transformation of
//            _SETTINGS::LocalTransfType.
// Observation numbers (in messages, test lists and the causing observation
// of the station records) count the records of every SetObservations call
// since Initialize in order: the first call's positions are 1 to n1, the
// second call's n1 + 1 to n1 + n2. Results go back into the record itself,
// whichever array it came from, so the host keeps every array alive.
// A trigonometric height difference (distance and zenith angle of one record
// in a height network) hands its results back in the distance's slots;
// relations (type 9) and local coordinates (type 10) hand back nothing (the
// report and the result document carry their results). The record of a side
// shot gets its residuals and the standard deviations of the observation and
// of the adjusted observation; its redundancy is 0 and its W-test, MDB and
// bias-to-noise ratio are 0: nothing controls it.
struct _OBSERVATION {
    int Kind; // 0: 4, 5, 6, 7 or 100; other values are ignored
    union {
        _OBS_KIND100 K100;
        _OBS_KIND6 K6;
        _OBS_KIND4 K4;
        _OBS_KIND5 K5;
        _OBS_KIND7 K7;
        unsigned char Input[152];
    };
    union {
        _OBS_RESULT_TERRESTRIAL Terrestrial;
        _OBS_RESULT_BASELINE Baseline;
        _OBS_RESULT_SINGLE Single;
        unsigned char Results[236];
    };
};

// One entry of the W-test lists of _STATISTICS (40 bytes).
struct _W_ENTRY {
    int Subject;           // observation or known-station number; 0 = empty
    int Code;
    double W;
    double Ratio;          // |W| / critical W-value
    double EstimatedError;
    double Extra;          // list of antenna height tests: MDB of the up component
};
// One entry of the T-test lists of _STATISTICS (48 bytes).
struct _T_ENTRY {
    int Subject;           // station or observation number; 0 = empty
    int Code;              // dimension (stations) or first type code (observations)
    double T;
    double Ratio;          // sqrt(T / critical value)
    double EstimatedError[3];
};

// Summary of an adjustment (2324 bytes; word w is bytes 4w to 4w + 3).
struct _STATISTICS {
    int Unknowns;                 // word 0
    int CoordinateUnknowns;       // 1
    int OrientationUnknowns;      // 2
    int ScaleFactors;             // 3
    int RefractionCoefficients;   // 4
    int AzimuthOffsets;           // 5
    int GPSTransformationParameters; // 6
    int AdditionalTransformationParameters; // 7
    int Observations;             // 8
    int Directions;               // 9
    int Distances;                // 10
    int ZenithAngles;             // 11
    int TrigonometricHeightDifferences; // 12
    int Azimuths;                 // 13
    int HeightDifferences;        // 14
    int GPSCoordinateDifferences; // 15
    int GPSCoordinates;           // 16
    int DatumPseudoObservations;  // 17
    int TransformationPseudoObservations; // 18
    int DegreesOfFreedom;         // 19
    int Iterations;               // 20
    double LargestCorrection;     // 21
    double ConfidenceF;           // 23
    double ConfidenceT2;          // 25
    double ConfidenceT3;          // 27
    double Lambda0;               // 29
    double CriticalW;             // 31
    double CriticalT2;            // 33
    double CriticalT3;            // 35
    double CriticalF;             // 37
    double FTest;                 // 39
    _W_ENTRY DatumW[10];          // 41
    _T_ENTRY KnownStationT[10];   // 141
    _W_ENTRY ObservationW[10];    // 261
    _T_ENTRY GPSGroupT[10];       // 361
    _W_ENTRY AntennaHeightW[10];  // 481
};

// One loop of the loop search (156 bytes in the binary interface; 168 here:
// the station vector at 0 is 24 bytes, so every later field is 8 bytes on,
// and 4 bytes of padding at the end keep every element of a
// std::vector<_LOOP_RESULT>, and the station vector inside it, on an 8-byte
// boundary, where the standard library may touch it).
struct _LOOP_RESULT {
    std::vector<std::uint32_t> Stations; // 0: station numbers in loop order
    int Kind;                     // 24 (16)
    int Reserved1;                // 28 (20)
    int Reserved2;                // 32 (24)
    double Misclosure[3];         // 36 (28)
    double Test[3];               // 60 (52)
    double MisclosureLocal[3];    // 84 (76): north, east, up
    double TestLocal[3];          // 108 (100)
    double Length;                // 132 (124)
    double CriticalW;             // 140 (132)
    double Reserved3[2];          // 148 (140)
    char AlignmentPadding[4];     // 164: not in the binary interface

    // Copies and moves take the fields after the station vector by their
    // bytes: they lie on 4-byte boundaries, where a double may not be bound
    // to a reference.
    _LOOP_RESULT() = default;
    _LOOP_RESULT(const _LOOP_RESULT& other) : Stations(other.Stations) { CopyFields(other); }
    _LOOP_RESULT(_LOOP_RESULT&& other) noexcept : Stations(std::move(other.Stations)) {
        CopyFields(other);
    }
    _LOOP_RESULT& operator=(const _LOOP_RESULT& other) {
        Stations = other.Stations;
        CopyFields(other);
        return *this;
    }
    _LOOP_RESULT& operator=(_LOOP_RESULT&& other) noexcept {
        Stations = std::move(other.Stations);
        CopyFields(other);
        return *this;
    }
    ~_LOOP_RESULT() = default;

private:
    void CopyFields(const _LOOP_RESULT& other) {
        constexpr std::size_t first = sizeof(std::vector<std::uint32_t>);
        std::memcpy(reinterpret_cast<char*>(this) + first,
                    reinterpret_cast<const char*>(&other) + first, sizeof(_LOOP_RESULT) - first);
    }
};

#pragma pack(pop)
// clang-format on

// ---------------------------------------------------------------------------
// The loop-result container of the Loops run.
// ---------------------------------------------------------------------------
// Loops hands every loop back as a _LOOP_RESULT; a host needs nothing of this
// section. The kernel also exports the container it fills during that run,
// built on the small layer of object arrays below, the containers of the
// application framework the kernel was first written against:
//   CObArray                         pointers to objects, indexed from 0; it
//                                    owns none of them
//   CTypedPtrArray<CObArray, T*>     the same array read as pointers to T
//   CLoopResultsPtrArray             the loops of one run; it deletes them
// An index outside an array reads a null pointer and writes nothing, so no
// index can reach memory outside the array.
namespace Framework {

// Root of the objects the arrays hold.
class TAVEX_API CObject {
public:
    CObject();
    virtual ~CObject();
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

class TAVEX_API CObArray : public CObject {
public:
    CObArray();
    ~CObArray() override;

    int GetSize() const;
    int GetUpperBound() const; // GetSize() - 1
    // The pointer at i; null outside the array.
    CObject* GetAt(int i) const;
    // The slot at i, for reading and writing in place. Outside the array it
    // is a spare slot that holds null each time it is handed out and that
    // belongs to no element.
    CObject*& ElementAt(int i);
    // Replaces the pointer at i (the old object is not deleted); nothing
    // outside the array.
    void SetAt(int i, CObject* object);
    // Like SetAt, growing the array with null pointers to reach i; nothing
    // for a negative i.
    void SetAtGrow(int i, CObject* object);
    // Appends; returns the new element's index.
    int Add(CObject* object);
    // Appends the pointers of other; returns the index of the first of them.
    int Append(const CObArray& other);
    // Makes this array a copy of other's pointers.
    void Copy(const CObArray& other);
    // Inserts count copies of object before i (i past the end appends).
    void InsertAt(int i, CObject* object, int count = 1);
    // Inserts the pointers of other before start.
    void InsertAt(int start, const CObArray* other);
    // Removes count pointers from i on (the objects are not deleted).
    void RemoveAt(int i, int count = 1);
    void RemoveAll();
    CObject* operator[](int i) const { return GetAt(i); }
    CObject*& operator[](int i) { return ElementAt(i); }

private:
    std::vector<CObject*> items_;
    CObject* spare_ = nullptr;
};

// BASE read as an array of TYPE, a pointer to a class derived from CObject.
// It holds only TYPE objects: each is stored as its CObject base and turned
// back into TYPE when read.
template <class BASE, class TYPE>
class CTypedPtrArray : public BASE {
public:
    CTypedPtrArray();
    ~CTypedPtrArray() override;

    TYPE GetAt(int i) const;
    // The slot at i as the base array holds it (see CObArray::ElementAt).
    CObject*& ElementAt(int i);
    void SetAt(int i, TYPE element);
    void SetAtGrow(int i, TYPE element);
    int Add(TYPE element);
    int Append(const CTypedPtrArray& other);
    void Copy(const CTypedPtrArray& other);
    void InsertAt(int i, TYPE element, int count = 1);
    void InsertAt(int start, const CTypedPtrArray* other);
    TYPE operator[](int i) const;
    TYPE operator[](int i);
};

template <class BASE, class TYPE>
CTypedPtrArray<BASE, TYPE>::CTypedPtrArray() = default;
template <class BASE, class TYPE>
CTypedPtrArray<BASE, TYPE>::~CTypedPtrArray() = default;
template <class BASE, class TYPE>
TYPE CTypedPtrArray<BASE, TYPE>::GetAt(int i) const {
    return static_cast<TYPE>(BASE::GetAt(i));
}
template <class BASE, class TYPE>
CObject*& CTypedPtrArray<BASE, TYPE>::ElementAt(int i) {
    return BASE::ElementAt(i);
}
template <class BASE, class TYPE>
void CTypedPtrArray<BASE, TYPE>::SetAt(int i, TYPE element) {
    BASE::SetAt(i, element);
}
template <class BASE, class TYPE>
void CTypedPtrArray<BASE, TYPE>::SetAtGrow(int i, TYPE element) {
    BASE::SetAtGrow(i, element);
}
template <class BASE, class TYPE>
int CTypedPtrArray<BASE, TYPE>::Add(TYPE element) {
    return BASE::Add(element);
}
template <class BASE, class TYPE>
int CTypedPtrArray<BASE, TYPE>::Append(const CTypedPtrArray& other) {
    return BASE::Append(other);
}
template <class BASE, class TYPE>
void CTypedPtrArray<BASE, TYPE>::Copy(const CTypedPtrArray& other) {
    BASE::Copy(other);
}
template <class BASE, class TYPE>
void CTypedPtrArray<BASE, TYPE>::InsertAt(int i, TYPE element, int count) {
    BASE::InsertAt(i, element, count);
}
template <class BASE, class TYPE>
void CTypedPtrArray<BASE, TYPE>::InsertAt(int start, const CTypedPtrArray* other) {
    BASE::InsertAt(start, other);
}
template <class BASE, class TYPE>
TYPE CTypedPtrArray<BASE, TYPE>::operator[](int i) const {
    return GetAt(i);
}
template <class BASE, class TYPE>
TYPE CTypedPtrArray<BASE, TYPE>::operator[](int i) {
    return GetAt(i);
}

} // namespace Framework

// The observations a loop was computed from, kept for the run's report.
class CLoopObservationList;

// One loop of the Loops run. Lengths in metres, angles in radians.
//   Kind  1 traverse (directions and distances) with angle and coordinate
//           misclosure, 2 traverse with coordinate misclosure only, 3
//           traverse without misclosure (two or more stations without an
//           angle), 5 height differences, 6 GPS baselines, 8 zenith angles
//           with distances (trigonometric heights).
//   Misclosure  kind 6: X, Y, Z; kinds 1 and 2: easting, northing and
//           (kind 1) the angle; kinds 5 and 8: the height in the third slot.
//   Test  each misclosure divided by its standard deviation.
class TAVEX_API CLoopResults : public Framework::CObject {
public:
    CLoopResults();
    ~CLoopResults() override;

    std::vector<int> Stations; // station numbers in loop order, the first not repeated
    std::unique_ptr<CLoopObservationList> Observations;
    int Kind = 0;
    int Reserved1 = 0;
    int Reserved2 = 0;
    double Misclosure[3] = {0.0, 0.0, 0.0};
    double Test[3] = {0.0, 0.0, 0.0};
    double Length = 0.0;           // the sum of the legs' mean lengths
    double CriticalW = 0.0;        // critical value of the W-test the tests compare with
    double Centre[2] = {0.0, 0.0}; // mean grid easting and northing; 0 without a map projection
    double Reserved3[3] = {0.0, 0.0, 0.0};
    double MisclosureLocal[3] = {0.0, 0.0, 0.0}; // kind 6: north, east, up
    double TestLocal[3] = {0.0, 0.0, 0.0};
    double Tolerance = 0.0; // kinds 5 and 8: critical value times the height's sd
    double Reserved4 = 0.0;
    // Kernel additions: the standard deviations of the misclosures, and the
    // stations of a traverse at which no angle could be formed.
    double Sd[3] = {0.0, 0.0, 0.0};
    double SdLocal[3] = {0.0, 0.0, 0.0};
    std::vector<int> StationsWithoutAngle;
};

extern template class TAVEX_API Framework::CTypedPtrArray<Framework::CObArray, CLoopResults*>;

// The loops of one run, in the order they were found. It deletes every loop
// it still holds when it dies. Its pointers cannot be copied into another
// owning array (each loop would be deleted twice); a plain
// Framework::CTypedPtrArray may borrow them.
class TAVEX_API CLoopResultsPtrArray
    : public Framework::CTypedPtrArray<Framework::CObArray, CLoopResults*> {
public:
    CLoopResultsPtrArray();
    ~CLoopResultsPtrArray() override;
    int Append(const CLoopResultsPtrArray& other) = delete;
    void Copy(const CLoopResultsPtrArray& other) = delete;
};

// ---------------------------------------------------------------------------
// Exported functions.
// ---------------------------------------------------------------------------

// Resets the kernel and takes over the settings. Keep the record alive: runs
// write the messages and the estimated additional parameters into it.
TAVEX_API int Initialize(_SETTINGS& settings);
// Takes over n stations, read from index 0. Keep the array alive. Returns
// 0 when it stored nothing (during a run, too many records, no memory).
TAVEX_API int SetStations(_STATIONADJ* stations, unsigned int n);
// Takes over n observations at positions 1 to n and appends them to those of
// earlier calls. Keep every array alive. Returns 0 when it stored nothing.
TAVEX_API int SetObservations(_OBSERVATION* observations, unsigned int n);
// Checks the input before an adjustment.
TAVEX_API int PreRun(HWND owner);
// Adjusts (or, in design mode, analyses) the network.
TAVEX_API int Adjust(_STATISTICS& statistics, HWND owner);
// Computes approximate coordinates.
TAVEX_API int COGO(HWND owner);
// Finds the independent loops and their misclosures.
TAVEX_API int Loops(std::vector<_LOOP_RESULT>& loops, HWND owner);
// The factor that scales a one-sigma measure of dimension dim to probability p.
TAVEX_API double MultiplierConfidence(double p, unsigned int dim);
// Frees every table and returns to the defaults.
TAVEX_API void Release();

} // namespace Tavex

#endif // TAVEX_TAVEX_H
