// The records the host lays out, read back byte by byte at the offsets of
// the binary interface: every kind of observation a project file can give,
// the settings that reach the GPS frame, the GPS transformation and the
// local transformation, and the sentinels that tell unwritten results.
#include "project_file.h"
#include "record_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>

namespace {

using namespace TavexCli;

template <class T>
T At(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

using u16 = std::uint16_t;

// A 3D project on two geographic stations with one observation of each
// kind the file knows.
const char* const kEveryKind = R"({"dimension": 3, "angle_unit": "deg",
    "stations": [{"name": "A", "latitude": 52, "longitude": 5, "height": 10, "known": "both"},
                 {"name": "B", "latitude": 52.001, "longitude": 5.001, "height": 12}],
    "observations": [
      {"type": "direction", "from": "A", "to": "B", "value": 30, "set": 4, "sd": 0.001,
       "variance_group": 11},
      {"type": "distance", "from": "A", "to": "B", "value": 130, "group": 2},
      {"type": "distance", "from": "A", "to": "B", "value": 130, "slant": true, "group": 3},
      {"type": "zenith", "from": "A", "to": "B", "value": 89, "group": 4},
      {"type": "azimuth", "from": "A", "to": "B", "value": 31, "group": 5, "sd": 0.001,
       "sd_length": 0.002},
      {"type": "height_difference", "from": "A", "to": "B", "value": 2, "sd": 0.001,
       "sd_per_km": 0.002, "sd_ppm": 3, "length": 400, "variance_group": 12},
      {"type": "gps_baseline", "from": "A", "to": "B", "dx": 1, "dy": 2, "dz": 3,
       "sd": [0.01, 0.02, 0.03], "correlation": [0.1, 0.2, 0.3], "variance_group": 13},
      {"type": "gps_coordinate", "station": "B", "x": 4, "y": 5, "z": 6, "sd": [0.01, 0.02, 0.03],
       "variance_group": 14},
      {"type": "total_station", "from": "A", "to": "B", "direction": 30, "zenith": 89,
       "distance_group": 6, "zenith_group": 7, "distance": 130, "sd_distance": 0.001,
       "sd_ppm": 2, "sd_zenith": 0.0005, "sd_zenith_length": 0.003, "variance_group": 15},
      {"type": "double_distance", "from": "A", "to": "B", "value": 130.5, "sd": 0.002,
       "sd_ppm": 1, "centring": {"station": 0.0004, "target": 0.0005}},
      {"type": "tape_distance", "from": "B", "to": "A", "value": 130.25, "sd": 0.003},
      {"type": "local_coordinates", "station": "B", "east": 101.5, "height": 7.25,
       "sd_east": 0.002, "sd_height": 0.004, "instrument_height": 1.2,
       "centring": {"station": 0.0007}, "height_error": {"station": 0.0008}},
      {"type": "total_station", "from": "B", "to": "A", "zenith": 91}
    ]})";

class CliRecordLayout : public ::testing::Test {
protected:
    CliRecordLayout()
        : project(ParseProject(kEveryKind, "memory")), records(LayOut(project, ".", "t", 0)) {}
    // Observation k of the file is record k + 1.
    const unsigned char* Record(std::size_t k) const {
        return reinterpret_cast<const unsigned char*>(&records.observations[k + 1]);
    }
    Project project;
    Records records;
};

TEST_F(CliRecordLayout, EveryObservationOfTheFileIsOneRecord) {
    EXPECT_EQ(records.ObservationCount(), project.observations.size());
    EXPECT_EQ(records.observations.size(), project.observations.size() + 1);
}

// The valid combinations of record kind and type codes: kind 4 one reading
// of type 1 to 5 or 9, kind 5 one of type 5; kinds 6 and 100 type i or 0 in
// slot i, or a baseline 6/0 6/1 6/2; kind 7 a GPS coordinate 7/0 7/1 7/2 or
// local coordinates 10/i or 0 in slot i.
bool Fits(const unsigned char* r) {
    const int kind = At<int>(r, 0);
    if (kind == 4 || kind == 5) {
        const u16 type = At<u16>(r, 6);
        return kind == 5 ? type == 5 : (type >= 1 && type <= 5) || type == 9;
    }
    u16 type[3], sub[3];
    for (int i = 0; i < 3; ++i) {
        type[i] = At<u16>(r, 10 + 2 * i);
        sub[i] = At<u16>(r, 16 + 2 * i);
    }
    const auto triple = [&](u16 t) {
        return type[0] == t && type[1] == t && type[2] == t && sub[0] == 0 && sub[1] == 1 &&
               sub[2] == 2;
    };
    bool any = false, slots = true;
    if (kind == 6 || kind == 100) {
        for (int i = 0; i < 3; ++i) {
            any |= type[i] != 0;
            slots &= type[i] == 0 || type[i] == i + 1;
        }
        return triple(6) || (any && slots);
    }
    if (kind == 7) {
        for (int i = 0; i < 3; ++i) {
            any |= type[i] != 0;
            slots &= type[i] == 0 || (type[i] == 10 && sub[i] == i);
        }
        return triple(7) || (any && slots);
    }
    return false;
}

