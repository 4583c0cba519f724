// The four kinds of loop, each examined on the station graph of one
// observation type, in the order the run examines them, with the texts that
// announce them and the network dimensions that skip them.
//
//   family         observations                       result kinds   skipped in
//   Gps            GPS baselines                      6              1D
//   Traverse       directions with distances          1, 2, 3        1D
//   Height         height differences                 5              2D
//   Trigonometric  zenith angles with slope distances 8              2D
#ifndef TAVEX_LOOPS_LOOP_KINDS_H
#define TAVEX_LOOPS_LOOP_KINDS_H

#include "resources/string_ids.h"

#include <array>

namespace Tavex {

enum class LoopFamily { Gps, Traverse, Height, Trigonometric };

// The kind of a loop result (CLoopResults::Kind, _LOOP_RESULT::Kind).
enum LoopResultKind : int {
    LOOP_TRAVERSE_FULL = 1,        // angle and coordinate misclosure
    LOOP_TRAVERSE_COORDINATES = 2, // one station without an angle: coordinates only
    LOOP_TRAVERSE_NONE = 3,        // two or more stations without an angle
    LOOP_HEIGHT = 5,
    LOOP_GPS = 6,
    LOOP_TRIGONOMETRIC = 8,
};

struct LoopFamilyTexts {
    LoopFamily family;
    int heading;      // report heading of the family's loops
    int foundStage;   // progress text while its loops are searched
    int computeStage; // progress text while their misclosures are computed
    int skippedIn;    // the network dimension that does not examine it
};

inline constexpr std::array<LoopFamilyTexts, 4> kLoopFamilies = {{
    {LoopFamily::Gps, STR_HEADING_GPS_LOOPS, STR_STAGE_FOUND_GPS_LOOPS, STR_STAGE_COMPUTE_GPS_LOOPS,
     1},
    {LoopFamily::Traverse, STR_HEADING_TRAVERSE_LOOPS, STR_STAGE_FOUND_TRAVERSE_LOOPS,
     STR_STAGE_COMPUTE_TRAVERSE_LOOPS, 1},
    {LoopFamily::Height, STR_HEADING_HEIGHT_LOOPS, STR_STAGE_FOUND_HEIGHT_LOOPS,
     STR_STAGE_COMPUTE_HEIGHT_LOOPS, 2},
    {LoopFamily::Trigonometric, STR_HEADING_TRIGONOMETRIC_LOOPS,
     STR_STAGE_FOUND_TRIGONOMETRIC_LOOPS, STR_STAGE_COMPUTE_TRIGONOMETRIC_LOOPS, 2},
}};

// The texts of a family.
inline const LoopFamilyTexts& TextsOf(LoopFamily family) {
    for (const LoopFamilyTexts& texts : kLoopFamilies)
        if (texts.family == family)
            return texts;
    return kLoopFamilies[0];
}

// The family a result kind belongs to.
inline LoopFamily FamilyOfKind(int kind) {
    switch (kind) {
    case LOOP_GPS:
        return LoopFamily::Gps;
    case LOOP_HEIGHT:
        return LoopFamily::Height;
    case LOOP_TRIGONOMETRIC:
        return LoopFamily::Trigonometric;
    default:
        return LoopFamily::Traverse;
    }
}

} // namespace Tavex

#endif
