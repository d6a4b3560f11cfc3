#include "platform/ProcessMemory.h"

#include <unistd.h>

#include <cstdio>

namespace Orvanta {

uint64_t residentBytes()
{
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return 0;
    unsigned long long total = 0, resident = 0;
    const bool read = std::fscanf(file, "%llu %llu", &total, &resident) == 2;
    std::fclose(file);
    return read ? resident * uint64_t(sysconf(_SC_PAGESIZE)) : 0;
}

}  // namespace Orvanta
