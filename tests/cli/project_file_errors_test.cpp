// Mistakes in project files, each the smallest file that shows it: tavex
// refuses the file with exit status 2, names the place in the file and
// writes nothing. Before, these aborted the command, reached the kernel and
// failed there without a place, or were silently read as something else.
#include "cli_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TavexCliTest::ExpectRefused;

struct Case {
    const char* label;
    std::string text;
    const char* expected;
};

void ExpectAllRefused(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        ExpectRefused(c.text, c.expected, c.label);
}

// Two stations of a plane network and one observation between them.
std::string TwoStations(const std::string& observation, const std::string& extra = "") {
    return R"({"dimension": 2)" + extra + R"(, "stations": [
        {"name": "A", "east": 0, "north": 0, "known": "position"},
        {"name": "B", "east": 100, "north": 0}],
        "observations": [)" +
           observation + "]}";
}

TEST(CliProjectErrors, NumbersBeyondDoubleAreNamedNotAborted) {
    ExpectAllRefused({
        {"east", R"({"dimension": 2, "stations": [{"name": "A", "east": 1e400, "north": 0}]})",
         "stations[0].east: the number 1e400 lies beyond the range"},
        {"reading", TwoStations(R"({"type": "distance", "from": "A", "to": "B", "value": -1e400})"),
         "observations[0].value: the number -1e400 lies beyond the range"},
    });
}

TEST(CliProjectErrors, DuplicateKeysAreRefusedWhereTheyRepeat) {
    ExpectAllRefused({
        {"top", R"({"dimension": 2, "dimension": 3, "stations": []})",
         "dimension: the field \"dimension\" is given twice"},
        {"nested", TwoStations(R"({"type": "distance", "from": "A", "to": "B", "value": 1,
                                   "sd": 0.001, "sd": 0.002})"),
         "observations[0].sd: the field \"sd\" is given twice"},
    });
}

TEST(CliProjectErrors, AKnownHeightMustBeGiven) {
    for (const char* known : {"height", "both"})
        ExpectRefused(std::string(R"({"dimension": 1, "stations": [{"name": "A", "east": 0,
                                      "north": 0, "known": ")") +
                          known + R"("}]})",
                      "stations[0]: missing field \"height\": a known height must be given", known);
}

TEST(CliProjectErrors, PackedDmsNumbersCheckMinutesAndSeconds) {
    const auto station = [](const std::string& latitude) {
        return R"({"dimension": 2, "angle_unit": "dms", "stations": [{"name": "A",
                   "latitude": )" +
               latitude + R"(, "longitude": 5.3}]})";
    };
    ExpectAllRefused({
        {"minutes", station("52.6"), "stations[0].latitude: in the dms unit a number is packed"},
        {"seconds", station("52.0060"), "stations[0].latitude: in the dms unit"},
        {"sd",
         TwoStations(R"({"type": "direction", "from": "A", "to": "B", "value": 10.2030,
                              "sd": 0.0075})",
                     R"(, "angle_unit": "dms")"),
         "observations[0].sd: in the dms unit"},
    });
}

TEST(CliProjectErrors, FieldsTheKernelWouldIgnoreAreRefused) {
    const auto levelled = [](const std::string& field) {
        return R"({"dimension": 1, "stations": [{"name": "A", "east": 0, "north": 0, "height": 1},
                   {"name": "B", "east": 100, "north": 0}],
                   "observations": [{"type": "height_difference", "from": "A", "to": "B",
                   "value": 1, )" +
               field + "}]}";
    };
    ExpectAllRefused({
        {"instrument-height", levelled(R"("instrument_height": 1.5)"),
         "observations[0].instrument_height: not a field of a height_difference"},
        {"target-height", levelled(R"("target_height": 1.5)"),
         "observations[0].target_height: not a field of a height_difference"},
        {"centring", levelled(R"("centring": {"station": 0.001})"),
         "observations[0].centring: not a field of a height_difference"},
        {"height-error", levelled(R"("height_error": {"station": 0.001})"),
         "observations[0].height_error: not a field of a height_difference"},
        {"direction-height-error",
         TwoStations(R"({"type": "direction", "from": "A", "to": "B", "value": 0,
                         "height_error": {"station": 0.001}})"),
         "observations[0].height_error: not a field of a direction"},
        {"zenith-centring", TwoStations(R"({"type": "zenith", "from": "A", "to": "B",
                                            "value": 100, "centring": {"station": 0.001}})"),
         "observations[0].centring: not a field of a zenith"},
        {"total-station-absent-reading",
         TwoStations(R"({"type": "total_station", "from": "A", "to": "B", "direction": 0,
                         "sd_zenith": 0.001})"),
         "observations[0].sd_zenith: the record has no zenith angle"},
        {"gps-coordinate-target",
         TwoStations(R"({"type": "gps_coordinate", "station": "A", "x": 1, "y": 2, "z": 3,
                         "sd": [0.01, 0.01, 0.01], "centring": {"target": 0.001}})"),
         "observations[0].centring.target: not a field of a gps_coordinate's centring"},
        {"local-sd-alone", TwoStations(R"({"type": "local_coordinates", "station": "A", "east": 1,
                         "sd_east": 0.001, "sd_height": 0.001})"),
         "observations[0].sd_height: the record has no height"},
    });
}

