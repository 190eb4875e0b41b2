#include "export/selection.h"

#include <algorithm>
#include <charconv>

namespace {

bool ParseNumber(std::string_view text, uint32_t* number) {
    if (text.empty()) return false;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return failed == std::errc() && end == text.data() + text.size();
}

}  // namespace

uint64_t Selection::Count() const {
    uint64_t count = 0;
    for (const Range& range : ranges) count += uint64_t{range.last} - range.first + 1;
    return count;
}

uint32_t Selection::Single() const {
    return Count() == 1 ? ranges.front().first : 0;
}

bool Selection::Add(const std::string& text, uint32_t lowest, uint32_t highest,
                    std::string* error) {
    const std::string bounds = std::to_string(lowest) + " to " + std::to_string(highest);
    std::vector<Range> added;
    std::string_view rest = text;
    for (;;) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        const size_t dash = item.find('-');
        Range range;
        const bool parsed = dash == std::string_view::npos
                                ? ParseNumber(item, &range.first) && (range.last = range.first, true)
                                : ParseNumber(item.substr(0, dash), &range.first) &&
                                      ParseNumber(item.substr(dash + 1), &range.last);
        if (!parsed) {
            *error = "'" + std::string(item) + "' is not a number N or a range A-B";
            return false;
        }
        if (range.first > range.last) {
            *error = "the range " + std::string(item) + " ends before it begins";
            return false;
        }
        if (range.first < lowest || range.last > highest) {
            *error = std::string(item) + " is not within " + bounds;
            return false;
        }
        added.push_back(range);
        if (comma == std::string_view::npos) break;
        rest = rest.substr(comma + 1);
    }
    for (const Range& range : added) AddRange(range.first, range.last);
    return true;
}

void Selection::AddRange(uint32_t first, uint32_t last) {
    ranges.push_back({first, last});
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    for (const Range& range : ranges) {
        if (!merged.empty() && uint64_t{range.first} <= uint64_t{merged.back().last} + 1) {
            merged.back().last = std::max(merged.back().last, range.last);
        } else {
            merged.push_back(range);
        }
    }
    ranges = std::move(merged);
}
