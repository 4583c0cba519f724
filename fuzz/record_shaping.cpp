#include "record_shaping.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace TavexFuzz {

namespace {

template <class T>
T Load(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

template <class T>
void Store(void* record, std::size_t offset, T value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

// x when it is finite and within [lo, hi], otherwise the fallback.
double Within(double x, double lo, double hi, double fallback) {
    return std::isfinite(x) && x >= lo && x <= hi ? x : fallback;
}

int Within(int x, int lo, int hi, Choices& choices) {
    return x >= lo && x <= hi ? x : lo + static_cast<int>(choices.Below(hi - lo + 1));
}

// A probability strictly between 0 and 1.
double Probability(double x, double fallback) {
    return std::isfinite(x) && x > 0.0 && x < 1.0 ? x : fallback;
}

} // namespace

void ShapeSettings(Tavex::_SETTINGS& s, Choices& c) {
    if (s.Phase < 1 || s.Phase > 4)
        s.Phase = 1 + static_cast<int>(c.Below(4));
    s.AngleUnit = Within(s.AngleUnit, 0, 2, c);
    s.LinearFact = Within(s.LinearFact, 1e-6, 1e6, 1.0);
    s.IterMax = Within(s.IterMax, 0, 30, c);
    s.Epsilon = Within(s.Epsilon, 0.0, 1e3, 1e-4);
    s.DeltaSingular = Within(s.DeltaSingular, 0.0, 1.0, 1e-6);
    s.Dimension = Within(s.Dimension, 1, 3, c);
    s.CovMatrix = Within(s.CovMatrix, 0, 4, c);
    s.APosVarFac = Within(s.APosVarFac, 0, 2, c);
    s.VarComponent = Within(s.VarComponent, 0, 3, c);
    s.VarIterMax = Within(s.VarIterMax, 0, 10, c);
    s.VarEpsilon = Within(s.VarEpsilon, 1e-9, 1.0, 0.01);
    s.GeoidModel = Within(s.GeoidModel, 0, 1, c);
    s.GPSCoordType = Within(s.GPSCoordType, 0, 2, c);
    s.Sigma0 = Within(s.Sigma0, 1e-6, 1e3, 1.0);
    s.Alfa0 = Probability(s.Alfa0, 0.001);
    s.Beta = Probability(s.Beta, 0.8);
    s.ConfidenceLevel1D = Probability(s.ConfidenceLevel1D, 0.683);
    s.ConfidenceLevel2D = Probability(s.ConfidenceLevel2D, 0.394);
    s.LocalTransfType = Within(s.LocalTransfType, 0, 4, c);
    const int e = s.Ellipsoid;
    if (!((e >= 0 && e <= 7) || e == 20 || e == 21))
        s.Ellipsoid = static_cast<int>(c.Below(8));
    if (s.Ellipsoid == 0) {
        s.SemiMajAx = Within(s.SemiMajAx, 6e6, 7e6, 6378137.0);
        s.InvFlatt = Within(s.InvFlatt, 250.0, 350.0, 298.257);
    }
    if (s.Projection != 0 && s.Projection != 6)
        s.Projection = c.Below(2) ? 6 : 0;
    for (int g = 0; g < 10; ++g) {
        s.ScaleFactor[g] = Within(s.ScaleFactor[g], 0.5, 2.0, 1.0);
        s.RefractionCoef[g] = Within(s.RefractionCoef[g], -1.0, 1.0, 0.13);
        s.AzimuthOffset[g] = Within(s.AzimuthOffset[g], -7.0, 7.0, 0.0);
    }
    for (int p = 0; p < 8; ++p) {
        s.GPSTransfPar[p] = Within(s.GPSTransfPar[p], -1e3, 1e3, 0.0);
        s.GPSTransfParSd[p] = Within(s.GPSTransfParSd[p], 0.0, 1e3, 0.0);
    }
    s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] =
        Within(s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM], 0, 2, c);
}

void ShapeStations(std::vector<Tavex::_STATIONADJ>& stations, Choices& c) {
    for (Tavex::_STATIONADJ& st : stations) {
        const int status = st.CoordStatus;
        if (status != 0 && status != 1 && status != 7 && status != 8)
            st.CoordStatus = c.Below(3) == 0 ? 8 : 0;
        if (st.CoordStatus == 8)
            st.CoordClass = Within(st.CoordClass, 10, 12, c);
        st.Coord1 = Within(st.Coord1, -1e7, 1e7, 0.0);
        st.Coord2 = Within(st.Coord2, -1e7, 1e7, 0.0);
        st.Height = Within(st.Height, -1e4, 1e5, 0.0);
        st.CovScale = Within(st.CovScale, 0.0, 1e3, 1.0);
        for (int i = 0; i < 6; ++i)
            st.Cov[i] = Within(st.Cov[i], -1e3, 1e3, 1e-6);
    }
}

