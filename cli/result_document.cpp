#include "result_document.h"

#include "document_reader.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace TavexCli {

namespace {

// The kinds of the kernel's group table.
constexpr unsigned kKindTerrestrial = 50, kKindGps = 60;
constexpr unsigned kKindKnownCoordinates = 35, kKindPseudoObservations = 40;
constexpr unsigned kLastReweightedPerKind = 9, kLastReweightedPerSet = 8;
// The kernel's own bound: a group whose redundancy numbers add up to less
// has none.
constexpr double kNoRedundancy = 1e-6;

// Whether the mode divides the weights of a group's readings by its factor
// (the groups the kernel also watches for convergence).
bool Reweighted(VarianceMode mode, unsigned key, unsigned kind) {
    switch (mode) {
    case VarianceMode::TerrestrialGps:
        return key == 0 && (kind == kKindTerrestrial || kind == kKindGps);
    case VarianceMode::PerKind:
        return key == 0 && kind >= 1 && kind <= kLastReweightedPerKind;
    case VarianceMode::PerSet:
        return key != 0 && kind >= 1 && kind <= kLastReweightedPerSet;
    default:
        return false;
    }
}

void ReadSideShots(const DocumentReader& in, const xmlNode* project, const Project& p,
                   RunResults& results) {
    const xmlNode* section = DocumentReader::Child(project, "FreeStations");
    for (const xmlNode* free : DocumentReader::Children(section, "FreeStation")) {
        const std::size_t station = in.Number(free, "number", p.stations.size());
        const std::size_t held = in.Number(free, "heldNumber", p.stations.size());
        const std::size_t record = in.Number(free, "record", p.observations.size());
        if (station > results.stations.size())
            in.Fail("a side shot without its station's results");
        StationResult& s = results.stations[station - 1];
        s.sideShot = true;
        s.heldStation = p.stations[held - 1].name;
        s.sideShotRecord = static_cast<unsigned>(record);
        s.sideShotWhere = p.observations[record - 1].where;
        // Its readings were computed with it, not tested in the network.
        for (ReadingResult& r : results.readings) {
            if (r.record != record || r.state != ReadingState::Adjusted)
                continue;
            r.state = ReadingState::SideShot;
            r.w = r.mdb = r.redundancy = 0.0;
            r.rejected = false;
        }
    }
}

void ReadVarianceComponents(const DocumentReader& in, const xmlNode* project, RunResults& results) {
    const xmlNode* v =
        DocumentReader::Child(DocumentReader::Child(project, "Summary"), "VarianceComponents");
    VarianceComponentsResult& out = results.variance;
    out = VarianceComponentsResult{};
    if (v == nullptr || in.Whole(v, "computed") == 0)
        return;
    const long long mode = in.Whole(v, "mode");
    if (mode < 0 || mode > static_cast<long long>(VarianceMode::PerSet))
        in.Fail("unknown variance-component mode " + std::to_string(mode));
    out.computed = true;
    out.mode = static_cast<VarianceMode>(mode);
    out.passes = static_cast<int>(in.Whole(v, "passes"));
    for (const xmlNode* g : DocumentReader::Children(v, "Group")) {
        VarianceGroupResult group;
        group.key = static_cast<unsigned>(in.Whole(g, "key"));
        group.kind = static_cast<unsigned>(in.Whole(g, "kind"));
        group.estimate = in.Real(g, "estimate");
        group.redundancy = in.Real(g, "redundancy");
        group.factor = in.Real(g, "factor");
        group.reweighted = Reweighted(out.mode, group.key, group.kind);
        out.groups.push_back(group);
    }
}

} // namespace

bool NeedsResultDocument(const Project& project, const RunResults& results) {
    const Settings& s = project.settings;
    // Only a successful adjustment hands back stations.
    if (results.result == 0 || s.design || results.stations.empty())
        return false;
    if (s.varianceMode != VarianceMode::None)
        return true;
    if (!s.freeObservations)
        return false;
    for (const ReadingResult& r : results.readings)
        if (r.state == ReadingState::Adjusted && r.mdb == 0.0 && r.w == 0.0 && r.redundancy == 0.0)
            return true;
    return false;
}

void ReadResultDocument(const std::string& path, const Project& project, RunResults& results) {
    const DocumentReader in(path);
    ReadSideShots(in, in.Project(), project, results);
    ReadVarianceComponents(in, in.Project(), results);
    results.documentRead = true;
}

std::string ResultDocumentName(const std::string& outputStem) {
    return outputStem + ".xml";
}

ScratchDirectory::ScratchDirectory() {
    std::string name = (std::filesystem::temp_directory_path() / "tavex-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(),
                                "cannot make a temporary directory " + name);
    path_ = name;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool HasEstimate(const VarianceGroupResult& group) {
    return group.redundancy > kNoRedundancy;
}

const char* VarianceModeName(VarianceMode mode) {
    static const char* const kNames[] = {"none", "terrestrial_gps", "per_kind", "per_set"};
    return kNames[static_cast<int>(mode)];
}

std::string VarianceKindName(unsigned kind) {
    static const char* const kReadings[] = {"",
                                            "direction",
                                            "distance",
                                            "zenith",
                                            "azimuth",
                                            "height_difference",
                                            "gps_baseline",
                                            "gps_coordinate",
                                            "trigonometric_height_difference",
                                            "double_or_tape_distance",
                                            "local_coordinates"};
    if (kind >= 1 && kind < std::size(kReadings))
        return kReadings[kind];
    switch (kind) {
    case kKindTerrestrial:
        return "terrestrial";
    case kKindGps:
        return "gps";
    case kKindKnownCoordinates:
        return "known_coordinates";
    case kKindPseudoObservations:
        return "pseudo_observations";
    default:
        return "kind " + std::to_string(kind);
    }
}

} // namespace TavexCli
