#include "platform/memory_status.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Tavex {

namespace {

// Value in kB of the /proc/meminfo line with the given key, or -1.
long long MeminfoKilobytes(const char* key) {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (file == nullptr)
        return -1;
    char line[256];
    long long value = -1;
    const std::size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            std::sscanf(line + keyLength + 1, "%lld", &value);
            break;
        }
    }
    std::fclose(file);
    return value;
}

} // namespace

std::uint64_t AvailableMemoryBytes() {
    const long long available = MeminfoKilobytes("MemAvailable");
    const long long swapFree = MeminfoKilobytes("SwapFree");
    if (available >= 0)
        return (static_cast<std::uint64_t>(available) +
                static_cast<std::uint64_t>(swapFree > 0 ? swapFree : 0)) *
               1024u;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

} // namespace Tavex
