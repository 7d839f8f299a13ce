#include "platform/process_memory.h"

#include <unistd.h>

#include <fstream>

int64_t ResidentSetBytes()
{
    // statm: total program size, then resident pages.
    std::ifstream statm("/proc/self/statm");
    long long totalPages = 0, residentPages = 0;
    if (!(statm >> totalPages >> residentPages))
        return -1;
    const long pageBytes = sysconf(_SC_PAGESIZE);
    return pageBytes > 0 ? static_cast<int64_t>(residentPages) * pageBytes : -1;
}
