// libFuzzer target: bytes become a settings record, station records and
// observation records (record_input.h), shaped into what a host plausibly
// hands over most of the time, with hostile numbers some of the time. The
// target then drives Initialize, the setters, PreRun, COGO, Adjust, Loops and
// Release as a host does, and traps when a run that reported success handed
// back a number that is not finite, or when any text handed back is not
// UTF-8. The kernel's files go into a directory of this process's own,
// emptied after every input.
#include "handback_checks.h"
#include "record_input.h"
#include "record_shaping.h"

#include <tavex/tavex.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace TavexFuzz;
namespace fs = std::filesystem;

// A name that is Latin-1, not UTF-8: the kernel must open exactly these bytes.
constexpr char kLatin1Directory[] = "M\xFCller";

struct Workspace {
    fs::path directory;
    fs::path latin1Directory;
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "tavex-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            Fail("no temporary directory");
        directory = pattern;
        latin1Directory = directory / kLatin1Directory;
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }
    // Removes every file the kernel wrote; keeps the Latin-1 directory.
    void Empty() const {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(directory, ignored))
            fs::remove_all(entry.path(), ignored);
        fs::create_directory(latin1Directory, ignored);
    }
};

Workspace& TheWorkspace() {
    static Workspace workspace;
    return workspace;
}

// A progress window whose sink checks every text the kernel shows.
class CheckingSink : public Tavex::WindowSink {
public:
    void DialogTitle(const char* text) override { Check(text); }
    void DialogText(const char* text) override { Check(text); }

private:
    static void Check(const char* text) {
        if (text != nullptr && !IsValidUtf8(text))
            Fail("progress dialog text not UTF-8");
    }
};

Tavex::HWND TheWindow() {
    static CheckingSink sink;
    static Tavex::HWND window = Tavex::CreateHostWindow({0, 0, 640, 480}, &sink);
    return window;
}

// A settings record placed so that its message vector is aligned.
class SettingsHolder {
public:
    SettingsHolder() { record_ = new (storage_ + 4) Tavex::_SETTINGS(); }
    ~SettingsHolder() { record_->~_SETTINGS(); }
    SettingsHolder(const SettingsHolder&) = delete;
    SettingsHolder& operator=(const SettingsHolder&) = delete;
    Tavex::_SETTINGS& operator*() { return *record_; }

private:
    alignas(8) unsigned char storage_[sizeof(Tavex::_SETTINGS) + 8];
    Tavex::_SETTINGS* record_;
};

