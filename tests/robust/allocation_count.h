// Every allocation of the robust tests' program is counted (operator new is replaced), so
// that a test sees how much the program holds at any moment and the peak however short an
// allocation lived.
#pragma once

#include <cstddef>

struct AllocationCount {
    size_t liveBytes = 0;   // as asked for
    size_t liveBlocks = 0;  // allocations not yet freed
    size_t peakBytes = 0;   // the most live bytes since a test last set it
};
extern AllocationCount g_allocated;
