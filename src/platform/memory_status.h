// The memory the operating system can still give the kernel, for the memory
// budget of the factorisation.
#ifndef TAVEX_PLATFORM_MEMORY_STATUS_H
#define TAVEX_PLATFORM_MEMORY_STATUS_H

#include <cstdint>

namespace Tavex {

// Available physical memory plus free swap, in bytes. Reads MemAvailable and
// SwapFree of /proc/meminfo; falls back to the free pages sysconf reports.
std::uint64_t AvailableMemoryBytes();

} // namespace Tavex

#endif