TEST(CliProjectErrors, ParametersTheNetworkDoesNotUseAreRefused) {
    const std::string distance =
        R"({"type": "distance", "from": "A", "to": "B", "value": 100, "group": 1})";
    ExpectAllRefused({
        {"scale-group",
         TwoStations(distance, R"(, "parameters": {"scale": [{"group": 2, "estimate": true}]})"),
         "parameters.scale[0]: no observation the network uses has scale group 2"},
        {"group-twice", TwoStations(distance, R"(, "parameters": {"scale": [{"group": 1},
                                                 {"group": 1, "value": 1.1}]})"),
         "parameters.scale[1]: group 1 is given twice"},
        {"refraction-2d",
         TwoStations(R"({"type": "total_station", "from": "A", "to": "B", "distance": 100,
                         "zenith": 100})",
                     R"(, "parameters": {"refraction": [{"group": 0}]})"),
         "parameters.refraction[0]: the refraction of group 0 cannot be estimated"},
        {"gps-translation-baselines",
         TwoStations(R"({"type": "gps_baseline", "from": "A", "to": "B", "dx": 100, "dy": 0,
                         "dz": 0, "sd": [0.01, 0.01, 0.01]})",
                     R"(, "parameters": {"gps_transformation": [{"parameter": "translation_x"}]})"),
         "parameters.gps_transformation[0].parameter: no \"translation_x\" to set: with GPS "
         "baselines only"},
        {"gps-fixed-with-sd", TwoStations(distance, R"(, "parameters": {"gps_transformation": [
                                   {"parameter": "scale", "estimate": false, "sd": 1}]})"),
         "parameters.gps_transformation[0].sd: a fixed parameter has no standard deviation"},
        {"gps-coordinate-type",
         TwoStations(distance, R"(, "settings": {"gps_coordinate_type": 2})"),
         "settings.gps_coordinate_type: only the GPS frame"},
        {"local-transformation-unused",
         TwoStations(distance, R"(, "settings": {"local_transformation": "plane_similarity"})"),
         "settings.local_transformation: the project has no local coordinates"},
        {"local-spatial-2d",
         TwoStations(R"({"type": "local_coordinates", "station": "A", "east": 1, "north": 2,
                         "sd_east": 0.001, "sd_north": 0.001})",
                     R"(, "settings": {"local_transformation": "spatial_similarity"})"),
         "settings.local_transformation: a plane network ties local coordinates in by "
         "\"plane_similarity\" only"},
    });
}

TEST(CliProjectErrors, BadValuesAreRefusedBeforeTheyReachTheKernel) {
    const auto ellipsoid = [](const char* a, const char* f) {
        return std::string(R"({"dimension": 2, "ellipsoid": {"semi_major_axis": )") + a +
               R"(, "inverse_flattening": )" + f +
               R"(}, "stations": [{"name": "A", "latitude": 52, "longitude": 5}]})";
    };
    const auto angle = [](const char* text) {
        return TwoStations(std::string(R"({"type": "direction", "from": "A", "to": "B",
                                           "value": ")") +
                           text + R"("})");
    };
    ExpectAllRefused({
        {"nan", angle("nan"), "observations[0].value: expected an angle"},
        {"inf", angle("-inf"), "observations[0].value: expected an angle"},
        {"exponent", angle("1e3 0 0"), "observations[0].value: expected an angle"},
        {"flattening-0", ellipsoid("6378137", "0"),
         "ellipsoid.inverse_flattening: must be greater than 1"},
        {"flattening-1", ellipsoid("6378137", "1"), "ellipsoid.inverse_flattening"},
        {"axis", ellipsoid("0", "298"), "ellipsoid.semi_major_axis: must be positive"},
        {"mixed", R"({"dimension": 2, "stations": [{"name": "A", "latitude": 52, "longitude": 5},
                     {"name": "B", "east": 0, "north": 0}]})",
         "stations[1]: give latitude and longitude like the first station"},
        {"point-code-fraction", R"({"dimension": 2, "stations": [{"name": "A", "east": 0,
                                   "north": 0, "point_codes": [1.5, 2]}]})",
         "stations[0].point_codes[0]: expected a whole number from 0 to 2147483647"},
        {"point-code-range", R"({"dimension": 2, "stations": [{"name": "A", "east": 0,
                                 "north": 0, "point_codes": [1, 2147483648]}]})",
         "stations[0].point_codes[1]: must be a whole number from 0 to 2147483647"},
        {"correlations", TwoStations(R"({"type": "gps_baseline", "from": "A", "to": "B", "dx": 1,
                                         "dy": 0, "dz": 0, "sd": [0.01, 0.01, 0.01],
                                         "correlation": [0.9, -0.9, 0.9]})"),
         "observations[0].correlation: these correlations form no covariance matrix"},
    });
}

TEST(CliProjectErrors, StationNamesAreSixteenBytesOfUtf8) {
    const auto named = [](const std::string& name) {
        return R"({"dimension": 2, "stations": [{"name": ")" + name +
               R"(", "east": 0, "north": 0}]})";
    };
    ExpectAllRefused({
        {"ascii", named("ABCDEFGHIJKLMNOPQ"),
         "stations[0].name: a station name has 1 to 16 "
         "bytes of UTF-8 (17 given"},
        // Six characters, eighteen bytes.
        {"chinese", named("测量点一二三"), "stations[0].name: a station name has 1 to 16 bytes"},
        {"control", named("A\\u0000B"), "stations[0].name: a station name has no control"},
        {"bytes", named("A\xff"), "line 1, column"},
    });
}

} // namespace
