// The reader behind ReadProjectFile, split by the parts of a project file:
// settings and parameters, stations, observations, and the checks that need
// all of them. Only the host's reading code includes this header.
#ifndef TAVEX_CLI_PROJECT_READER_H
#define TAVEX_CLI_PROJECT_READER_H

#include "file_node.h"
#include "project_model.h"

#include <array>
#include <map>
#include <string>

namespace TavexCli {

class Reader {
public:
    explicit Reader(Project& project) : p_(project) {}

    void Read(const Node& root);

private:
    // project_file.cpp
    void ReadSettings(const Node& root);
    void ReadEllipsoid(const Node& root);
    void ReadComputationSettings(const Node& settings);
    void ReadReportSwitches(const Node& settings);
    void ReadVarianceComponents(const Node& settings);
    void ReadProjection(const Node& root);
    // parameter_reader.cpp
    void ReadParameters(const Node& node);
    void ReadGroups(const Node& node, const char* key, std::array<double, 10>& value,
                    std::array<int, 10>& free, std::array<std::string, 10>& places, bool angle);
    void ReadGpsTransformation(const Node& node);
    // station_reader.cpp
    void ReadStation(const Node& node);
    void ReadStationCoordinates(const Node& node, Station& s, bool knownPosition);
    // observation_reader.cpp
    void ReadObservation(const Node& node);
    void ReadOneReading(const Node& node, Observation& o);
    void ReadTotalStation(const Node& node, Observation& o);
    void ReadHeightDifference(const Node& node, Observation& o);
    void ReadGps(const Node& node, Observation& o);
    void ReadLocalCoordinates(const Node& node, Observation& o);
    void ReadStations(const Node& node, Observation& o) const;
    void ReadEccentricity(const Node& node, Observation& o) const;
    // project_checks.cpp: what only the whole project shows.
    void CheckParameterGroups() const;
    void CheckGpsTransformation() const;
    void CheckLocalTransformation() const;
    void CheckVarianceGroups() const;

    // Angles: a number in the project's unit or "d m s" text.
    double Angle(const Node& node) const;
    double Angle(const Node& parent, const char* key, double fallback) const {
        return parent.Has(key) ? Angle(parent.At(key)) : fallback;
    }
    // A standard deviation of an angle; never negative.
    double AngleSd(const Node& parent, const char* key) const;
    unsigned StationNumber(const Node& node) const;

    Project& p_;
    std::map<std::string, unsigned> stationNumbers_;
    // Where the parameter groups and GPS transformation parameters were
    // given, for the checks that need the observations.
    std::array<std::string, 10> scalePlaces_, refractionPlaces_, offsetPlaces_;
    std::array<std::string, kGpsParameterSlots> gpsPlaces_;
    std::string localTransformationPlace_;
    std::string variancePlace_; // the variance-component mode
};

} // namespace TavexCli

#endif
