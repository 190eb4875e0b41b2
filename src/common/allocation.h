// Allocation that reports "Out of memory." instead of throwing, so that every failure
// shows its one message and the operation returns false.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

#include "common/report_error.h"

template <typename T>
bool TryResize(std::vector<T>& buffer, size_t count) {
    try {
        buffer.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
        ReportError("Out of memory.");
        return false;
    } catch (const std::length_error&) {
        ReportError("Out of memory.");
        return false;
    }
}
