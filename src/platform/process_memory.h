// How much memory this process holds, for the long-run checks.
#pragma once

#include <cstdint>

// Resident set size in bytes; -1 when the system does not tell.
int64_t ResidentSetBytes();
