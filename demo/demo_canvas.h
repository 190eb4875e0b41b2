// Drawing for the demo game's costumes: a palette built colour by colour and ramp by ramp,
// and a canvas of colour indices painted by shape or by a function of the pixel position.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "authoring/costume_builder.h"

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

struct DemoPalette {
    std::vector<uint8_t> colours;  // RGB triples, as a costume keeps them

    // Every palette begins with the colour of index 0, the background of the frames.
    explicit DemoPalette(Rgb background) { Add(background); }

    uint8_t Count() const { return static_cast<uint8_t>(colours.size() / 3); }
    // Appends one colour and returns its index.
    uint8_t Add(Rgb colour);
    // Appends `count` colours from `from` to `to` and returns the index of the first.
    uint8_t Ramp(Rgb from, Rgb to, int count);
    // Fills up to `count` colours with a dim ramp (entries the frames leave unused), the
    // last one white, as the screen shows entry 255 anyway.
    void PadTo(uint32_t count);
};

// The index of `t` (0 to 1, clamped) along a ramp of `count` colours from `first`.
int RampIndex(uint8_t first, int count, double t);

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Canvas(int canvasWidth, int canvasHeight, uint8_t background = 0);

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    void Set(int x, int y, uint8_t colour) {
        if (Inside(x, y)) pixels[static_cast<size_t>(y * width + x)] = colour;
    }

    // Calls `shader(x, y)` at every pixel centre; a result from 0 to 255 paints the pixel,
    // anything else leaves it.
    template <typename Shader>
    void Paint(Shader shader) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int colour = shader(x + 0.5, y + 0.5);
                if (colour >= 0 && colour <= 255) Set(x, y, static_cast<uint8_t>(colour));
            }
        }
    }

    void Ellipse(double cx, double cy, double rx, double ry, uint8_t colour);
    // A line with round ends, `radius` wide on each side.
    void Capsule(double x0, double y0, double x1, double y1, double radius, uint8_t colour);
    void Polygon(const std::vector<double>& xy, uint8_t colour);  // x0, y0, x1, y1, ...
    // Paints `ink` on each background pixel that touches a pixel of another colour.
    void Outline(uint8_t background, uint8_t ink);

    CostumeFrame ToFrame() const;
};

// Smooth value noise in [0, 1], repeating every `period` units along x.
double Noise(double x, double y, int period, uint32_t seed);

constexpr double kPi = 3.14159265358979323846;
