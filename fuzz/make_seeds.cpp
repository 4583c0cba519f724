// Writes seeds of the records fuzzing target: each project file given is
// read by the tavex host's reader, laid out into the kernel's records as
// tavex lays them out, and written in the target's encoding (record_input.h),
// in a few variants of the header and settings.
//
//   tavex_fuzz_seeds OUTPUT-DIR PROJECT.json...
#include "project_file.h"
#include "record_input.h"
#include "record_layout.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace TavexFuzz;

struct Variant {
    const char* suffix;
    Header header;
    int outputForm;
    int design; // -1 as the project says
};

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavex_fuzz_seeds OUTPUT-DIR PROJECT.json...\n");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    std::filesystem::create_directories(outDir);
    const Variant variants[] = {
        {"all-runs", Header{}, 1, -1},
        {"xml-design", Header{RUN_ADJUST, 0, 0, 0, 0, 0, 1}, 2, 1},
        {"split-again",
         Header{RUN_PRERUN | RUN_ADJUST | RUN_ADJUST_AGAIN | RUN_REINITIALIZE, 0, 0,
                VARIANT_SPLIT_OBSERVATIONS, 0, 0, 2},
         0, 0},
        {"hostile", Header{0, 0, 0x84, VARIANT_HOSTILE_COUNTS | VARIANT_LATIN1_DIRECTORY, 0, 0, 3},
         1, -1},
    };
    int written = 0;
    for (int i = 2; i < argc; ++i) {
        const std::filesystem::path project = argv[i];
        try {
            const TavexCli::Project model = TavexCli::ReadProjectFile(project.string());
            for (const Variant& v : variants) {
                TavexCli::Records records = TavexCli::LayOut(model, "/tmp", "seed", v.outputForm);
                if (v.design >= 0)
                    records.settings->AdjDesign = v.design;
                const std::string bytes =
                    Encode(v.header, *records.settings, records.stations, records.observations);
                Write(outDir / (project.stem().string() + "-" + v.suffix), bytes);
                ++written;
            }
        } catch (const std::exception& e) {
            // Not a project (an example's truth file, say): no seed.
            std::fprintf(stderr, "skipped %s: %s\n", project.c_str(), e.what());
        }
    }
    std::printf("%d seeds in %s\n", written, outDir.c_str());
    return written > 0 ? 0 : 1;
}
