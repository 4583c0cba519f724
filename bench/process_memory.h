// The memory this process holds, for the benchmarks' memory figures.
#ifndef TAVEX_BENCH_PROCESS_MEMORY_H
#define TAVEX_BENCH_PROCESS_MEMORY_H

#include <cstdint>

namespace TavexBench {

// The process's peak resident set in bytes since it started or since the
// last successful ResetPeakResidentSet (getrusage, ru_maxrss).
std::uint64_t PeakResidentSetBytes();

// The process's current resident set in bytes (/proc/self/statm); 0 where
// the system does not tell.
std::uint64_t CurrentResidentSetBytes();

// Lowers the peak resident set to the current one (Linux: "5" into
// /proc/self/clear_refs), so that the next peak measures one piece of work.
// Returns false where the system does not allow it; the peak then keeps
// counting from the process start.
bool ResetPeakResidentSet();

inline constexpr double kMebibyte = 1024.0 * 1024.0;

} // namespace TavexBench

#endif
