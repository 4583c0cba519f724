#include "engine/singularity_report.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

void ReportSingularity(ProjectState& p, const EngineState& e, std::uint32_t unknown) {
    if (unknown == 0 || unknown > e.Unknowns())
        return;
    const UnknownDescriptor& u = e.unknowns[unknown];
    const CKZString name = u.station != 0 ? p.Stations[u.station].Name : CKZString();
    CKZString text;
    int code = 0;
    int refKind = REF_NONE;
    // A station's message: the text, one blank, the station's name.
    const auto station = [&](int id) {
        code = id;
        refKind = REF_STATIONS;
        text = CStringL(id);
        text += L" ";
        text += name;
    };
    // A group's message: the text directly followed by the group number.
    // (The message file adds the full stop and the line end.)
    const auto group = [&](int id) {
        code = id;
        text.Format(L"%s%u", CStringL(id).c_str(), static_cast<unsigned>(u.sub));
    };
    switch (u.kind) {
    case UNK_NORTH:
    case UNK_EAST:
        station(STR_SINGULAR_POSITION);
        break;
    case UNK_HEIGHT:
        station(STR_SINGULAR_HEIGHT);
        break;
    case UNK_ORIENTATION:
        code = STR_SINGULAR_ORIENTATION;
        refKind = REF_STATIONS;
        text.Format(L"%s %s %s%u", CStringL(STR_SINGULAR_STATION).c_str(), name.c_str(),
                    CStringL(STR_SINGULAR_ORIENTATION).c_str(), static_cast<unsigned>(u.sub));
        break;
    case UNK_SCALE:
        group(STR_SINGULAR_SCALE);
        break;
    case UNK_REFRACTION:
        group(STR_SINGULAR_REFRACTION);
        break;
    case UNK_AZIMUTH_OFFSET:
        group(STR_SINGULAR_AZIMUTH_OFFSET);
        break;
    case UNK_GPS_TRANSFORMATION:
        code = STR_SINGULAR_GPS_ROTATION_X + (u.sub - 1);
        text = CStringL(code);
        break;
    case UNK_DEFLECTION_EAST:
        station(STR_SINGULAR_DEFLECTION_EAST);
        break;
    case UNK_DEFLECTION_NORTH:
        station(STR_SINGULAR_DEFLECTION_NORTH);
        break;
    case UNK_ADDITIONAL_ROTATION:
        code = u.sub == 1 ? STR_SINGULAR_ADDITIONAL_ROTATION_E : STR_SINGULAR_ADDITIONAL_ROTATION_N;
        text = CStringL(code);
        break;
    default:
        return;
    }
    p.Messages.AddMessage(code, MSG_ERROR, refKind, text, refKind == REF_STATIONS ? u.station : 0);
}

} // namespace Tavex
