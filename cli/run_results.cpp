#include "run_results.h"

#include <cmath>
#include <cstring>

namespace TavexCli {

namespace {

constexpr const char* kKindNames[] = {"direction",      "distance",          "zenith",
                                      "azimuth",        "height_difference", "gps_baseline",
                                      "gps_coordinate", "total_station"};

ReadingResult Reading(const Project& project, std::size_t index, const char* kind) {
    const Observation& o = project.observations[index];
    ReadingResult r;
    r.observation = index;
    r.kind = kind;
    r.from = project.stations[o.from - 1].name;
    r.to = o.to ? project.stations[o.to - 1].name : "";
    return r;
}

void ReadTerrestrial(const Project& project, std::size_t index, const Tavex::_OBSERVATION& record,
                     int slot, const char* kind, double criticalW,
                     std::vector<ReadingResult>& out) {
    const auto& t = record.Terrestrial;
    ReadingResult r = Reading(project, index, kind);
    r.residual = t.Residual[slot];
    r.w = t.W[slot];
    r.mdb = t.Mdb[slot];
    r.redundancy = t.Redundancy[slot];
    r.sd = t.Sd[slot];
    r.sdAdjusted = t.SdAdjusted[slot];
    r.tested = true;
    r.rejected = std::fabs(r.w) > criticalW;
    out.push_back(r);
}

void ReadObservation(const Project& project, std::size_t index, const Tavex::_OBSERVATION& record,
                     double criticalW, std::vector<ReadingResult>& out) {
    const Observation& o = project.observations[index];
    switch (o.kind) {
    case ObservationKind::Direction:
        ReadTerrestrial(project, index, record, 0, "direction", criticalW, out);
        break;
    case ObservationKind::Distance:
        ReadTerrestrial(project, index, record, 1, "distance", criticalW, out);
        break;
    case ObservationKind::Zenith:
        ReadTerrestrial(project, index, record, 2, "zenith", criticalW, out);
        break;
    case ObservationKind::TotalStation:
        if (o.direction)
            ReadTerrestrial(project, index, record, 0, "direction", criticalW, out);
        if (o.distance)
            ReadTerrestrial(project, index, record, 1, "distance", criticalW, out);
        if (o.zenith)
            ReadTerrestrial(project, index, record, 2, "zenith", criticalW, out);
        break;
    case ObservationKind::Azimuth:
    case ObservationKind::HeightDifference: {
        const auto& s = record.Single;
        ReadingResult r = Reading(project, index, kKindNames[static_cast<int>(o.kind)]);
        r.residual = s.Residual;
        r.w = s.W;
        r.mdb = s.Mdb;
        r.redundancy = s.Redundancy;
        r.sd = s.Sd;
        r.sdAdjusted = s.SdAdjusted;
        r.tested = true;
        r.rejected = std::fabs(r.w) > criticalW;
        out.push_back(r);
        break;
    }
    case ObservationKind::GpsBaseline: {
        const auto& b = record.Baseline;
        static const char* const kAxes[3] = {"gps_baseline_x", "gps_baseline_y", "gps_baseline_z"};
        for (int k = 0; k < 3; ++k) {
            ReadingResult r = Reading(project, index, kAxes[k]);
            r.residual = b.Residual[k];
            r.w = b.W[k];
            r.mdb = b.Mdb[k];
            r.redundancy = b.Redundancy[k];
            r.sd = b.Sd[k];
            r.sdAdjusted = b.SdAdjusted[k];
            r.tested = true;
            r.rejected = std::fabs(r.w) > criticalW;
            out.push_back(r);
        }
        break;
    }
    case ObservationKind::GpsCoordinate:
        for (int k = 0; k < 3; ++k)
            ReadTerrestrial(project, index, record, k,
                            k == 0 ? "gps_x" : (k == 1 ? "gps_y" : "gps_z"), criticalW, out);
        break;
    }
}

} // namespace

std::vector<Message> ReadMessages(const Records& records) {
    std::vector<Message> messages;
    for (const Tavex::_MESSAGE& m : records.settings->Messages)
        messages.push_back({m.Code, m.Class == 1, std::string(m.Text)});
    return messages;
}

RunResults ReadResults(const Project& project, const Records& records, int result,
                       const Tavex::_STATISTICS& statistics) {
    RunResults out;
    out.result = result;
    out.messages = ReadMessages(records);
    std::memcpy(static_cast<void*>(&out.statistics), &statistics, sizeof statistics);
    if (result == 0)
        return out;
    // The covariance's first coordinate is east in the grid of a map
    // projection, north otherwise.
    const bool eastFirst = project.settings.projection != Tavex::PROJECTION_NONE;
    for (std::size_t k = 0; k < project.stations.size(); ++k) {
        const Tavex::_STATIONADJ& r = records.stations[k];
        StationResult s;
        s.name = project.stations[k].name;
        s.known = project.stations[k].known != Known::No;
        s.adjusted = r.CoordStatus == 7 || (project.settings.design && r.CovScale == 1.0);
        s.horizontal = r.CoordClass == 2 || r.CoordClass == 3;
        s.height = r.CoordClass == 1 || r.CoordClass == 3;
        if (project.settings.design) {
            s.horizontal = r.Ellipse[0] > 0.0;
            s.height = r.Cov[5] > 0.0;
        }
        s.first = r.Coord1;
        s.second = r.Coord2;
        s.heightValue = r.Height;
        const double c11 = r.Cov[0] * r.CovScale, c22 = r.Cov[3] * r.CovScale;
        s.sdNorth = std::sqrt(std::max(eastFirst ? c22 : c11, 0.0));
        s.sdEast = std::sqrt(std::max(eastFirst ? c11 : c22, 0.0));
        s.sdHeight = std::sqrt(std::max(r.Cov[5], 0.0));
        s.ellipseA = r.Ellipse[0];
        s.ellipseB = r.Ellipse[1];
        s.ellipsePhi = r.Ellipse[2];
        s.tTest = r.TTest;
        out.stations.push_back(s);
    }
    const double criticalW = statistics.CriticalW;
    for (std::size_t k = 1; k < records.observations.size(); ++k)
        ReadObservation(project, records.source[k], records.observations[k], criticalW,
                        out.readings);
    return out;
}

} // namespace TavexCli
