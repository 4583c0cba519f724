#include "cogo_results.h"

#include "angle_text.h"
#include "document_reader.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace TavexCli {

namespace {

// A computed station in the project's coordinates: the document gives both
// the geographic position and the plane one, and the plane is the project's
// own grid whenever it has one (`projected`).
CogoStation ReadStation(const DocumentReader& in, const xmlNode* e, const Project& project,
                        bool projected) {
    CogoStation s;
    s.index = in.Number(e, "stationNumber", project.stations.size()) - 1;
    s.horizontal = in.Flag(e, "horizontal");
    s.height = in.Flag(e, "height");
    const bool geographic = project.stations[s.index].geographic;
    if (s.horizontal && !geographic && !projected)
        in.Fail("plane coordinates of a project without its own grid");
    s.first = in.Real(e, geographic ? "lat" : "easting");
    s.second = in.Real(e, geographic ? "lon" : "northing");
    s.heightValue = in.Real(e, "h");
    return s;
}

std::vector<CogoResidual> ReadResiduals(const DocumentReader& in, const xmlNode* fit, bool height) {
    std::vector<CogoResidual> residuals;
    for (const xmlNode* e : DocumentReader::Children(fit, "Residual")) {
        CogoResidual r;
        r.name = in.Attribute(e, "name");
        if (height) {
            r.height = in.Real(e, "height");
        } else {
            r.east = in.Real(e, "east");
            r.north = in.Real(e, "north");
        }
        r.rejected = in.Flag(e, "rejected");
        residuals.push_back(r);
    }
    return residuals;
}

bool Needed(const Project& project, bool height) {
    const int d = project.settings.dimension;
    return height ? d != 2 : d != 1;
}

void PrintStations(std::FILE* out, const Project& project, const CogoResults& r) {
    const Settings& s = project.settings;
    std::fprintf(out, "\nApproximate coordinates (%s)\n", s.lengthUnit.c_str());
    if (r.computed.empty()) {
        std::fputs("  no station computed\n", out);
        return;
    }
    std::fprintf(out, "  %-16s %16s %16s %12s\n", "station", "east/lat", "north/lon", "height");
    for (const CogoStation& c : r.computed) {
        const Station& station = project.stations[c.index];
        std::fprintf(out, "  %-16s ", station.name.c_str());
        if (!c.horizontal) {
            std::fprintf(out, "%16s %16s", "-", "-");
        } else if (station.geographic) {
            const int decimals = s.angleUnit == AngleUnit::Dms ? 4 : 8;
            std::fprintf(out, "%16s %16s", FormatAngle(c.first, s.angleUnit, decimals).c_str(),
                         FormatAngle(c.second, s.angleUnit, decimals).c_str());
        } else {
            std::fprintf(out, "%16.3f %16.3f", c.first * s.lengthFactor, c.second * s.lengthFactor);
        }
        if (c.height)
            std::fprintf(out, " %12.3f\n", c.heightValue * s.lengthFactor);
        else
            std::fprintf(out, " %12s\n", "-");
    }
}

void PrintFits(std::FILE* out, const Project& project, const CogoResults& r) {
    const Settings& s = project.settings;
    const double f = s.lengthFactor;
    if (Needed(project, false)) {
        std::fputs("\nFit onto the known positions (computed minus known)\n", out);
        if (!r.planeFitted)
            std::fputs("  not enough known positions: the solution was not fitted\n", out);
        else
            std::fprintf(out, "  scale %.8f, rotation %s %s\n", r.scale,
                         FormatAngle(r.rotation, s.angleUnit, 6).c_str(), UnitName(s.angleUnit));
        for (const CogoResidual& k : r.planeResiduals)
            std::fprintf(out, "  %-16s %10.4f %10.4f %s%s\n", k.name.c_str(), k.east * f,
                         k.north * f, s.lengthUnit.c_str(), k.rejected ? "  ** rejected" : "");
    }
    if (Needed(project, true)) {
        std::fputs("\nFit onto the known heights (computed minus known)\n", out);
        if (!r.heightFitted)
            std::fputs("  no known height: the heights were not fitted\n", out);
        else
            std::fprintf(out, "  shift %.4f %s\n", r.shift * f, s.lengthUnit.c_str());
        for (const CogoResidual& k : r.heightResiduals)
            std::fprintf(out, "  %-16s %10.4f %s%s\n", k.name.c_str(), k.height * f,
                         s.lengthUnit.c_str(), k.rejected ? "  ** rejected" : "");
    }
}

// A coordinate in the file's own form: metres, or an angle in the unit
// (d-m-s as text, which every unit reads).
nlohmann::ordered_json FileAngle(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Dms)
        return FormatAngle(radians, unit, 6);
    return std::stod(FormatAngle(radians, unit, 11));
}

// Millimetres rounded to a tenth: what an approximate coordinate needs.
double Rounded(double metres) {
    return std::round(metres * 1e4) / 1e4;
}

} // namespace

