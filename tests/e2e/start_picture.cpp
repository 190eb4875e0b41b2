// Writes the picture that the program shows at start, made by the headless front-end, as a
// binary PPM: what a desktop window must show before a game is opened.
// usage: e2e-start-picture OUT.ppm
#include <cstdio>
#include <vector>

#include "frontends/headless/headless_frontend.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm\n", argv[0]);
        return 2;
    }
    if (!HeadlessStart()) return 1;
    const std::vector<uint8_t> rgb = HeadlessPictureRgb();
    HeadlessStop();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    std::fprintf(out, "P6\n640 480\n255\n");
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), out) == rgb.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
