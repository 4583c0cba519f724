#include "json_results.h"

#include "result_document.h"

#include <nlohmann/json.hpp>

namespace TavexCli {

namespace {

using nlohmann::json;

json MessageJson(const Message& m) {
    json j = {{"code", m.code}, {"class", m.error ? "error" : "warning"}, {"text", m.text}};
    if (!m.station.empty())
        j["station"] = m.station;
    if (m.record != 0) {
        j["record"] = m.record;
        j["where"] = m.where;
    }
    return j;
}

json StationJson(const Project& project, std::size_t k, const StationResult& r) {
    const bool geographic = project.stations[k].geographic;
    json s = {{"name", r.name},
              {geographic ? "latitude" : "east", r.first},
              {geographic ? "longitude" : "north", r.second},
              {"height", r.heightValue},
              {"known", r.known}};
    if (r.horizontal) {
        s["sd"] = {{"north", r.sdNorth}, {"east", r.sdEast}};
        s["ellipse"] = {{"a", r.ellipseA}, {"b", r.ellipseB}, {"phi", r.ellipsePhi}};
    }
    if (r.height)
        s["sd_height"] = r.sdHeight;
    if (r.tTest != 0.0)
        s["t_test"] = r.tTest;
    if (r.sideShot)
        s["side_shot"] = {{"held_station", r.heldStation},
                          {"record", r.sideShotRecord},
                          {"where", r.sideShotWhere}};
    return s;
}

json ReadingJson(const ReadingResult& r) {
    json j = {{"record", r.record}, {"where", r.where}, {"kind", r.kind},
              {"from", r.from},     {"to", r.to},       {"state", StateName(r.state)}};
    if (r.state == ReadingState::SideShot)
        j.update({{"residual", r.residual}, {"sd", r.sd}, {"sd_adjusted", r.sdAdjusted}});
    if (r.state != ReadingState::Adjusted)
        return j;
    j.update({{"residual", r.residual},
              {"w", r.w},
              {"mdb", r.mdb},
              {"redundancy", r.redundancy},
              {"sd", r.sd},
              {"sd_adjusted", r.sdAdjusted},
              {"rejected", r.rejected}});
    return j;
}

json ParameterJson(const ParameterResult& p) {
    json j = {{"kind", p.kind}, {"value", p.value}};
    if (p.kind == "gps_transformation") {
        j["parameter"] = p.name;
        static const char* const kUse[] = {"estimated", "fixed", "weighted"};
        j["use"] = kUse[static_cast<int>(p.use)];
    } else {
        j["group"] = p.group;
    }
    if (p.use != GpsParameterUse::Fixed)
        j["sd"] = p.sd;
    return j;
}

json VarianceJson(const VarianceComponentsResult& v) {
    json groups = json::array();
    for (const VarianceGroupResult& g : v.groups) {
        json j = {{"kind", VarianceKindName(g.kind)},
                  {"variance_group", g.key},
                  {"estimate", HasEstimate(g) ? json(g.estimate) : json(nullptr)},
                  {"redundancy", g.redundancy},
                  {"reweighted", g.reweighted}};
        if (g.reweighted)
            j["factor"] = g.factor;
        groups.push_back(j);
    }
    return {{"mode", VarianceModeName(v.mode)}, {"passes", v.passes}, {"groups", groups}};
}

} // namespace

std::string ResultsAsJson(const Project& project, const RunResults& results,
                          const std::string& run) {
    json root;
    root["run"] = run;
    root["succeeded"] = results.result != 0;
    json messages = json::array();
    for (const Message& m : results.messages)
        messages.push_back(MessageJson(m));
    root["messages"] = messages;
    if (results.result == 0 || results.stations.empty())
        return root.dump(2);
    const Tavex::_STATISTICS& st = results.statistics;
    root["statistics"] = {{"unknowns", +st.Unknowns},
                          {"observations", +st.Observations},
                          {"degrees_of_freedom", +st.DegreesOfFreedom},
                          {"iterations", +st.Iterations},
                          {"variance_factor", +st.FTest},
                          {"critical_f", +st.CriticalF},
                          {"critical_w", +st.CriticalW},
                          {"lambda0", +st.Lambda0}};
    json stations = json::array();
    for (std::size_t k = 0; k < results.stations.size(); ++k)
        stations.push_back(StationJson(project, k, results.stations[k]));
    root["stations"] = stations;
    json parameters = json::array();
    for (const ParameterResult& p : results.parameters)
        parameters.push_back(ParameterJson(p));
    root["parameters"] = parameters;
    json readings = json::array();
    for (const ReadingResult& r : results.readings)
        readings.push_back(ReadingJson(r));
    root["observations"] = readings;
    if (project.settings.varianceMode != VarianceMode::None && results.variance.computed)
        root["variance_components"] = VarianceJson(results.variance);
    return root.dump(2);
}

} // namespace TavexCli