TEST_F(CliRecordLayout, EveryRecordFitsItsKind) {
    for (std::size_t k = 0; k < project.observations.size(); ++k)
        EXPECT_TRUE(Fits(Record(k))) << project.observations[k].where;
}

TEST_F(CliRecordLayout, AbsentReadingsOfATotalStationHaveTypeZero) {
    const unsigned char* r = Record(12); // a zenith angle alone
    EXPECT_EQ(At<int>(r, 0), 100);
    EXPECT_EQ(At<u16>(r, 10), 0);
    EXPECT_EQ(At<u16>(r, 12), 0);
    EXPECT_EQ(At<u16>(r, 14), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(At<u16>(r, 4 + 2 * i), 0) << "no reading is switched off";
}

TEST_F(CliRecordLayout, DistanceAndZenithAngleOfATotalStationKeepTheirOwnGroups) {
    const unsigned char* r = Record(8);
    EXPECT_EQ(At<u16>(r, 16), 0);                       // the direction's set
    EXPECT_EQ(At<u16>(r, 18), 6);                       // the distance's scale group
    EXPECT_EQ(At<u16>(r, 20), 7);                       // the zenith angle's refraction group
    EXPECT_DOUBLE_EQ(At<double>(r, 70 + 8 * 3), 2e-6);  // relative part of the distance
    EXPECT_DOUBLE_EQ(At<double>(r, 70 + 8 * 5), 0.003); // length part of the zenith angle
    // A horizontal distance alone is laid out the same way, in slot 2.
    const unsigned char* d = Record(1);
    EXPECT_EQ(At<int>(d, 0), 100);
    EXPECT_EQ(At<u16>(d, 12), 2);
    EXPECT_EQ(At<u16>(d, 18), 2);
}

TEST_F(CliRecordLayout, DoubleAndTapeDistancesAreRelationsNineAndEleven) {
    const unsigned char* d = Record(9);
    EXPECT_EQ(At<int>(d, 0), 4);
    EXPECT_EQ(At<u16>(d, 6), 9);
    EXPECT_EQ(At<u16>(d, 8), 9);
    EXPECT_EQ(At<unsigned>(d, 10), 1u); // station A
    EXPECT_EQ(At<unsigned>(d, 14), 2u); // target B
    EXPECT_DOUBLE_EQ(At<double>(d, 34), 130.5);
    EXPECT_DOUBLE_EQ(At<double>(d, 42), 0.002);  // absolute, m
    EXPECT_DOUBLE_EQ(At<double>(d, 50), 1e-6);   // relative
    EXPECT_DOUBLE_EQ(At<double>(d, 58), 0.0004); // centring at the station
    EXPECT_DOUBLE_EQ(At<double>(d, 74), 0.0005); // centring at the target
    const unsigned char* t = Record(10);
    EXPECT_EQ(At<u16>(t, 6), 9);
    EXPECT_EQ(At<u16>(t, 8), 11);
    EXPECT_EQ(At<unsigned>(t, 10), 2u);
    EXPECT_DOUBLE_EQ(At<double>(t, 34), 130.25);
}

TEST_F(CliRecordLayout, HeightDifferenceCarriesItsPerMetreTerm) {
    const unsigned char* r = Record(5);
    EXPECT_EQ(At<int>(r, 0), 5);
    EXPECT_DOUBLE_EQ(At<double>(r, 42), 0.001);                     // absolute, m
    EXPECT_DOUBLE_EQ(At<double>(r, 50), 0.002 / std::sqrt(1000.0)); // per √m
    EXPECT_DOUBLE_EQ(At<double>(r, 58), 3e-6);                      // per m
    EXPECT_DOUBLE_EQ(At<double>(r, 66), 400.0);                     // line length
}

TEST_F(CliRecordLayout, AzimuthCarriesItsLengthTerm) {
    const unsigned char* r = Record(4);
    EXPECT_EQ(At<u16>(r, 6), 4);
    EXPECT_EQ(At<u16>(r, 8), 5);
    EXPECT_DOUBLE_EQ(At<double>(r, 50), 0.002);
}

TEST_F(CliRecordLayout, LocalCoordinatesAreAKindSevenRecordOfTypeTen) {
    const unsigned char* r = Record(11);
    EXPECT_EQ(At<int>(r, 0), 7);
    const u16 types[3] = {10, 0, 10}, subs[3] = {0, 0, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(At<u16>(r, 4 + 2 * i), 0) << i;
        EXPECT_EQ(At<u16>(r, 10 + 2 * i), types[i]) << i;
        EXPECT_EQ(At<u16>(r, 16 + 2 * i), subs[i]) << i;
    }
    EXPECT_EQ(At<unsigned>(r, 22), 2u);
    EXPECT_DOUBLE_EQ(At<double>(r, 26), 1.2);   // instrument height
    EXPECT_DOUBLE_EQ(At<double>(r, 34), 101.5); // east
    EXPECT_DOUBLE_EQ(At<double>(r, 50), 7.25);  // height
    EXPECT_DOUBLE_EQ(At<double>(r, 58), 0.002); // sd east
    EXPECT_DOUBLE_EQ(At<double>(r, 66), 0.0);   // sd north: no north
    EXPECT_DOUBLE_EQ(At<double>(r, 74), 0.004); // sd height
    EXPECT_DOUBLE_EQ(At<double>(r, 82), 0.0007);
    EXPECT_DOUBLE_EQ(At<double>(r, 90), 0.0008);
}

TEST_F(CliRecordLayout, VarianceGroupsSitWhereEachKindKeepsThem) {
    // Kind 4 at 90, kind 5 at 74, kind 6 at 150, kind 7 at 98, kind 100 at 152.
    const struct {
        std::size_t observation, offset;
        unsigned group;
    } cases[] = {{0, 90, 11}, {5, 74, 12}, {6, 150, 13}, {7, 98, 14}, {8, 152, 15}};
    for (const auto& c : cases)
        EXPECT_EQ(At<unsigned>(Record(c.observation), c.offset), c.group) << c.observation;
}

TEST_F(CliRecordLayout, ResultBytesStartAsTheSentinel) {
    for (std::size_t k = 0; k < project.observations.size(); ++k)
        for (std::size_t offset = 156; offset < 392; ++offset)
            ASSERT_EQ(Record(k)[offset], kNotWrittenByte) << k << " " << offset;
    const auto* s = reinterpret_cast<const unsigned char*>(&*records.settings);
    for (std::size_t offset : {628u, 788u, 948u})
        for (std::size_t b = 0; b < 80; ++b)
            ASSERT_EQ(s[offset + b], kNotWrittenByte) << offset + b;
}

TEST(CliSettingsLayout, LocalTransformationTypeAtFourNinetyThree) {
    // Each type with local components it carries, in a 3D project.
    const char* const height = R"("height": 1, "sd_height": 0.01)";
    const char* const plane = R"("east": 1, "north": 2, "sd_east": 0.01, "sd_north": 0.01)";
    const char* const all = R"("east": 1, "north": 2, "height": 1, "sd_east": 0.01,
                              "sd_north": 0.01, "sd_height": 0.01)";
    const struct {
        const char* type;
        const char* components;
    } cases[] = {{"by_dimension", all},
                 {"height_shift", height},
                 {"plane_similarity", plane},
                 {"spatial_similarity", all},
                 {"plane_similarity_and_height_shift", all}};
    for (int type = 0; type < 5; ++type) {
        const Project p =
            ParseProject(std::string(R"({"dimension": 3, "settings": {"local_transformation": ")") +
                             cases[type].type + R"("}, "stations": [{"name": "A", "latitude": 52,
                "longitude": 5}], "observations": [{"type": "local_coordinates",
                "station": "A", )" +
                             cases[type].components + "}]}",
                         "memory");
        const Records r = LayOut(p, ".", "t", 0);
        EXPECT_EQ(At<int>(&*r.settings, 493), type) << cases[type].type;
    }
}

