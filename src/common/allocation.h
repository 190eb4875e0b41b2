// The one way the program asks for memory: an allocation that fails reports "Out of memory."
// and returns false instead of throwing, so that every failure shows its one message and
// the operation leaves the previous state usable. Because every allocation a session makes
// passes here, a test can make any single one of them fail (AllocationFaults).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "common/report_error.h"

// Counts the allocations asked for, and refuses one of them when a test says so. The count
// is the process's, over every thread (an export's workers allocate at once), so that no
// allocation is counted twice or lost; a test sets failAt and observe while no other thread
// runs, and observe is then called on whichever thread allocates.
struct AllocationFaults {
    std::atomic<uint64_t> asked{0};  // allocations asked for so far
    uint64_t failAt = 0;             // the allocation that fails, counting from 1; 0 for none
    // When set, told of every allocation with the place in the source that asked for it.
    void (*observe)(const char* file, int line) = nullptr;

    AllocationFaults() = default;
    // A test starts again from a fresh record: the count is copied as it stands.
    AllocationFaults(const AllocationFaults& other)
        : asked(other.asked.load()), failAt(other.failAt), observe(other.observe) {}
    AllocationFaults& operator=(const AllocationFaults& other) {
        asked = other.asked.load();
        failAt = other.failAt;
        observe = other.observe;
        return *this;
    }
};
extern AllocationFaults g_allocationFaults;

// False when the allocation asked for at `file`, `line` is the one a test makes fail.
bool AllocationAllowed(const char* file, int line);

// Runs `allocate`, which may allocate and throw; "Out of memory." and false when it could
// not (or a test made it fail), true otherwise. The place of the call names the allocation.
template <typename Allocate>
bool TryAllocate(Allocate&& allocate, const char* file = __builtin_FILE(),
                 int line = __builtin_LINE()) {
    try {
        if (AllocationAllowed(file, line)) {
            allocate();
            return true;
        }
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ReportError("Out of memory.");
    return false;
}

template <typename T>
bool TryResize(std::vector<T>& buffer, size_t count, const char* file = __builtin_FILE(),
               int line = __builtin_LINE()) {
    return TryAllocate([&] { buffer.resize(count); }, file, line);
}
