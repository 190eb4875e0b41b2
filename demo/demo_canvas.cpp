#include "demo/demo_canvas.h"

#include <algorithm>

namespace {

uint8_t Mix(uint8_t from, uint8_t to, double t) {
    return static_cast<uint8_t>(std::lround(from + (to - from) * t));
}

double DistanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = dx * dx + dy * dy;
    const double t =
        length > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / length, 0.0, 1.0) : 0;
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
                 static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

}  // namespace

uint8_t DemoPalette::Add(Rgb colour) {
    const uint8_t index = Count();
    colours.insert(colours.end(), {colour.red, colour.green, colour.blue});
    return index;
}

uint8_t DemoPalette::Ramp(Rgb from, Rgb to, int count) {
    const uint8_t first = Count();
    for (int i = 0; i < count; ++i) {
        const double t = count > 1 ? static_cast<double>(i) / (count - 1) : 0;
        Add({Mix(from.red, to.red, t), Mix(from.green, to.green, t), Mix(from.blue, to.blue, t)});
    }
    return first;
}

void DemoPalette::PadTo(uint32_t count) {
    const auto used = static_cast<uint32_t>(colours.size() / 3);
    for (uint32_t i = used; i + 1 < count; ++i) {
        const auto level =
            static_cast<uint8_t>(40 + (i - used) * 120 / std::max<uint32_t>(1, count - used));
        colours.insert(colours.end(), {level, level, level});
    }
    if (used < count) colours.insert(colours.end(), {255, 255, 255});
}

int RampIndex(uint8_t first, int count, double t) {
    const int step = static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * (count - 1)));
    return first + step;
}

Canvas::Canvas(int canvasWidth, int canvasHeight, uint8_t background)
    : width(canvasWidth),
      height(canvasHeight),
      pixels(static_cast<size_t>(canvasWidth * canvasHeight), background) {}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, uint8_t colour) {
    if (rx <= 0 || ry <= 0) return;
    Paint([&](double x, double y) {
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1 ? colour : -1;
    });
}

void Canvas::Capsule(double x0, double y0, double x1, double y1, double radius, uint8_t colour) {
    Paint([&](double x, double y) {
        return DistanceToSegment(x, y, x0, y0, x1, y1) <= radius ? colour : -1;
    });
}

void Canvas::Polygon(const std::vector<double>& xy, uint8_t colour) {
    const size_t corners = xy.size() / 2;
    Paint([&](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = corners - 1; i < corners; j = i++) {
            const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        return inside ? colour : -1;
    });
}

void Canvas::Outline(uint8_t background, uint8_t ink) {
    const std::vector<uint8_t> before = pixels;
    auto touches = [&](int x, int y) {
        if (!Inside(x, y)) return false;
        const uint8_t colour = before[static_cast<size_t>(y * width + x)];
        return colour != background && colour != ink;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (At(x, y) != background) continue;
            if (touches(x - 1, y) || touches(x + 1, y) || touches(x, y - 1) || touches(x, y + 1)) {
                Set(x, y, ink);
            }
        }
    }
}

CostumeFrame Canvas::ToFrame() const {
    return CostumeFrame{static_cast<uint16_t>(width), static_cast<uint16_t>(height), pixels};
}

double Noise(double x, double y, int period, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    auto corner = [&](int cx, int cy) {
        const int wrapped = ((cx % period) + period) % period;
        return (Hash(wrapped, cy, seed) & 0xFFFF) / 65535.0;
    };
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double u = smooth(x - fx), v = smooth(y - fy);
    const double top = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * u;
    const double bottom = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * u;
    return top + (bottom - top) * v;
}
