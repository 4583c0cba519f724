#include "project_file.h"

#include "angle_text.h"
#include "json_document.h"
#include "project_reader.h"

#include <tavex/tavex.h>

#include <fstream>
#include <sstream>

namespace TavexCli {

double Reader::Angle(const Node& node) const {
    if (node.IsString()) {
        const auto radians = ParseDms(node.Text());
        if (!radians)
            node.Fail("expected an angle as a number or as \"degrees minutes seconds\" text "
                      "(minutes and seconds below 60)");
        return *radians;
    }
    const auto radians = ToRadians(node.Number(), p_.settings.angleUnit);
    if (!radians)
        node.Fail("in the dms unit a number is packed degrees.minutes seconds (32.0054 is "
                  "32 00 54); its minutes and seconds lie below 60");
    return *radians;
}

double Reader::AngleSd(const Node& parent, const char* key) const {
    if (!parent.Has(key))
        return 0.0;
    const double sd = Angle(parent.At(key));
    if (sd < 0)
        parent.At(key).Fail("must not be negative");
    return sd;
}

unsigned Reader::StationNumber(const Node& node) const {
    const std::string name = node.Text();
    const auto at = stationNumbers_.find(name);
    if (at == stationNumbers_.end())
        node.Fail("unknown station \"" + name + "\"");
    return at->second;
}

void Reader::ReadEllipsoid(const Node& root) {
    Settings& s = p_.settings;
    if (root.Has("ellipsoid") && root.At("ellipsoid").IsObject()) {
        const Node e = root.At("ellipsoid");
        e.Allow({"semi_major_axis", "inverse_flattening"});
        s.ellipsoid = Tavex::ELLIPSOID_USER_DEFINED;
        s.semiMajorAxis = e.Positive("semi_major_axis");
        s.inverseFlattening = e.At("inverse_flattening").Number();
        // f = 1 / inverse flattening lies in (0, 1): a sphere has no finite
        // inverse flattening and the kernel divides by it.
        if (!(s.inverseFlattening > 1))
            e.At("inverse_flattening")
                .Fail("must be greater than 1 (about 298 for the Earth's ellipsoids)");
        return;
    }
    static const int kCodes[] = {
        Tavex::ELLIPSOID_GRS80,          Tavex::ELLIPSOID_WGS84,
        Tavex::ELLIPSOID_BESSEL1841,     Tavex::ELLIPSOID_INTERNATIONAL1924,
        Tavex::ELLIPSOID_KRASSOVSKY1940, Tavex::ELLIPSOID_IAG1975,
        Tavex::ELLIPSOID_CGCS2000,       Tavex::ELLIPSOID_FRAME_GEOGRAPHIC};
    s.ellipsoid = kCodes[root.Choice("ellipsoid",
                                     {"GRS80", "WGS84", "Bessel1841", "International1924",
                                      "Krassovsky1940", "IAG1975", "CGCS2000", "GPS_frame"},
                                     0)];
}

void Reader::ReadSettings(const Node& root) {
    Settings& s = p_.settings;
    s.name = root.Text("name", "");
    if (s.name.size() > 40)
        root.At("name").Fail("a network name has at most 40 bytes");
    if (!root.Has("dimension"))
        root.Fail("missing field \"dimension\" (1, 2 or 3)");
    s.dimension = root.Integer("dimension", 2, 1, 3);
    s.phase = std::vector<int>{
        1, 3,
        2}[static_cast<std::size_t>(root.Choice("datum", {"free", "weighted", "constrained"}, 0))];
    s.design = root.Boolean("design", false);
    s.angleUnit = static_cast<AngleUnit>(root.Choice("angle_unit", {"gon", "deg", "dms"}, 0));
    if (root.Has("length_unit")) {
        const Node unit = root.At("length_unit");
        unit.Allow({"name", "long_name", "factor"});
        s.lengthUnit = unit.Text("name", "m");
        s.lengthUnitLong = unit.Text("long_name", s.lengthUnit);
        s.lengthFactor = unit.Number("factor", 1.0);
        if (!(s.lengthFactor > 0))
            unit.At("factor").Fail("must be positive");
        if (s.lengthUnit.size() > 3)
            unit.At("name").Fail("at most 3 bytes");
        if (s.lengthUnitLong.size() > 20)
            unit.At("long_name").Fail("at most 20 bytes");
    }
    ReadEllipsoid(root);
    static const nlohmann::json kNoSettings = nlohmann::json::object();
    const Node settings =
        root.Has("settings") ? root.At("settings") : Node(kNoSettings, "settings");
    ReadComputationSettings(settings);
    ReadReportSwitches(settings);
    s.scale.fill(1.0);
    s.refraction.fill(0.13);
    s.azimuthOffset.fill(0.0);
    s.scaleFree.fill(0);
    s.refractionFree.fill(0);
    s.azimuthOffsetFree.fill(0);
    // Without a list every GPS transformation parameter is estimated from 0.
    s.gpsParameterUse.fill(GpsParameterUse::Estimated);
    if (root.Has("parameters"))
        ReadParameters(root.At("parameters"));
}

void Reader::ReadComputationSettings(const Node& settings) {
    Settings& s = p_.settings;
    settings.Allow({"sigma0", "alpha0", "beta", "max_iterations", "convergence",
                    "singularity_threshold", "confidence_1d", "confidence_2d",
                    "a_posteriori_variance_factor", "external_reliability", "covariance_output",
                    "gps_coordinate_type", "geoid_model", "local_transformation", "report",
                    "free_observations", "variance_components"});
    s.sigma0 = settings.Number("sigma0", 1.0);
    s.alpha0 = settings.Number("alpha0", 0.001);
    s.beta = settings.Number("beta", 0.80);
    s.iterations = settings.Integer("max_iterations", 5, 0, 1000);
    s.epsilon = settings.Number("convergence", 0.0001);
    s.deltaSingular = settings.NonNegative("singularity_threshold", 1e-6);
    s.confidence1D = settings.Number("confidence_1d", 0.683);
    s.confidence2D = settings.Number("confidence_2d", 0.394);
    s.aPosteriori =
        settings.Choice("a_posteriori_variance_factor", {"never", "when_rejected", "always"}, 0);
    s.externalReliability = settings.Boolean("external_reliability", false);
    s.covarianceOutput = settings.Integer("covariance_output", 0, 0, 4);
    s.gpsCoordinateType = settings.Integer("gps_coordinate_type", 0, 0, 2);
    if (settings.Has("gps_coordinate_type") && s.ellipsoid != Tavex::ELLIPSOID_FRAME_GEOGRAPHIC)
        settings.At("gps_coordinate_type")
            .Fail("only the GPS frame (\"ellipsoid\": \"GPS_frame\") reads the kind of the GPS "
                  "coordinates");
    s.geoidModel = settings.Integer("geoid_model", 0, 0, 1);
    s.localTransformation = static_cast<LocalTransformation>(
        settings.Choice("local_transformation",
                        {"by_dimension", "height_shift", "plane_similarity", "spatial_similarity",
                         "plane_similarity_and_height_shift"},
                        0));
    if (settings.Has("local_transformation"))
        localTransformationPlace_ = settings.At("local_transformation").Where();
    s.freeObservations = settings.Boolean("free_observations", true);
    ReadVarianceComponents(settings);
    const auto positive = [&](const char* key, double v) {
        if (settings.Has(key) && !(v > 0))
            settings.At(key).Fail("must be positive");
    };
    const auto probability = [&](const char* key, double v) {
        if (settings.Has(key) && !(v > 0 && v < 1))
            settings.At(key).Fail("must lie between 0 and 1");
    };
    positive("sigma0", s.sigma0);
    positive("convergence", s.epsilon);
    probability("alpha0", s.alpha0);
    probability("beta", s.beta);
    probability("confidence_1d", s.confidence1D);
    probability("confidence_2d", s.confidence2D);
}

// Either the mode's word, or {"mode": word, "max_passes": n, "tolerance": x}
// when the passes need other limits than 5 and 0.01.
void Reader::ReadVarianceComponents(const Node& settings) {
    Settings& s = p_.settings;
    if (!settings.Has("variance_components"))
        return;
    static const std::vector<std::string> kModes = {"none", "terrestrial_gps", "per_kind",
                                                    "per_set"};
    const Node v = settings.At("variance_components");
    variancePlace_ = v.Where();
    if (v.IsString()) {
        s.varianceMode =
            static_cast<VarianceMode>(settings.Choice("variance_components", kModes, 0));
        return;
    }
    if (!v.IsObject())
        v.Fail("expected \"none\", \"terrestrial_gps\", \"per_kind\", \"per_set\" or an object "
               "{\"mode\": ..., \"max_passes\": ..., \"tolerance\": ...}");
    v.Allow({"mode", "max_passes", "tolerance"});
    if (!v.Has("mode"))
        v.Fail("missing field \"mode\" (\"none\", \"terrestrial_gps\", \"per_kind\" or "
               "\"per_set\")");
    s.varianceMode = static_cast<VarianceMode>(v.Choice("mode", kModes, 0));
    variancePlace_ = v.At("mode").Where();
    s.variancePasses = v.Integer("max_passes", 5, 0, 1000);
    s.varianceTolerance = v.Number("tolerance", 0.01);
    if (v.Has("tolerance") && !(s.varianceTolerance > 0))
        v.At("tolerance").Fail("must be positive");
    // Without re-weighting there are no passes to limit.
    if (s.varianceMode == VarianceMode::None)
        for (const char* key : {"max_passes", "tolerance"})
            if (v.Has(key))
                v.At(key).Fail("only a mode that re-weights (\"terrestrial_gps\", \"per_kind\", "
                               "\"per_set\") makes passes");
}

void Reader::ReadReportSwitches(const Node& settings) {
    Settings& s = p_.settings;
    s.reportSwitch.fill(1);
    s.reportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = s.externalReliability ? 1 : 0;
    if (!settings.Has("report"))
        return;
    const Node report = settings.At("report");
    static const char* const kSections[14] = {"projection",
                                              "input_coordinates",
                                              "input_parameters",
                                              "input_observations",
                                              "adjusted_coordinates",
                                              "external_reliability",
                                              "absolute_precision",
                                              "relative_precision",
                                              "known_coordinate_test",
                                              "known_coordinate_errors",
                                              "parameters",
                                              "observation_adjustment",
                                              "observation_tests",
                                              "observation_errors"};
    std::set<std::string> keys(std::begin(kSections), std::end(kSections));
    report.Allow(keys);
    for (int slot = 0; slot < 14; ++slot)
        if (report.Has(kSections[slot]))
            s.reportSwitch[static_cast<std::size_t>(slot)] =
                report.Boolean(kSections[slot], true) ? 1 : 0;
    if (report.Has("external_reliability"))
        s.externalReliability = s.reportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] != 0;
}

