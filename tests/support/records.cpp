#include "support/records.h"

namespace TavexTest {

void FillDefaultSettings(Tavex::_SETTINGS& s) {
    std::memset(static_cast<void*>(&s), 0, offsetof(Tavex::_SETTINGS, Messages));
    s.Phase = 1;
    s.AngleUnit = 0;
    std::memcpy(s.LinearUnit, "m", 1);
    std::memcpy(s.LinearUnitLong, "meters", 6);
    s.LinearFact = 1.0;
    s.IterMax = 3;
    s.Epsilon = 0.0001;
    s.DeltaSingular = 1e-6;
    s.Dimension = 2;
    s.VarIterMax = 5;
    s.VarEpsilon = 0.01;
    s.TerCoord = s.GPSCoord = s.TerObserv = s.GPSObserv = 1;
    s.Sigma0 = 1.0;
    s.Alfa0 = 0.001;
    s.Beta = 0.80;
    s.ConfidenceLevel1D = 0.683;
    s.ConfidenceLevel2D = 0.394;
    s.Ellipsoid = Tavex::ELLIPSOID_GRS80;
    s.Projection = Tavex::PROJECTION_NONE;
    for (int g = 0; g < 10; ++g) {
        s.ScaleFactor[g] = 1.0;
        s.RefractionCoef[g] = 0.13;
    }
    for (int& slot : s.ReportSwitch)
        slot = 1;
    s.ReportSwitch[Tavex::REPORT_EXTERNAL_RELIABILITY] = 0;
    s.ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 0;
}

} // namespace TavexTest
