#include "figure.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint8_t kOutline = 1;
constexpr uint8_t kSkin = 8;
constexpr uint8_t kShirt = 12;
constexpr uint8_t kSleeve = 16;
constexpr uint8_t kTrousers = 20;

struct Pose {
    double arm = 0;  // sideways shift of the arms, as a share of the width
    double leg = 0;
};

Pose PoseOf(uint32_t pose) {
    constexpr double kSwing[] = {0, 0.02, 0, -0.02};
    return {kSwing[pose % 4], kSwing[(pose + 2) % 4]};
}

// The first colour of the body part at (fx, fy), both 0 to 1 across the frame; 0 outside.
uint8_t PartAt(double fx, double fy, const Pose& pose) {
    const double side = std::abs(fx - 0.5);
    const double headX = (fx - 0.5) / 0.11;
    const double headY = (fy - 0.12) / 0.09;
    if (headX * headX + headY * headY <= 1) return kSkin;
    if (fy >= 0.22 && fy < 0.6 && side < 0.17 + 0.08 * (fy - 0.22)) return kShirt;
    const double armSide = std::abs(fx - 0.5 - pose.arm);
    if (fy >= 0.24 && fy < 0.56 && armSide >= 0.17 && armSide < 0.26) return kSleeve;
    const double legSide = std::abs(fx - 0.5 - pose.leg);
    if (fy >= 0.6 && fy < 0.96 && legSide >= 0.03 && legSide < 0.16) return kTrousers;
    return 0;
}

// A fixed scatter of texture pixels, the same on every run.
bool Speckled(uint32_t x, uint32_t y, uint32_t pose) {
    uint32_t hash = x * 73856093u ^ y * 19349663u ^ pose * 83492791u;
    hash ^= hash >> 13;
    hash *= 0x5bd1e995u;
    return (hash >> 15) % 6 == 0;
}

}  // namespace

CostumeFrame MakeFigure(uint16_t width, uint16_t height, uint32_t pose) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height, 0)};
    const Pose swing = PoseOf(pose);
    auto part = [&](int64_t x, int64_t y) -> uint8_t {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return PartAt((static_cast<double>(x) + 0.5) / width,
                      (static_cast<double>(y) + 0.5) / height, swing);
    };
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t base = part(x, y);
            if (base == 0) continue;
            uint8_t& pixel = frame.pixels[size_t{y} * width + x];
            if (!part(x - 1, y) || !part(x + 1, y) || !part(x, y - 1) || !part(x, y + 1)) {
                pixel = kOutline;
                continue;
            }
            // Lit from the left: four shades across the figure.
            const double fx = (x + 0.5) / width;
            const int shade = std::clamp(static_cast<int>((fx - 0.3) / 0.1), 0, 3);
            pixel = static_cast<uint8_t>(base + shade + (Speckled(x, y, pose) ? 4 : 0));
        }
    }
    return frame;
}

std::vector<uint8_t> MakeFigureCostume(uint16_t codec, uint16_t width, uint16_t height,
                                       uint32_t frames) {
    CostumeDesign design;
    design.codec = codec;
    for (uint32_t i = 0; i < kFigureColours * 3; ++i)
        design.colours.push_back(static_cast<uint8_t>(i * 37 + 11));
    for (uint32_t pose = 0; pose < frames; ++pose)
        design.frames.push_back(MakeFigure(width, height, pose));
    return BuildCostumeBlock(design);
}
