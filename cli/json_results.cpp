#include "json_results.h"

#include <nlohmann/json.hpp>

namespace TavexCli {

std::string ResultsAsJson(const Project& project, const RunResults& results,
                          const std::string& run) {
    using nlohmann::json;
    json root;
    root["run"] = run;
    root["succeeded"] = results.result != 0;
    json messages = json::array();
    for (const Message& m : results.messages)
        messages.push_back(
            {{"code", m.code}, {"class", m.error ? "error" : "warning"}, {"text", m.text}});
    root["messages"] = messages;
    if (results.result != 0 && !results.stations.empty()) {
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
        for (std::size_t k = 0; k < results.stations.size(); ++k) {
            const StationResult& r = results.stations[k];
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
            stations.push_back(s);
        }
        root["stations"] = stations;
        json readings = json::array();
        for (const ReadingResult& r : results.readings)
            readings.push_back({{"observation", r.observation},
                                {"kind", r.kind},
                                {"from", r.from},
                                {"to", r.to},
                                {"residual", r.residual},
                                {"w", r.w},
                                {"mdb", r.mdb},
                                {"redundancy", r.redundancy},
                                {"sd", r.sd},
                                {"sd_adjusted", r.sdAdjusted},
                                {"rejected", r.rejected}});
        root["observations"] = readings;
    }
    return root.dump(2);
}

} // namespace TavexCli