// Copies text into a fixed field, zero-filled.
void SetField(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

// File names stay inside the project directory: no separators, no name of
// dots alone.
void KeepInside(char* field, std::size_t size) {
    bool onlyDots = true;
    for (std::size_t i = 0; i < size && field[i] != 0; ++i) {
        if (field[i] == '/' || field[i] == '\\')
            field[i] = '_';
        onlyDots = onlyDots && field[i] == '.';
    }
    if (onlyDots && field[0] == '.')
        field[0] = 'x';
}

void PlaceFiles(Tavex::_SETTINGS& s, std::uint8_t variant) {
    const Workspace& w = TheWorkspace();
    std::string dir =
        (variant & VARIANT_LATIN1_DIRECTORY ? w.latin1Directory : w.directory).string();
    if (!(variant & VARIANT_NO_TRAILING_SEPARATOR))
        dir += '/';
    SetField(s.ProjectDir, sizeof s.ProjectDir, dir);
    KeepInside(s.OutputFile, sizeof s.OutputFile);
    KeepInside(s.MessageFile, sizeof s.MessageFile);
    KeepInside(s.VarianceFile, sizeof s.VarianceFile);
}

bool Raw(std::uint8_t shaping, int field) {
    return ((shaping >> (2 * field)) & 3) == 3;
}

// Counts beyond the limits and null arrays: nothing is taken over and the
// run that follows fails.
void HostileCounts(Tavex::_SETTINGS& s, std::vector<Tavex::_STATIONADJ>& stations,
                   std::vector<Tavex::_OBSERVATION>& observations, Choices& c, Tavex::HWND window) {
    // Just beyond the limits of 10 000 000 stations and 50 000 000
    // observation records, and the counts a negative int becomes.
    constexpr unsigned kCounts[] = {10000001u, 50000001u, 2147483648u, 4294967295u};
    Tavex::Initialize(s);
    Tavex::SetStations(stations.data(), kCounts[c.Below(4)]);
    Tavex::SetObservations(observations.data(), kCounts[1 + c.Below(3)]);
    Tavex::SetStations(nullptr, 1 + c.Below(100));
    Tavex::SetObservations(nullptr, 1 + c.Below(100));
    Tavex::_STATISTICS statistics{};
    if (Tavex::Adjust(statistics, window) != 0)
        Fail("an adjustment succeeded after the setters refused their records");
    CheckMessages(s);
}

struct Project {
    SettingsHolder settings;
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<Tavex::_OBSERVATION> first, second; // element 0 unused in each
    Records records;
};

void Load(Project& p, bool split) {
    Tavex::Initialize(*p.settings);
    Tavex::SetStations(p.stations.data(), static_cast<unsigned>(p.stations.size()));
    Tavex::SetObservations(p.first.data(), static_cast<unsigned>(p.first.size() - 1));
    if (split)
        Tavex::SetObservations(p.second.data(), static_cast<unsigned>(p.second.size() - 1));
}

void RunAdjust(Project& p, Tavex::HWND window) {
    Tavex::_STATISTICS statistics;
    std::memset(static_cast<void*>(&statistics), kUntouched, sizeof statistics);
    const RecordSnapshot before = Snapshot(p.records);
    const int result = Tavex::Adjust(statistics, window);
    CheckMessages(*p.settings);
    if (result != 0)
        CheckAdjustment(p.records, before, statistics);
    else
        CheckUntouched(p.records, before);
}

void Run(const std::uint8_t* data, std::size_t size) {
    RecordInput in = Decode(data, size);
    Choices choices(std::uint64_t{in.header.seed} << 8 | in.header.hostile);
    Project p;
    Tavex::_SETTINGS& s = *p.settings;
    ShowMessagesOnFailure(&s);
    std::memcpy(static_cast<void*>(&s), in.settings.data(), kSettingsBytes);
    p.stations = std::move(in.stations);
    std::vector<Tavex::_OBSERVATION>& all = in.observations;

    const std::uint8_t shaping = in.header.shaping;
    if (!Raw(shaping, 0))
        ShapeSettings(s, choices);
    if (!Raw(shaping, 1)) {
        ShapeStations(p.stations, choices);
        ShapeStationNumbers(all, p.stations.size(), choices);
    }
    if (!Raw(shaping, 2))
        ShapeKinds(all, choices);
    if (in.header.hostile & 0x80)
        WriteHostileNumbers(s, p.stations, all, in.header.hostile & 0x0F, choices);
    const std::uint8_t variant = in.header.variant;
    PlaceFiles(s, variant);

    // Output-only bytes start as a pattern the kernel never writes.
    for (Tavex::_STATIONADJ& st : p.stations)
        std::memset(reinterpret_cast<unsigned char*>(&st) + 149, kUntouched, 319 - 149);
    for (Tavex::_OBSERVATION& o : all)
        std::memset(o.Results, kUntouched, sizeof o.Results);
    // Observations in one array or two.
    const std::size_t n = all.size() - 1;
    const std::size_t cut = variant & VARIANT_SPLIT_OBSERVATIONS ? choices.Below(n + 1) : n;
    p.first.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(cut) + 1);
    p.second.assign(1, Tavex::_OBSERVATION{});
    p.second.insert(p.second.end(), all.begin() + static_cast<std::ptrdiff_t>(cut) + 1, all.end());
    const bool split = variant & VARIANT_SPLIT_OBSERVATIONS;
    p.records.settings = &s;
    p.records.stations = &p.stations;
    p.records.observations = {&p.first};
    if (split)
        p.records.observations.push_back(&p.second);

    const Tavex::HWND window = variant & VARIANT_NO_WINDOW ? nullptr : TheWindow();
    if (variant & VARIANT_HOSTILE_COUNTS)
        HostileCounts(s, p.stations, p.first, choices, window);

    Load(p, split);
    CheckMessages(s);
    std::uint8_t runs = in.header.runs & 0x0F;
    if (runs == 0)
        runs = RUN_PRERUN | RUN_COGO | RUN_ADJUST | RUN_LOOPS;
    if (runs & RUN_PRERUN) {
        const RecordSnapshot before = Snapshot(p.records);
        Tavex::PreRun(window);
        CheckMessages(s);
        CheckUntouched(p.records, before);
    }
    if (runs & RUN_COGO) {
        const RecordSnapshot before = Snapshot(p.records);
        const int result = Tavex::COGO(window);
        CheckMessages(s);
        if (result != 0)
            CheckApproximateCoordinates(p.records, before);
        else
            CheckUntouched(p.records, before);
    }
    if (runs & RUN_ADJUST)
        RunAdjust(p, window);
    if (runs & RUN_LOOPS) {
        std::vector<Tavex::_LOOP_RESULT> loops;
        const int result = Tavex::Loops(loops, window);
        CheckMessages(s);
        if (result != 0)
            CheckLoops(loops, p.stations.size());
    }
    if (in.header.runs & RUN_ADJUST_AGAIN)
        RunAdjust(p, window);
    if (in.header.runs & RUN_REINITIALIZE) {
        Load(p, split);
        RunAdjust(p, window);
    }
    ShowMessagesOnFailure(nullptr);
    Tavex::MultiplierConfidence(s.Alfa0, in.header.seed % 5);
    Tavex::Release();
    TheWorkspace().Empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(data, size);
    return 0;
}