TEST(CliSettingsLayout, GpsTransformationStatusAndTheGpsFrame) {
    const Project p = ParseProject(R"({"dimension": 3, "angle_unit": "deg",
        "ellipsoid": "GPS_frame", "settings": {"gps_coordinate_type": 2},
        "stations": [{"name": "A", "latitude": 52, "longitude": 5}]})",
                                   "memory");
    const Records frame = LayOut(p, ".", "t", 0);
    EXPECT_EQ(At<int>(&*frame.settings, 524), 20);
    EXPECT_EQ(At<int>(&*frame.settings, 449), 2);
    EXPECT_EQ(At<int>(&*frame.settings, 544), 0);

    const Project q = ParseProject(R"({"dimension": 3, "angle_unit": "deg",
        "parameters": {"gps_transformation": [
          {"parameter": "rotation_z", "value": 0.001, "estimate": false},
          {"parameter": "scale", "value": 2, "sd": 0.5},
          {"parameter": "translation_y", "value": 0.25}]},
        "stations": [{"name": "A", "latitude": 52, "longitude": 5},
                     {"name": "B", "latitude": 52.01, "longitude": 5}],
        "observations": [{"type": "gps_coordinate", "station": "B", "x": 1, "y": 2, "z": 3,
                          "sd": [0.01, 0.01, 0.01]}]})",
                                   "memory");
    const Records r = LayOut(q, ".", "t", 0);
    const void* s = &*r.settings;
    const int status[8] = {0, 0, 0, 1, 2, 0, 0, 0};
    for (int sub = 0; sub < 8; ++sub)
        EXPECT_EQ(At<int>(s, 1276 + 4 * sub), status[sub]) << sub;
    EXPECT_DOUBLE_EQ(At<double>(s, 1148 + 8 * 3), 0.001 * std::numbers::pi / 180);
    EXPECT_DOUBLE_EQ(At<double>(s, 1148 + 8 * 4), 2e-6); // ppm in the file
    EXPECT_DOUBLE_EQ(At<double>(s, 1212 + 8 * 4), 0.5e-6);
    EXPECT_DOUBLE_EQ(At<double>(s, 1148 + 8 * 6), 0.25);
}

} // namespace
