// The costumes or frames a command line selects: numbers and ranges "A-B", in comma lists,
// from options that may be repeated. Kept as sorted, merged ranges, so that "1-65535" costs
// no more than "7".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Selection {
    struct Range {
        uint32_t first = 0;
        uint32_t last = 0;
    };
    std::vector<Range> ranges;  // ascending, neither overlapping nor touching

    bool Empty() const { return ranges.empty(); }
    // How many numbers are selected (at most 2^32 - 1 each range, so 64 bits).
    uint64_t Count() const;
    // The single number selected, or 0 when none or several are.
    uint32_t Single() const;

    // Adds every number of `text` ("3", "2-5", "1,4-6,9"), each from `lowest` to `highest`.
    // False, with `error` saying what is wrong, when it is not such a list.
    bool Add(const std::string& text, uint32_t lowest, uint32_t highest, std::string* error);
    void AddRange(uint32_t first, uint32_t last);
};
