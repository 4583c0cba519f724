#include "engine/singularity_report.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

SingularityText SingularityOf(const ProjectState& p, const EngineState& e, std::uint32_t unknown) {
    SingularityText out;
    if (unknown == 0 || unknown > e.Unknowns())
        return out;
    const UnknownDescriptor& u = e.unknowns[unknown];
    const CKZString name = u.station != 0 ? p.Stations[u.station].Name : CKZString();
    out.sub = u.sub;
    // A station's message: the text, one blank, the station's name.
    const auto station = [&](int id) {
        out.code = id;
        out.station = u.station;
        out.text = CStringL(id);
        out.text += L" ";
        out.text += name;
    };
    // A group's message: the text directly followed by the group number.
    // (The message file adds the full stop and the line end.)
    const auto group = [&](int id) {
        out.code = id;
        out.text.Format(L"%s%u", CStringL(id).c_str(), static_cast<unsigned>(u.sub));
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
        out.code = STR_SINGULAR_ORIENTATION;
        out.station = u.station;
        out.text.Format(L"%s %s %s%u", CStringL(STR_SINGULAR_STATION).c_str(), name.c_str(),
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
        if (u.sub >= 1 && u.sub <= kGpsParameters) {
            out.code = STR_SINGULAR_GPS_ROTATION_X + (u.sub - 1);
            out.text = CStringL(out.code);
        }
        break;
    case UNK_DEFLECTION_EAST:
        station(STR_SINGULAR_DEFLECTION_EAST);
        break;
    case UNK_DEFLECTION_NORTH:
        station(STR_SINGULAR_DEFLECTION_NORTH);
        break;
    case UNK_ADDITIONAL_ROTATION:
        if (u.sub == 1 || u.sub == 2) {
            out.code = u.sub == 1 ? STR_SINGULAR_ADDITIONAL_ROTATION_E
                                  : STR_SINGULAR_ADDITIONAL_ROTATION_N;
            out.text = CStringL(out.code);
        }
        break;
    default:
        break;
    }
    return out;
}

void ReportSingularity(ProjectState& p, const EngineState& e, std::uint32_t unknown) {
    const SingularityText s = SingularityOf(p, e, unknown);
    if (s.code == 0)
        return;
    const int refKind = s.station != 0 ? REF_STATIONS : REF_NONE;
    p.Messages.AddMessage(s.code, MSG_ERROR, refKind, s.text, s.station);
}

} // namespace Tavex
