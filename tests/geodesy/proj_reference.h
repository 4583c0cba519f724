// Reader of tests/data/geodesy/proj_reference.txt: reference points computed
// once with PROJ (the file's header tells how). Angles are converted to
// radians here; the file holds decimal degrees.
#ifndef TAVEX_TESTS_GEODESY_PROJ_REFERENCE_H
#define TAVEX_TESTS_GEODESY_PROJ_REFERENCE_H

#include "tavex/tavex.h"

#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace Tavex::reference {

inline double DegToRad(double degrees) {
    return degrees * (std::numbers::pi / 180.0);
}

// PROJ's ellipsoid names to the published codes; -1 when unknown.
inline int EllipsoidCodeOf(const std::string& projName) {
    if (projName == "WGS84")
        return ELLIPSOID_WGS84;
    if (projName == "GRS80")
        return ELLIPSOID_GRS80;
    if (projName == "bessel")
        return ELLIPSOID_BESSEL1841;
    if (projName == "intl")
        return ELLIPSOID_INTERNATIONAL1924;
    if (projName == "krass")
        return ELLIPSOID_KRASSOVSKY1940;
    return -1;
}

struct StereographicReference {
    int ellipsoid;
    double lat0, lon0, k0, falseEasting, falseNorthing; // radians, metres
    double lat, lon, easting, northing;
};

struct GeocentricReference {
    int ellipsoid;
    double lat, lon, h; // radians, metres
    double X, Y, Z;
};

struct ProjReference {
    std::vector<StereographicReference> stereographic;
    std::vector<GeocentricReference> geocentric;
};

inline ProjReference ReadProjReference() {
    ProjReference reference;
    std::ifstream file(TAVEX_TEST_DATA_DIR "/geodesy/proj_reference.txt");
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string kind, ellipsoid;
        fields >> kind >> ellipsoid;
        if (kind == "sterea") {
            StereographicReference r{};
            r.ellipsoid = EllipsoidCodeOf(ellipsoid);
            fields >> r.lat0 >> r.lon0 >> r.k0 >> r.falseEasting >> r.falseNorthing >> r.lat >>
                r.lon >> r.easting >> r.northing;
            for (double* angle : {&r.lat0, &r.lon0, &r.lat, &r.lon})
                *angle = DegToRad(*angle);
            if (fields)
                reference.stereographic.push_back(r);
        } else if (kind == "cart") {
            GeocentricReference r{};
            r.ellipsoid = EllipsoidCodeOf(ellipsoid);
            fields >> r.lat >> r.lon >> r.h >> r.X >> r.Y >> r.Z;
            r.lat = DegToRad(r.lat);
            r.lon = DegToRad(r.lon);
            if (fields)
                reference.geocentric.push_back(r);
        }
    }
    return reference;
}

} // namespace Tavex::reference

#endif
