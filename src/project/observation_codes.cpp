#include "project/observation_codes.h"

#include "messages/string_loader.h"
#include "project/observation.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

constexpr unsigned kMaxSetNumber = 99;
constexpr unsigned kMaxGroup = 9;
constexpr unsigned kRelationCount = 12;
constexpr unsigned kRelationUnused = 10;

constexpr const wchar_t* kRelationCodes[kRelationCount] = {
    L"AN", L"PA", L"LL", L"PL", L"CL", L"PD", L"AL", L"CH", L"EQ", L"DD", L"", L"TD"};
constexpr int kRelationLabels[kRelationCount] = {STR_RELATION_ANGLE,
                                                 STR_RELATION_PARALLEL,
                                                 STR_RELATION_DISTANCE_TO_LINE,
                                                 STR_RELATION_OFFSET,
                                                 STR_RELATION_COLLINEAR,
                                                 STR_RELATION_PERPENDICULAR_1,
                                                 STR_RELATION_PERPENDICULAR_2,
                                                 STR_RELATION_CHAINAGE,
                                                 STR_RELATION_EQUAL,
                                                 STR_RELATION_DOUBLE_DISTANCE,
                                                 0,
                                                 STR_RELATION_TAPE_DISTANCE};
constexpr const wchar_t* kBaselineCodes[3] = {L"DX", L"DY", L"DZ"};
constexpr const wchar_t* kCoordinateCodes[3] = {L"X ", L"Y ", L"Z "};
constexpr const wchar_t* kLocalCodes[3] = {L"E ", L"N ", L"H "};

// The code with a number, e.g. "R%u".
CKZString Numbered(const wchar_t* format, unsigned number) {
    CKZString code;
    code.Format(format, number);
    return code;
}

void WarnInvalid(MessageLog* log, const CKZString& code) {
    if (log == nullptr)
        return;
    CKZString text;
    text.Format(L"%s %s", CStringL(STR_INVALID_OBSERVATION_CODE).c_str(), code.c_str());
    log->AddMessage(STR_INVALID_OBSERVATION_CODE, MSG_WARNING, REF_NONE, text);
}

void WarnUnknownType(MessageLog* log, unsigned type, unsigned sub) {
    if (log == nullptr)
        return;
    CKZString text;
    text.Format(L"%s  %u %u", CStringL(STR_INVALID_OBSERVATION_CODE).c_str(), type, sub);
    log->AddMessage(STR_INVALID_OBSERVATION_CODE, MSG_WARNING, REF_NONE, text);
}

// Short code of a component reading (sub 0, 1, 2).
CKZString Component(const wchar_t* const (&codes)[3], unsigned sub, MessageLog* log,
                    const wchar_t* fallback) {
    if (sub < 3)
        return codes[sub];
    const CKZString code = Numbered(fallback, sub);
    WarnInvalid(log, code);
    return code;
}

} // namespace

CKZString ObservationCode(unsigned type, unsigned sub, MessageLog* log) {
    const CKZString code = [&]() -> CKZString {
        switch (type) {
        case OBS_NONE:
            return L"  ";
        case OBS_DIRECTION:
            return Numbered(L"R%u", sub);
        case OBS_DISTANCE:
            return Numbered(L"S%u", sub);
        case OBS_ZENITH:
            return Numbered(L"Z%u", sub);
        case OBS_AZIMUTH:
            return Numbered(L"A%u", sub);
        case OBS_HEIGHT_DIFFERENCE:
            return L"DH";
        case OBS_RESERVED_TH:
            return L"TH";
        default:
            return L"";
        }
    }();
    switch (type) {
    case OBS_DIRECTION:
        if (sub > kMaxSetNumber)
            WarnInvalid(log, code);
        return code;
    case OBS_DISTANCE:
    case OBS_ZENITH:
    case OBS_AZIMUTH:
        if (sub > kMaxGroup)
            WarnInvalid(log, code);
        return code;
    case OBS_NONE:
    case OBS_HEIGHT_DIFFERENCE:
    case OBS_RESERVED_TH:
        return code;
    case OBS_GPS_BASELINE:
        return Component(kBaselineCodes, sub, log, L"D%u");
    case OBS_GPS_COORDINATE:
        return Component(kCoordinateCodes, sub, log, L"C%u");
    case OBS_LOCAL_COORDINATE:
        return Component(kLocalCodes, sub, log, L"L%u");
    case OBS_GEOMETRIC_RELATION:
        if (sub < kRelationCount && sub != kRelationUnused)
            return kRelationCodes[sub];
        WarnInvalid(log, Numbered(L"G%u", sub));
        return Numbered(L"G%u", sub);
    default:
        WarnUnknownType(log, type, sub);
        return L"??";
    }
}

CKZString ObservationLabel(unsigned type, unsigned sub) {
    const auto labelWithNumber = [](int id, unsigned number, unsigned limit) {
        CKZString label = CStringL(id);
        if (number <= limit)
            label += Numbered(L"%u", number);
        return label;
    };
    switch (type) {
    case OBS_DIRECTION:
        return labelWithNumber(STR_LABEL_DIRECTION, sub, kMaxSetNumber);
    case OBS_DISTANCE:
        return labelWithNumber(STR_LABEL_DISTANCE, sub, kMaxGroup);
    case OBS_ZENITH:
        return labelWithNumber(STR_LABEL_ZENITH, sub, kMaxGroup);
    case OBS_AZIMUTH:
        return labelWithNumber(STR_LABEL_AZIMUTH, sub, kMaxGroup);
    case OBS_HEIGHT_DIFFERENCE:
        return L"DH";
    case OBS_RESERVED_TH:
        return L"TH";
    case OBS_GPS_BASELINE:
        return sub < 3 ? CKZString(kBaselineCodes[sub]) : CKZString();
    case OBS_GPS_COORDINATE:
        return sub < 3 ? CKZString(kCoordinateCodes[sub]) : CKZString();
    case OBS_LOCAL_COORDINATE:
        return sub < 3 ? CKZString(kLocalCodes[sub]) : CKZString();
    case OBS_GEOMETRIC_RELATION:
        if (sub < kRelationCount && kRelationLabels[sub] != 0)
            return CStringL(kRelationLabels[sub]);
        return {};
    default:
        return {};
    }
}

} // namespace Tavex
