// A minimal host of the Tavex kernel: it lays out a small levelling-and-
// distance network in the kernel's records, adjusts it and prints what comes
// back. It uses nothing but the public header.
//
// Build:  cmake --build build --target minimal_host
// Run:    build/examples/minimal_host
#include <tavex/tavex.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

Tavex::_STATIONADJ GridStation(const char* name, double easting, double northing, double height,
                               bool known) {
    Tavex::_STATIONADJ s;
    std::memset(&s, 0, sizeof s);
    std::strncpy(s.Name, name, sizeof s.Name - 1);
    s.CoordFlags = 0x20 | 0x02; // grid coordinates, terrestrial
    s.Presence = 0x03 | 0x08;   // horizontal position and height present
    s.Coord1 = easting;
    s.Coord2 = northing;
    s.Height = height;
    if (known) {
        s.CoordStatus = 8; // known station
        s.CoordClass = 12; // position and height known
        s.CovScale = 1.0;
        s.Cov[0] = s.Cov[3] = 0.005 * 0.005;
        s.Cov[5] = 0.002 * 0.002;
    }
    return s;
}

// A horizontal distance: a three-reading record with only its distance
// reading switched on.
Tavex::_OBSERVATION Distance(unsigned from, unsigned to, double metres) {
    Tavex::_OBSERVATION o;
    std::memset(&o, 0, sizeof o);
    o.Kind = 100;
    o.K100.Off[0] = o.K100.Off[2] = 1; // no direction, no zenith angle
    o.K100.Type[1] = 2;                // reading 2 is a distance
    o.K100.Station = from;
    o.K100.Target = to;
    o.K100.Reading[1] = metres;
    o.K100.Precision[2] = 0.002; // 2 mm
    o.K100.Precision[3] = 2e-6;  // 2 ppm
    return o;
}

} // namespace

int main() {
    // The settings record holds a std::vector, so it is value-initialised.
    auto settings = std::make_unique<Tavex::_SETTINGS>();
    std::strcpy(settings->NetworkName, "Example");
    std::strcpy(settings->OutputFile, "example.out");
    std::strcpy(settings->MessageFile, "example.msg");
    settings->Phase = 1;
    settings->AngleUnit = 0;
    std::strcpy(settings->LinearUnit, "m");
    settings->LinearFact = 1.0;
    settings->IterMax = 5;
    settings->Epsilon = 1e-4;
    settings->DeltaSingular = 1e-6;
    settings->Dimension = 2;
    settings->TerCoord = settings->TerObserv = 1;
    settings->Sigma0 = 1.0;
    settings->Alfa0 = 0.001;
    settings->Beta = 0.80;
    settings->ConfidenceLevel1D = 0.683;
    settings->ConfidenceLevel2D = 0.394;
    settings->Ellipsoid = Tavex::ELLIPSOID_GRS80;
    settings->Projection = Tavex::PROJECTION_LOCAL_STEREOGRAPHIC;
    for (int g = 0; g < 10; ++g) {
        settings->ScaleFactor[g] = 1.0;
        settings->RefractionCoef[g] = 0.13;
    }
    settings->ReportSwitch[Tavex::REPORT_OUTPUT_FORM] = 0; // no files

    std::vector<Tavex::_STATIONADJ> stations = {
        GridStation("A", 1000.000, 2000.000, 10.0, true),
        GridStation("B", 1600.000, 2000.000, 12.0, true),
        GridStation("C", 1300.020, 2519.600, 11.0, false),
    };
    // Position 0 is never read: the kernel addresses records 1..n.
    std::vector<Tavex::_OBSERVATION> observations = {Tavex::_OBSERVATION{}, Distance(1, 3, 600.000),
                                                     Distance(2, 3, 600.010),
                                                     Distance(1, 2, 600.002)};

    Tavex::Initialize(*settings);
    Tavex::SetStations(stations.data(), static_cast<unsigned>(stations.size()));
    Tavex::SetObservations(observations.data(), static_cast<unsigned>(observations.size() - 1));

    Tavex::_STATISTICS statistics{};
    const int result = Tavex::Adjust(statistics, nullptr);
    std::printf("Adjust: %s\n", result ? "succeeded" : "failed");
    for (const Tavex::_MESSAGE& m : settings->Messages)
        std::printf("  %s %d: %s\n", m.Class == 1 ? "error" : "warning", m.Code, m.Text);
    if (result)
        for (const Tavex::_STATIONADJ& s : stations)
            std::printf("  %-8s E %12.4f  N %12.4f\n", s.Name, s.Coord1, s.Coord2);
    std::printf("95%% multiplier in 2D: %.4f\n", Tavex::MultiplierConfidence(0.95, 2));
    Tavex::Release();
    return result ? 0 : 1;
}
