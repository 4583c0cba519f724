// Synthetic networks for end-to-end tests: stations with true positions,
// observations computed from the truth by this file's own geometry (not the
// kernel's model), approximate coordinates perturbed from the truth, and the
// boundary records a host would pass.
#ifndef TAVEX_TESTS_SUPPORT_SYNTHETIC_NETWORK_H
#define TAVEX_TESTS_SUPPORT_SYNTHETIC_NETWORK_H

#include "support/records.h"
#include "tavex/tavex.h"

#include <array>
#include <random>
#include <string>
#include <vector>

namespace TavexTest {

struct TrueStation {
    std::string name;
    double lat, lon, h; // radians, metres
};

class SyntheticNetwork {
public:
    SyntheticNetwork();

    // The ellipsoid of the project; set it before adding stations.
    void SetEllipsoid(int code);

    // Adds a station at latitude and longitude in degrees; returns its number.
    unsigned AddStation(const std::string& name, double latDeg, double lonDeg, double h);
    // Marks a station known (class 12 both, 11 position, 10 height) with
    // standard deviations in metres.
    void MakeKnown(unsigned s, int coordClass, double sdHorizontal = 0.0, double sdHeight = 0.0);
    // Moves the approximate coordinates of every unknown station by up to
    // metres in each component (seeded).
    void Perturb(double metres, unsigned seed);
    // Moves one station's approximate position by (north, east, up) metres.
    void Shift(unsigned s, double north, double east, double up);
    // Grid networks: stations given by easting and northing of the local
    // stereographic projection. After adding them and marking the known
    // ones, FixGrid places them on the ellipsoid the way the kernel's
    // centring will, so that observations can be computed.
    unsigned AddGridStation(const std::string& name, double easting, double northing, double h);
    void FixGrid();
    // The adjusted grid position's distance from the true one (after Adjust).
    double GridError(unsigned s) const;

    // Observations from the truth. Angles in radians, lengths in metres.
    void Direction(unsigned from, unsigned to, unsigned set, double sigma = 1e-5);
    void Azimuth(unsigned from, unsigned to, unsigned group, double offset, double sigma = 1e-5);
    // A kind-100 record: direction (set), distance (horizontal after
    // reduction with the zenith angle when there is one) and zenith angle.
    void TotalStation(unsigned from, unsigned to, unsigned set, bool direction, bool distance,
                      bool zenith, double instrumentHeight = 1.5, double targetHeight = 1.3);
    // A kind-6 record: slant distance and zenith angle (and a direction).
    void SlantTotalStation(unsigned from, unsigned to, unsigned set, bool direction);
    // A kind-100 record with only a horizontal distance.
    void HorizontalDistance(unsigned from, unsigned to, double scale = 1.0);
    void HeightDifference(unsigned from, unsigned to, double sigma = 0.001);
    // A kind-100 record with slant distance and zenith angle whose
    // trigonometric height difference is the true one, for 1D networks.
    void TrigonometricPair(unsigned from, unsigned to, double refraction = 0.13);
    void GpsBaseline(unsigned from, unsigned to, double sigma = 0.003, bool correlated = true);
    void GpsCoordinate(unsigned s, double sigma = 0.01);
    // Turns the zenith angle of the last record (kind 100 or 6) into a
    // second-face reading, 2π − z.
    void SecondFace();
    // A kind-7 record of observed local coordinates of station s in a local
    // system that the tangent plane at station `origin` maps onto by the
    // given transformation: the plane similarity of the tangent east and
    // north of the station's foot point on the ellipsoid and a height shift
    // of the instrument point's height, or, with spatial, the similarity
    // t + scale Rz(rotation) Ry(rotationNorth) Rx(rotationEast) of all three
    // tangent components of the instrument point. Components: east, north, height switched on as
    // given; σ for each.
    struct LocalSystem {
        double shiftEast = 0, shiftNorth = 0, shiftUp = 0;
        double rotation = 0, rotationEast = 0, rotationNorth = 0;
        double scale = 1.0;
        double heightShift = 0;
        bool spatial = false;
    };
    void LocalCoordinates(unsigned s, unsigned origin, const LocalSystem& system, bool plane,
                          bool height, double sigma = 0.002);
    // Adds noise of the given standard deviations to every reading so far.
    void AddNoise(unsigned seed, double angle, double length);

    // The settings a test starts from: the dimension, a free network, no
    // output files, fixed scale, refraction and offsets.
    Tavex::_SETTINGS& Settings() { return *settings_; }
    std::vector<Tavex::_STATIONADJ>& StationRecords() { return stations_; }
    std::vector<Tavex::_OBSERVATION>& ObservationRecords() { return observations_; }

    // Initialize, SetStations and SetObservations.
    void Load();
    // Load and Adjust.
    int Adjust(Tavex::_STATISTICS& statistics);
    int Adjust() {
        Tavex::_STATISTICS statistics{};
        return Adjust(statistics);
    }
    // Metric distance between station s's record coordinates (after Adjust)
    // and its true position, per component (north, east, up).
    std::array<double, 3> Error(unsigned s) const;
    double LargestHorizontalError() const;
    double LargestHeightError() const;
    std::vector<int> MessageCodes();
    std::string AllMessages();
    std::string MessageText(int code);
    const TrueStation& Truth(unsigned s) const { return truth_[s - 1]; }
    unsigned Count() const { return static_cast<unsigned>(truth_.size()); }

    static constexpr double kRefraction = 0.13;
    static constexpr double kRadius = 6371000.0;

private:
    struct Local {
        double n, e, u, slant;
    };
    Local Vector(unsigned from, unsigned to, double hi, double ht) const;
    double Orientation(unsigned station, unsigned set) const {
        return 0.7 + 0.1 * station + 0.01 * set;
    }
    Tavex::_OBSERVATION& NewRecord(int kind);

    SettingsRecord settings_;
    std::vector<TrueStation> truth_;
    std::vector<Tavex::_STATIONADJ> stations_;
    std::vector<Tavex::_OBSERVATION> observations_; // element 0 unused
    bool grid_ = false;
    int ellipsoidCode_ = Tavex::ELLIPSOID_GRS80;
    std::vector<std::array<double, 2>> trueGrid_;
};

} // namespace TavexTest

#endif
