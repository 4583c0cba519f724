// --geojson: stations and observed lines in WGS 84 longitude and latitude,
// checked against the given positions of fixed known stations and against
// an independent inverse of the oblique stereographic projection (IOGP
// Guidance Note 7-2, method 9809) for a project given in grid coordinates.
#include "cli_run.h"
#include "report_files.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>

namespace {

using namespace TavexCliTest;
namespace fs = std::filesystem;
using nlohmann::json;

constexpr double kPi = std::numbers::pi;

json GeoJson(const std::string& command, const std::string& project, const fs::path& out,
             const std::string& more = "") {
    const Outcome o =
        Tavex(command + " " + project + " --output none --geojson " + out.string() + " " + more);
    EXPECT_EQ(o.status, 0) << o.out;
    const json parsed = json::parse(ReadFile(out), nullptr, false);
    EXPECT_FALSE(parsed.is_discarded());
    EXPECT_EQ(parsed["type"], "FeatureCollection");
    return parsed;
}

std::map<std::string, json> Points(const json& collection) {
    std::map<std::string, json> points;
    for (const json& f : collection["features"])
        if (f["geometry"]["type"] == "Point")
            points[f["properties"]["name"]] = f;
    return points;
}

// Inverse oblique stereographic (EPSG 9809) of the GRS80 ellipsoid:
// latitude and longitude in degrees of grid point (E, N).
std::pair<double, double> InverseStereographic(double E, double N, double lat0, double lon0,
                                               double k0, double FE, double FN) {
    const double a = 6378137.0, f = 1 / 298.257222101, e2 = f * (2 - f), e = std::sqrt(e2);
    const double s0 = std::sin(lat0);
    const double rho0 = a * (1 - e2) / std::pow(1 - e2 * s0 * s0, 1.5);
    const double nu0 = a / std::sqrt(1 - e2 * s0 * s0);
    const double R = std::sqrt(rho0 * nu0);
    const double n = std::sqrt(1 + e2 * std::pow(std::cos(lat0), 4) / (1 - e2));
    const double S1 = (1 + s0) / (1 - s0), S2 = (1 - e * s0) / (1 + e * s0);
    const double w1 = std::pow(S1 * std::pow(S2, e), n);
    const double sinChi0 = (w1 - 1) / (w1 + 1);
    const double c = (n + s0) * (1 - sinChi0) / ((n - s0) * (1 + sinChi0));
    const double chi0 = std::asin(sinChi0);
    const double g = 2 * R * k0 * std::tan(kPi / 4 - chi0 / 2);
    const double h = 4 * R * k0 * std::tan(chi0) + g;
    const double i = std::atan((E - FE) / (h + (N - FN)));
    const double j = std::atan((E - FE) / (g - (N - FN))) - i;
    const double chi = chi0 + 2 * std::atan(((N - FN) - (E - FE) * std::tan(j / 2)) / (2 * R * k0));
    const double Lambda = j + 2 * i + lon0;
    const double lon = (Lambda - lon0) / n + lon0;
    const double psi = 0.5 * std::log((1 + std::sin(chi)) / (c * (1 - std::sin(chi)))) / n;
    double lat = 2 * std::atan(std::exp(psi)) - kPi / 2;
    for (int k = 0; k < 20; ++k) {
        const double sl = std::sin(lat);
        const double psiK =
            std::log(std::tan(lat / 2 + kPi / 4) * std::pow((1 - e * sl) / (1 + e * sl), e / 2));
        lat -= (psiK - psi) * std::cos(lat) * (1 - e2 * sl * sl) / (1 - e2);
    }
    return {lat * 180 / kPi, lon * 180 / kPi};
}

// triangulation.json: grid coordinates on the local stereographic
// projection, whose origin (latitude and longitude 0, scale 1) is the mean
// of the known stations' grid positions.
TEST(GeoJson, GridStationsAtTheInverseOfTheLocalProjection) {
    const fs::path dir = Project("{}").parent_path();
    const json project = ReadJson(Example("triangulation"));
    double fe = 0, fn = 0;
    int known = 0;
    for (const json& s : project["stations"])
        if (s.value("known", "none") == "position" || s.value("known", "none") == "both") {
            fe += s["east"].get<double>();
            fn += s["north"].get<double>();
            ++known;
        }
    ASSERT_GT(known, 0);
    fe /= known;
    fn /= known;
    // The adjusted grid positions, from the document of the same run.
    const Outcome run = Tavex("adjust " + Example("triangulation") + " --output xml --output-dir " +
                              dir.string() + " --geojson " + (dir / "t.geojson").string());
    ASSERT_EQ(run.status, 0) << run.out;
    const XmlFile document(dir / "triangul.xml");
    const auto points = Points(json::parse(ReadFile(dir / "t.geojson")));
    const auto stations = document.Nodes("//r:Stations/r:Station");
    ASSERT_EQ(points.size(), stations.size());
    for (const xmlNode* s : stations) {
        const std::string name = XmlFile::Attribute(s, "name");
        const xmlNode* c =
            document.Nodes("//r:Station[@name='" + name + "']/r:Coordinate[@kind='adjusted']")
                .at(0);
        const auto [lat, lon] =
            InverseStereographic(std::stod(XmlFile::Attribute(c, "easting")),
                                 std::stod(XmlFile::Attribute(c, "northing")), 0, 0, 1, fe, fn);
        const json& xy = points.at(name)["geometry"]["coordinates"];
        EXPECT_NEAR(xy[0].get<double>(), lon, 1e-8) << name; // RFC 7946: longitude first
        EXPECT_NEAR(xy[1].get<double>(), lat, 1e-8) << name;
    }
    // One line per observed pair; the planted error's line is rejected.
    std::size_t lines = 0;
    bool t3t6 = false;
    const json collection = json::parse(ReadFile(dir / "t.geojson"));
    for (const json& f : collection["features"])
        if (f["geometry"]["type"] == "LineString") {
            ++lines;
            const auto& p = f["properties"];
            if ((p["from"] == "T3" && p["to"] == "T6") || (p["from"] == "T6" && p["to"] == "T3"))
                t3t6 = p["rejected"].get<bool>();
        }
    EXPECT_EQ(lines, ObservedPairs(document).size());
    EXPECT_TRUE(t3t6);
    fs::remove_all(dir);
}

// gps-total-station.json held by a free datum: the known stations that fix
// it keep their given latitude and longitude exactly.
TEST(GeoJson, FixedKnownStationsKeepTheirGivenPosition) {
    json project = ReadJson(Example("gps-total-station"));
    project["datum"] = "free";
    const fs::path file = Project(project.dump());
    const json collection = GeoJson("adjust", file.string(), file.parent_path() / "g.geojson");
    const auto points = Points(collection);
    // G1 52°00'00.00" 5°00'00.00", G2 52°00'43.20" 5°01'15.60".
    const std::map<std::string, std::pair<double, double>> given = {
        {"G1", {5.0, 52.0}}, {"G2", {5.0 + 75.6 / 3600, 52.0 + 43.2 / 3600}}};
    for (const auto& [name, lonLat] : given) {
        const json& xy = points.at(name)["geometry"]["coordinates"];
        EXPECT_NEAR(xy[0].get<double>(), lonLat.first, 1e-9) << name;
        EXPECT_NEAR(xy[1].get<double>(), lonLat.second, 1e-9) << name;
        EXPECT_EQ(points.at(name)["properties"]["known"], "known");
    }
    // Precision properties of a new station: σ and the ellipse.
    const json& s1 = points.at("S1")["properties"];
    EXPECT_EQ(s1["known"], "new");
    EXPECT_GT(s1["ellipse_a"].get<double>(), 0);
    EXPECT_GE(s1["ellipse_a"].get<double>(), s1["ellipse_b"].get<double>());
    EXPECT_NEAR(std::hypot(s1["sd_north"].get<double>(), s1["sd_east"].get<double>()),
                std::hypot(s1["ellipse_a"].get<double>(), s1["ellipse_b"].get<double>()), 1e-9);
    fs::remove_all(file.parent_path());
}

TEST(GeoJson, CogoGivesEveryStationWithAComputedPosition) {
    const fs::path dir = Project("{}").parent_path();
    const json collection =
        GeoJson("cogo", Example("traverse-without-coordinates"), dir / "c.geojson");
    const json project = ReadJson(Example("traverse-without-coordinates"));
    EXPECT_EQ(Points(collection).size(), project["stations"].size());
    fs::remove_all(dir);
}

} // namespace
