// A rectangle of the 640 x 480 client area: [left, right) x [top, bottom).
#pragma once

#include <algorithm>
#include <cstdint>

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }

    // The smallest rectangle holding both; an empty one adds nothing.
    ScreenRect Union(const ScreenRect& other) const {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return ScreenRect{std::min(left, other.left), std::min(top, other.top),
                          std::max(right, other.right), std::max(bottom, other.bottom)};
    }

    bool operator==(const ScreenRect&) const = default;
};
