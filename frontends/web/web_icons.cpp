// Writes the program icon as the PNGs the web app manifest names (icon-128.png and
// icon-256.png) into the folder given, at build time under node.
#include <cstdio>
#include <string>

#include "app/program_icon.h"
#include "export/png_writer.h"

void FrontendShowError(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

namespace {

bool WriteIcon(const std::string& folder, uint16_t size) {
    ProgramIcon icon;
    if (!icon.Draw(size)) return false;
    const std::string path = folder + "/icon-" + std::to_string(size) + ".png";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const PngPicture picture{
        size, size, icon.palette.data(), ProgramIcon::kTransparent,
        [&icon, size](uint32_t row) { return &icon.pixels[static_cast<size_t>(row) * size]; }};
    std::string error;
    const bool written = WritePng(file, picture, &error);
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duzuroro_web_icons FOLDER\n");
        return 2;
    }
    return WriteIcon(argv[1], 128) && WriteIcon(argv[1], 256) ? 0 : 1;
}