void ShapeStationNumbers(std::vector<Tavex::_OBSERVATION>& observations, std::size_t n,
                         Choices& c) {
    if (n == 0)
        return;
    const auto fit = [&](void* record, std::size_t offset) {
        const auto number = Load<std::uint32_t>(record, offset);
        if (number == 0 || number > n)
            Store<std::uint32_t>(record, offset, 1 + c.Below(static_cast<unsigned>(n)));
    };
    for (std::size_t k = 1; k < observations.size(); ++k) {
        Tavex::_OBSERVATION& o = observations[k];
        switch (o.Kind) {
        case 4:
        case 5:
            fit(&o, 10);
            fit(&o, 14);
            break;
        case 6:
        case 100:
            fit(&o, 22);
            fit(&o, 26);
            break;
        case 7:
            fit(&o, 22);
            break;
        default:
            break;
        }
    }
}

namespace {

constexpr int kKinds[] = {4, 5, 6, 7, 100};

bool OneReadingType(unsigned t) {
    return (t >= 1 && t <= 5) || t == 9;
}

// Sub-codes the reports can name: set numbers up to 99, groups 0 to 9,
// relations 0 to 11 but 10.
std::uint16_t PlausibleSub(unsigned type, std::uint16_t sub, Choices& c) {
    switch (type) {
    case 1:
        return sub <= 99 ? sub : static_cast<std::uint16_t>(c.Below(100));
    case 2:
    case 3:
    case 4:
        return sub <= 9 ? sub : static_cast<std::uint16_t>(c.Below(10));
    case 9:
        return sub < 12 && sub != 10 ? sub : static_cast<std::uint16_t>(c.Below(10));
    default:
        return 0;
    }
}

void ShapeOneReading(Tavex::_OBSERVATION& o, Choices& c) {
    auto type = Load<std::uint16_t>(&o, 6);
    if (!OneReadingType(type)) {
        constexpr std::uint16_t kTypes[] = {1, 2, 3, 4, 5, 9};
        type = kTypes[c.Below(6)];
        Store<std::uint16_t>(&o, 6, type);
    }
    Store<std::uint16_t>(&o, 8, PlausibleSub(type, Load<std::uint16_t>(&o, 8), c));
}

// Types at 10, sub-codes at 16 (three each).
bool IsTriple(const Tavex::_OBSERVATION& o, std::uint16_t type) {
    for (int i = 0; i < 3; ++i)
        if (Load<std::uint16_t>(&o, 10 + 2 * i) != type || Load<std::uint16_t>(&o, 16 + 2 * i) != i)
            return false;
    return true;
}

void MakeTriple(Tavex::_OBSERVATION& o, std::uint16_t type) {
    for (int i = 0; i < 3; ++i) {
        Store<std::uint16_t>(&o, 10 + 2 * i, type);
        Store<std::uint16_t>(&o, 16 + 2 * i, static_cast<std::uint16_t>(i));
    }
}

// Slot i holds type `slotType(i)` or nothing, at least one slot a reading.
template <class SlotType>
void ShapeSlots(Tavex::_OBSERVATION& o, SlotType slotType, bool subIsSlot, Choices& c) {
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        auto type = Load<std::uint16_t>(&o, 10 + 2 * i);
        if (type != 0 && type != slotType(i))
            type = c.Below(4) == 0 ? 0 : slotType(i);
        Store<std::uint16_t>(&o, 10 + 2 * i, type);
        any = any || type != 0;
    }
    if (!any) {
        const int i = static_cast<int>(c.Below(3));
        Store<std::uint16_t>(&o, 10 + 2 * i, slotType(i));
    }
    for (int i = 0; i < 3; ++i) {
        const auto type = Load<std::uint16_t>(&o, 10 + 2 * i);
        const auto sub = Load<std::uint16_t>(&o, 16 + 2 * i);
        Store<std::uint16_t>(
            &o, 16 + 2 * i, subIsSlot ? static_cast<std::uint16_t>(i) : PlausibleSub(type, sub, c));
    }
}

} // namespace

void ShapeKinds(std::vector<Tavex::_OBSERVATION>& observations, Choices& c) {
    for (std::size_t k = 1; k < observations.size(); ++k) {
        Tavex::_OBSERVATION& o = observations[k];
        bool known = false;
        for (int kind : kKinds)
            known = known || o.Kind == kind;
        if (!known)
            o.Kind = kKinds[c.Below(5)];
        switch (o.Kind) {
        case 4:
        case 5:
            ShapeOneReading(o, c);
            break;
        case 6:
        case 100: {
            const bool gps = Load<std::uint16_t>(&o, 10) == 6;
            if (gps) {
                if (!IsTriple(o, 6))
                    MakeTriple(o, 6);
            } else {
                ShapeSlots(
                    o, [](int i) { return static_cast<std::uint16_t>(i + 1); }, false, c);
            }
            if (o.Kind == 100 && Load<std::uint16_t>(&o, 118) > 3)
                Store<std::uint16_t>(&o, 118, static_cast<std::uint16_t>(c.Below(4)));
            break;
        }
        case 7: {
            const auto first = Load<std::uint16_t>(&o, 10);
            if (first == 7 || (first != 10 && c.Below(2) == 0)) {
                if (!IsTriple(o, 7))
                    MakeTriple(o, 7);
            } else {
                ShapeSlots(
                    o, [](int) { return std::uint16_t{10}; }, true, c);
            }
            break;
        }
        default:
            break;
        }
    }
}

