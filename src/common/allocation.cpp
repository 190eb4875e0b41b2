#include "common/allocation.h"

AllocationFaults g_allocationFaults;

bool AllocationAllowed(const char* file, int line) {
    const uint64_t number = ++g_allocationFaults.asked;
    if (g_allocationFaults.observe) g_allocationFaults.observe(file, line);
    return number != g_allocationFaults.failAt;
}