void Reader::ReadProjection(const Node& root) {
    // Stations all come one way (station_reader.cpp): a local grid for
    // east/north stations unless the file says otherwise.
    bool grid = true;
    for (const Station& s : p_.stations)
        if (s.hasPosition) {
            grid = !s.geographic;
            break;
        }
    for (Station& s : p_.stations)
        if (!s.hasPosition)
            s.geographic = !grid;
    const int projection = root.Choice("projection", {"none", "local_stereographic"}, grid ? 1 : 0);
    p_.settings.projection =
        projection == 1 ? Tavex::PROJECTION_LOCAL_STEREOGRAPHIC : Tavex::PROJECTION_NONE;
    if (grid && projection == 0)
        root.At("projection").Fail("stations given by east and north need a projection");
    if (!grid && projection == 1)
        root.At("projection")
            .Fail("a local stereographic grid needs stations given by east and north");
    if (grid && p_.settings.ellipsoid == Tavex::ELLIPSOID_FRAME_GEOGRAPHIC)
        root.At("ellipsoid")
            .Fail("the GPS frame has no map projection: give the stations by latitude and "
                  "longitude");
}

void Reader::Read(const Node& root) {
    root.Allow({"name", "dimension", "datum", "design", "angle_unit", "length_unit", "ellipsoid",
                "projection", "settings", "parameters", "stations", "observations"});
    ReadSettings(root);
    for (const Node& station : root.At("stations").Items())
        ReadStation(station);
    if (p_.stations.empty())
        root.At("stations").Fail("a project needs stations");
    ReadProjection(root);
    if (root.Has("observations"))
        for (const Node& observation : root.At("observations").Items())
            ReadObservation(observation);
    CheckParameterGroups();
    CheckGpsTransformation();
    CheckLocalTransformation();
    CheckVarianceGroups();
}

Project ParseProject(const std::string& text, const std::string& path) {
    const nlohmann::json root = ReadJsonDocument(text, path);
    Project project;
    project.path = path;
    Reader(project).Read(Node(root, ""));
    return project;
}

Project ReadProjectFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ProjectError(path, "cannot open the project file");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseProject(text.str(), path);
}

} // namespace TavexCli