CogoResults ReadCogoDocument(const std::string& path, const Project& project) {
    const DocumentReader in(path);
    const xmlNode* cogo = DocumentReader::Child(in.Project(), "Cogo");
    if (cogo == nullptr)
        in.Fail("not an approximate-coordinate result document");
    const bool projected = in.Flag(cogo, "projected");
    CogoResults r;
    for (const xmlNode* e : DocumentReader::Children(cogo, "Station"))
        r.computed.push_back(ReadStation(in, e, project, projected));
    if (const xmlNode* fit = DocumentReader::Child(cogo, "PlaneFit")) {
        r.planeFitted = in.Flag(fit, "fitted");
        r.scale = in.Real(fit, "scale");
        r.rotation = in.Real(fit, "rotation");
        r.planeResiduals = ReadResiduals(in, fit, false);
    }
    if (const xmlNode* fit = DocumentReader::Child(cogo, "HeightFit")) {
        r.heightFitted = in.Flag(fit, "fitted");
        r.shift = in.Real(fit, "shift");
        r.heightResiduals = ReadResiduals(in, fit, true);
    }
    const xmlNode* missing = DocumentReader::Child(cogo, "NotComputed");
    for (const xmlNode* e : DocumentReader::Children(missing, "Station"))
        r.notComputed.push_back(
            project.stations[in.Number(e, "stationNumber", project.stations.size()) - 1].name);
    return r;
}

bool LacksCoordinates(const Project& project, const Station& s) {
    if (s.excluded)
        return false;
    return (Needed(project, false) && !s.hasPosition) || (Needed(project, true) && !s.hasHeight);
}

bool LacksCoordinates(const Project& project) {
    for (const Station& s : project.stations)
        if (LacksCoordinates(project, s))
            return true;
    return false;
}

void AdoptCoordinates(Project& project, const CogoResults& results, bool onlyMissing) {
    for (const CogoStation& c : results.computed) {
        Station& s = project.stations[c.index];
        const bool knownPosition = s.known == Known::Position || s.known == Known::Both;
        const bool knownHeight = s.known == Known::Height || s.known == Known::Both;
        if (c.horizontal && !knownPosition && !(onlyMissing && s.hasPosition)) {
            s.first = c.first;
            s.second = c.second;
            s.hasPosition = true;
        }
        if (c.height && !knownHeight && !(onlyMissing && s.hasHeight)) {
            s.height = c.heightValue;
            s.hasHeight = true;
        }
    }
}

void PrintCogo(std::FILE* out, const Project& project, const CogoResults& r) {
    PrintStations(out, project, r);
    PrintFits(out, project, r);
    std::fputs("\nStations not computed\n", out);
    if (r.notComputed.empty())
        std::fputs("  none\n", out);
    for (const std::string& name : r.notComputed)
        std::fprintf(out, "  %s\n", name.c_str());
}

std::string CogoAsJson(const Project& project, const CogoResults& r) {
    using nlohmann::json;
    json computed = json::array();
    for (const CogoStation& c : r.computed) {
        const Station& s = project.stations[c.index];
        json j = {{"name", s.name}};
        if (c.horizontal) {
            j[s.geographic ? "latitude" : "east"] = c.first;
            j[s.geographic ? "longitude" : "north"] = c.second;
        }
        if (c.height)
            j["height"] = c.heightValue;
        computed.push_back(j);
    }
    json plane = json::array(), heights = json::array();
    for (const CogoResidual& k : r.planeResiduals)
        plane.push_back(
            {{"name", k.name}, {"east", k.east}, {"north", k.north}, {"rejected", k.rejected}});
    for (const CogoResidual& k : r.heightResiduals)
        heights.push_back({{"name", k.name}, {"height", k.height}, {"rejected", k.rejected}});
    return json{
        {"computed", computed},
        {"plane_fit",
         {{"fitted", r.planeFitted},
          {"scale", r.scale},
          {"rotation", r.rotation},
          {"residuals", plane}}},
        {"height_fit", {{"fitted", r.heightFitted}, {"shift", r.shift}, {"residuals", heights}}},
        {"not_computed", r.notComputed}}
        .dump(2);
}

void WriteProjectWithCoordinates(const std::string& source, const std::string& target,
                                 const Project& project, const CogoResults& results) {
    std::ifstream in(source);
    std::stringstream text;
    text << in.rdbuf();
    // The order of the fields stays the file's own.
    nlohmann::ordered_json file = nlohmann::ordered_json::parse(text.str(), nullptr, false);
    if (file.is_discarded() || !file.contains("stations"))
        throw std::runtime_error("cannot read " + source + " again to copy it");
    nlohmann::ordered_json& stations = file["stations"];
    const AngleUnit unit = project.settings.angleUnit;
    for (const CogoStation& c : results.computed) {
        const Station& s = project.stations[c.index];
        nlohmann::ordered_json& j = stations.at(c.index);
        const bool knownPosition = s.known == Known::Position || s.known == Known::Both;
        const bool knownHeight = s.known == Known::Height || s.known == Known::Both;
        if (c.horizontal && !knownPosition) {
            if (s.geographic) {
                j["latitude"] = FileAngle(c.first, unit);
                j["longitude"] = FileAngle(c.second, unit);
            } else {
                j["east"] = Rounded(c.first);
                j["north"] = Rounded(c.second);
            }
        }
        if (c.height && !knownHeight)
            j["height"] = Rounded(c.heightValue);
    }
    std::ofstream out(target);
    out << file.dump(2) << '\n';
    if (!out)
        throw std::runtime_error("cannot write " + target);
}

} // namespace TavexCli
