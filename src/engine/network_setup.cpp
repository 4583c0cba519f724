#include "engine/network_setup.h"

#include "engine/build_rows.h"
#include "engine/free_observations.h"
#include "engine/number_unknowns.h"
#include "engine/station_checks.h"
#include "engine/station_order.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

// With a geoid model in use every station needs a geoid height; the
// station records carry none, so each ordered station is reported.
void WarnMissingGeoidHeights(ProjectState& p, const EngineState& e) {
    if (p.GeoidModel == 0)
        return;
    constexpr double kGeoidHeight = 0.0;
    for (unsigned position = 1; position <= e.order.count; ++position) {
        const unsigned s = e.order.stationAt[position];
        CKZString text;
        text.Format(L"%s %s (%2.1f)", CStringL(STR_GEOID_HEIGHT_MISSING).c_str(),
                    p.Stations[s].Name.c_str(), kGeoidHeight);
        p.Messages.AddMessage(STR_GEOID_HEIGHT_MISSING, MSG_WARNING, REF_STATIONS, text, s);
    }
}

} // namespace

int SetUpNetwork(ProjectState& p, EngineState& e) {
    Participation participation = CheckStations(p);
    // Side shots leave the network before its rows are built; a design has
    // no readings to compute them from.
    e.freeObservations = FreeObservations{};
    if (p.ReportSwitch[REPORT_ENGINE_OPTION] != 0 && p.AdjDesign == 0 &&
        !DetectFreeObservations(p, participation, e))
        return 0;
    if (!BuildRows(p, participation, e))
        return 0;
    WarnMissingGeoidHeights(p, e);
    ReorderStations(e.order, RowStationPairs(e), p.StationCount, p.Messages);
    SetUnknownFlags(p, e);
    return NumberUnknowns(p, e);
}

} // namespace Tavex
