#include "process_memory.h"

#include <sys/resource.h>

#include <fstream>

namespace TavexBench {

std::uint64_t PeakResidentSetBytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024; // ru_maxrss is in KiB on Linux
}

bool ResetPeakResidentSet() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

} // namespace TavexBench
