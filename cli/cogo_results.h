// What the approximate-coordinate computation (COGO) found, read out of its
// result document (stem.drm.xml) into the host's terms, and how its
// coordinates enter a project.
#ifndef TAVEX_CLI_COGO_RESULTS_H
#define TAVEX_CLI_COGO_RESULTS_H

#include "project_model.h"

#include <cstdio>
#include <string>
#include <vector>

namespace TavexCli {

// A station that got approximate coordinates, in the project's own kind of
// coordinates: east and north in metres, or latitude and longitude in
// radians.
struct CogoStation {
    std::size_t index = 0; // in project.stations
    bool horizontal = false, height = false;
    double first = 0, second = 0, heightValue = 0;
};

// How a known station fits the computed solution (computed minus known,
// metres); a rejected one did not take part in the fit.
struct CogoResidual {
    std::string name;
    double east = 0, north = 0, height = 0;
    bool rejected = false;
};

struct CogoResults {
    bool planeFitted = false, heightFitted = false;
    double scale = 1, rotation = 0, shift = 0; // of the fits (rotation in radians)
    std::vector<CogoResidual> planeResiduals, heightResiduals;
    std::vector<CogoStation> computed;
    std::vector<std::string> notComputed;
};

// Reads the document at path; throws std::runtime_error naming the file when
// it cannot be read or does not fit the project.
CogoResults ReadCogoDocument(const std::string& path, const Project& project);

// Whether a station lacks a coordinate the network's dimension needs before
// it can be adjusted: the horizontal position in 2D, the height in 1D,
// either in 3D. Excluded stations need nothing.
bool LacksCoordinates(const Project& project, const Station& station);
bool LacksCoordinates(const Project& project);

// Puts the computed coordinates into the project's stations, never into a
// known component; with onlyMissing, only where the file gave none.
void AdoptCoordinates(Project& project, const CogoResults& results, bool onlyMissing);

// The computed stations, the fits of the known stations (rejected ones
// marked "**") and the stations not computed.
void PrintCogo(std::FILE* out, const Project& project, const CogoResults& results);
// The same as a JSON object (metres and radians).
std::string CogoAsJson(const Project& project, const CogoResults& results);

// Writes a copy of the project file at source to target with the computed
// coordinates of the stations that lacked them or were computed anew, in the
// file's own units; throws std::runtime_error when it cannot.
void WriteProjectWithCoordinates(const std::string& source, const std::string& target,
                                 const Project& project, const CogoResults& results);

} // namespace TavexCli

#endif
