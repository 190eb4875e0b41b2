// A room or costume directory from the index file: one number byte and one offset per entry.
#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_view.h"

struct ResourceDirectory {
    uint32_t count = 0;
    std::vector<uint8_t> numbers;   // DROO: disk of each room; DCOS: room of each costume
    std::vector<uint32_t> offsets;  // DCOS: costume position from the start of its room

    // Fills the directory from a DROO or DCOS body. A count that the body cannot hold
    // fails with "Invalid directory." before anything is allocated.
    bool ReadRecord(ByteView body);
    // Back to empty: count 0, no entries.
    void Clear();
};
