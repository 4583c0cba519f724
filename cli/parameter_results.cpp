// The additional parameters an adjustment estimated, as the kernel hands
// them back into the settings record. It writes value and standard deviation
// only for a parameter that was an unknown: the host laid out the standard
// deviations of the groups as kNotWritten, and the statistics say how many
// GPS transformation unknowns there were (sub-codes 1 to that count).
#include "run_results.h"

#include <cstring>

namespace TavexCli {

namespace {

// The packed record's arrays are copied out by their bytes: a typed
// reference to them would be misaligned.
void Groups(const void* values, const void* sds, const char* kind,
            std::vector<ParameterResult>& out) {
    double value[10], sd[10];
    std::memcpy(value, values, sizeof value);
    std::memcpy(sd, sds, sizeof sd);
    for (int g = 0; g < 10; ++g) {
        if (NotWritten(sd[g]))
            continue;
        ParameterResult p;
        p.kind = kind;
        p.group = g;
        p.value = value[g];
        p.sd = sd[g];
        out.push_back(p);
    }
}

} // namespace

std::vector<ParameterResult> ReadParameters(const Records& records,
                                            const Tavex::_STATISTICS& statistics) {
    const Tavex::_SETTINGS& s = *records.settings;
    std::vector<ParameterResult> out;
    Groups(&s.ScaleFactor, &s.ScaleFactorSd, "scale", out);
    Groups(&s.RefractionCoef, &s.RefractionCoefSd, "refraction", out);
    Groups(&s.AzimuthOffset, &s.AzimuthOffsetSd, "azimuth_offset", out);
    const int count = statistics.GPSTransformationParameters;
    for (int sub = 1; sub <= count && sub < kGpsParameterSlots; ++sub) {
        ParameterResult p;
        p.kind = "gps_transformation";
        p.group = sub;
        p.name = kGpsParameterNames[sub];
        p.value = s.GPSTransfPar[sub];
        p.use = static_cast<GpsParameterUse>(s.GPSTransfParObs[sub]);
        // A fixed parameter is held at its value by an overwhelming weight;
        // its standard deviation says nothing.
        p.sd = p.use == GpsParameterUse::Fixed ? 0.0 : s.GPSTransfParSd[sub];
        out.push_back(p);
    }
    return out;
}

} // namespace TavexCli