namespace {

double HostileDouble(Choices& c) {
    constexpr double kValues[] = {
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        1e300,
        -1e300,
        1e-300,
        std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        0.0,
        -0.0,
        1e16,
        -1e-16,
        9007199254740993.0,
        1e154,
    };
    return kValues[c.Below(sizeof kValues / sizeof kValues[0])];
}

std::int32_t HostileInt(Choices& c) {
    constexpr std::int32_t kValues[] = {
        std::numeric_limits<std::int32_t>::max(),
        std::numeric_limits<std::int32_t>::min(),
        -1,
        0,
        65535,
        65536,
        1000000,
        2000000000,
    };
    return kValues[c.Below(sizeof kValues / sizeof kValues[0])];
}

// Number fields of the records by offset.
constexpr std::size_t kSettingsDoubles[] = {373, 385, 393, 421,  453,  461,  469,
                                            477, 485, 528, 536,  548,  556,  708,
                                            716, 868, 876, 1148, 1156, 1212, 1220};
constexpr std::size_t kSettingsInts[] = {336, 340, 344, 381, 401, 405,  409,  413,  417,
                                         445, 449, 493, 524, 544, 1028, 1068, 1308, 1368};
constexpr std::size_t kStationDoubles[] = {61, 69, 77, 93, 101, 109, 117, 125, 133, 141};
constexpr std::size_t kStationInts[] = {17, 21, 29, 45, 49, 53};

struct KindFields {
    std::vector<std::size_t> doubles;
    std::vector<std::size_t> ints;
};

const KindFields& FieldsOf(int kind) {
    static const KindFields k100{{30, 38, 46, 54, 62, 70, 78, 86, 94, 102, 110, 120, 128, 136, 144},
                                 {22, 26, 152, 4, 10, 16, 118}};
    static const KindFields k6{{30, 38, 46, 54, 62, 70, 78, 86, 94, 102, 110, 118, 126, 134, 142},
                               {22, 26, 150, 4, 10, 16}};
    static const KindFields k4{{18, 26, 34, 42, 50, 58, 66, 74, 82}, {10, 14, 90, 4, 6}};
    static const KindFields k5{{34, 42, 50, 58, 66}, {10, 14, 74, 4, 6}};
    static const KindFields k7{{26, 34, 42, 50, 58, 66, 74, 82, 90}, {22, 98, 4, 10, 16}};
    switch (kind) {
    case 4:
        return k4;
    case 5:
        return k5;
    case 6:
        return k6;
    case 7:
        return k7;
    default:
        return k100;
    }
}

template <std::size_t N>
std::size_t Pick(const std::size_t (&offsets)[N], Choices& c) {
    return offsets[c.Below(N)];
}

} // namespace

void WriteHostileNumbers(Tavex::_SETTINGS& s, std::vector<Tavex::_STATIONADJ>& stations,
                         std::vector<Tavex::_OBSERVATION>& observations, unsigned count,
                         Choices& c) {
    for (unsigned i = 0; i < count; ++i) {
        const bool asInt = c.Below(4) == 0;
        switch (c.Below(4)) {
        case 0:
            if (asInt)
                Store(&s, Pick(kSettingsInts, c), HostileInt(c));
            else
                Store(&s, Pick(kSettingsDoubles, c), HostileDouble(c));
            break;
        case 1:
            if (!stations.empty()) {
                auto& st = stations[c.Below(static_cast<unsigned>(stations.size()))];
                if (asInt)
                    Store(&st, Pick(kStationInts, c), HostileInt(c));
                else
                    Store(&st, Pick(kStationDoubles, c), HostileDouble(c));
            }
            break;
        default:
            if (observations.size() > 1) {
                auto& o = observations[1 + c.Below(static_cast<unsigned>(observations.size() - 1))];
                const KindFields& fields = FieldsOf(o.Kind);
                if (asInt)
                    Store(&o, fields.ints[c.Below(static_cast<unsigned>(fields.ints.size()))],
                          HostileInt(c));
                else
                    Store(&o, fields.doubles[c.Below(static_cast<unsigned>(fields.doubles.size()))],
                          HostileDouble(c));
            }
            break;
        }
    }
}

} // namespace TavexFuzz
