#include "common/allocation.h"

AllocationFaults g_allocationFaults;

bool AllocationAllowed(const char* file, int line) {
    ++g_allocationFaults.asked;
    if (g_allocationFaults.observe) g_allocationFaults.observe(file, line);
    return g_allocationFaults.asked != g_allocationFaults.failAt;
}
