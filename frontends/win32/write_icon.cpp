// duzuroro-icon FILE: writes the program icon as a .ico. The Win32 resource script uses the
// committed output, frontends/win32/duzuroro.ico; a test keeps the two identical.
#include <cstdio>
#include <fstream>

#include "frontends/win32/icon_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duzuroro-icon FILE.ico\n");
        return 2;
    }
    const std::vector<uint8_t> bytes = BuildIconFile();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (bytes.empty() || !out) {
        std::fprintf(stderr, "duzuroro-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
