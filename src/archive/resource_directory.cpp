#include "archive/resource_directory.h"

#include "common/allocation.h"
#include "common/report_error.h"

namespace {

constexpr size_t kCountLength = 4;
constexpr size_t kEntryLength = 5;  // one number byte and one 32-bit offset

}  // namespace

bool ResourceDirectory::ReadRecord(ByteView body) {
    uint32_t entries = 0;
    // The count must fit the body before it sizes anything: 4 + 5 x N <= body length.
    if (!body.ReadU32LE(0, &entries) || entries > (body.size - kCountLength) / kEntryLength) {
        ReportError("Invalid directory.");
        return false;
    }
    // Filled aside and swapped in, so that a failure leaves the directory as it was.
    std::vector<uint8_t> newNumbers;
    std::vector<uint32_t> newOffsets;
    if (!TryResize(newNumbers, entries) || !TryResize(newOffsets, entries)) return false;
    const size_t offsetsStart = kCountLength + entries;
    for (uint32_t i = 0; i < entries; ++i) {
        body.ReadU8(kCountLength + i, &newNumbers[i]);
        body.ReadU32LE(offsetsStart + size_t{4} * i, &newOffsets[i]);
    }
    numbers.swap(newNumbers);
    offsets.swap(newOffsets);
    count = entries;
    return true;
}

void ResourceDirectory::Clear() {
    count = 0;
    numbers = {};
    offsets = {};
}
