#pragma once
// Memory figures of the running benchmark process (Linux): resident size and
// its peak from /proc/self/status, and the heap in use.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace BenchMemory {

constexpr double MiB = 1024.0 * 1024.0;

/// A "VmRSS:"-style figure of /proc/self/status in bytes.
inline std::size_t StatusBytes(const char *key)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    std::size_t kb = 0;
    const std::size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, key, keyLength) == 0) {
            kb = std::strtoull(line + keyLength, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb * 1024;
}

/// Resets the peak resident size to the current one (Linux clear_refs 5).
inline bool ResetPeak()
{
    FILE *refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool ok = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && ok;
}

inline std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace BenchMemory
