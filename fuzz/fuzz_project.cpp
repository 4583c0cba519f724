// libFuzzer target: any bytes as a tavex project file. Reading either gives
// a project or a ProjectError naming the place; any other exception, a crash
// or a sanitizer report is a defect. A project read is laid out into the
// kernel's records, whose station numbers must lie within the station table.
#include "project_file.h"
#include "record_layout.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "tavex_fuzz_project: %s: %s\n", what, detail);
    std::fflush(stderr);
    __builtin_trap();
}

void CheckRecords(const TavexCli::Records& records) {
    const std::size_t stations = records.stations.size();
    for (std::size_t k = 1; k < records.observations.size(); ++k) {
        const Tavex::_OBSERVATION& o = records.observations[k];
        std::uint32_t station = 0;
        switch (o.Kind) {
        case 4:
        case 5:
            std::memcpy(&station, reinterpret_cast<const char*>(&o) + 10, sizeof station);
            break;
        default:
            std::memcpy(&station, reinterpret_cast<const char*>(&o) + 22, sizeof station);
            break;
        }
        if (station == 0 || station > stations)
            Fail("an observation record names a station outside the table",
                 std::to_string(k).c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const TavexCli::Project project = TavexCli::ParseProject(text, "fuzz.json");
        // Form 0 writes nothing; the directory only names the files.
        CheckRecords(TavexCli::LayOut(project, "/nonexistent", "fuzz", 0));
    } catch (const TavexCli::ProjectError&) {
        // The answer for a file that cannot be used.
    } catch (const std::exception& e) {
        Fail("an exception other than ProjectError", e.what());
    }
    return 0;
}
