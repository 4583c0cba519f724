#include "process_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

namespace TavexBench {

std::uint64_t PeakResidentSetBytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024; // ru_maxrss is in KiB on Linux
}

std::uint64_t CurrentResidentSetBytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    if (!(statm >> size >> resident))
        return 0;
    return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

bool ResetPeakResidentSet() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

} // namespace TavexBench
