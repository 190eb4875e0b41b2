// win32-start-picture FILE.ppm: writes the picture a freshly started window shows, from the
// headless front-end, so that the Wine test can compare DuzuRoro.exe's window with it.
#include <cstdio>
#include <fstream>

#include "frontends/headless/headless_frontend.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: win32-start-picture FILE.ppm\n");
        return 2;
    }
    const bool started = HeadlessStart();
    const std::vector<uint8_t> rgb = HeadlessPictureRgb();
    HeadlessStop();
    std::ofstream out(argv[1], std::ios::binary);
    out << "P6\n640 480\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    out.close();
    if (!started || !out) {
        std::fprintf(stderr, "win32-start-picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
