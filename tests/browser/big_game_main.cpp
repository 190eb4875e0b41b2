// browser-big-game FOLDER COUNT: writes BIG.LA0 and BIG.LA1 with COUNT directory entries
// into FOLDER, as the benchmarks make them.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "big_game.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: browser-big-game FOLDER COUNT\n");
        return 2;
    }
    const unsigned long count = std::strtoul(argv[2], nullptr, 10);
    std::string error;
    if (count == 0 || count > 65536 ||
        !WriteBigGame(argv[1], "BIG", static_cast<uint32_t>(count), &error)) {
        std::fprintf(stderr, "browser-big-game: %s\n", error.empty() ? "bad count" : error.c_str());
        return 1;
    }
    return 0;
}
