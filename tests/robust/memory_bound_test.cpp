// What a game's files can make a viewer session allocate, measured: the most memory held at
// once while opening the game and drawing, zoomed, a costume made for the purpose, against
// the bound docs/robustness.md states: 18 MiB (the largest frame a size record may claim, its zoomed
// copy and the screen), plus twice the index file (a directory is read whole, then kept),
// plus the costume block (which its disk file must hold).
#include <algorithm>
#include <cstdio>

#include "robust/allocation_count.h"
#include "robust/browsed_game.h"

namespace {

constexpr size_t kMiB = size_t{1} << 20;
constexpr size_t kFixedBound = 18 * kMiB;

// A costume of one frame whose size record claims `width` x `height` pixels, whatever its
// few bytes of data hold, with `padding` more bytes of data after them.
std::vector<uint8_t> ClaimingCostume(uint16_t width, uint16_t height, size_t padding) {
    CostumeDesign design;
    design.codec = 5;
    design.colours = PatternColours(16, 1);
    design.frames.push_back(CostumeFrame{1, 1, {3}});
    std::vector<uint8_t> block = BuildCostumeBlock(design);
    const auto veci = std::search(block.begin(), block.end(), "VECI", "VECI" + 4);
    const size_t record = static_cast<size_t>(veci - block.begin()) + 8;
    block[record] = static_cast<uint8_t>(width);
    block[record + 1] = static_cast<uint8_t>(width >> 8);
    block[record + 2] = static_cast<uint8_t>(height);
    block[record + 3] = static_cast<uint8_t>(height >> 8);
    // The data is the last sub-block: grow it, and the two sizes that count it.
    block.resize(block.size() + padding, 0x01);
    const size_t vecd = static_cast<size_t>(
        std::search(block.begin(), block.end(), "VECD", "VECD" + 4) - block.begin());
    const auto putSize = [&](size_t at, size_t size) {
        for (size_t i = 0; i < 4; ++i) block[at + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    };
    putSize(4, block.size());
    putSize(vecd + 4, block.size() - vecd);
    return block;
}

struct BoundCase {
    const char* what;
    size_t costumes;  // entries of the costume directory
    uint16_t width, height;
    size_t padding;  // bytes of data beyond the frame's own
};

TEST(MemoryBound, AViewerSessionStaysWithinWhatItsFilesBack) {
    const BoundCase cases[] = {
        {"a frame claiming the most pixels a frame may have", 2, 4096, 4096, 0},
        {"a frame wider and taller than the screen", 2, 65535, 256, 0},
        {"a costume directory of 200,000 entries", 200000, 8, 8, 0},
        {"a costume block of 8 MiB", 2, 64, 64, 8 * kMiB},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame game;
        GameLayout layout;
        layout.roomDisks = {0, 1};
        layout.costumes.resize(c.costumes, GameCostume{1, {}});
        layout.costumes[1].block = ClaimingCostume(c.width, c.height, c.padding);
        game.Write(layout);
        const size_t indexSize = std::filesystem::file_size(game.IndexPath());
        const size_t blockSize = layout.costumes[1].block.size();
        layout = GameLayout{};

        g_headless.Clear();
        const size_t before = g_allocated.liveBytes;
        g_allocated.peakBytes = g_allocated.liveBytes;
        ASSERT_TRUE(HeadlessStart());
        HeadlessOpen(game.IndexPath());
        HeadlessPressKey(KEY_ADD);
        HeadlessPressKey(KEY_SUBTRACT);
        EXPECT_EQ(g_headless.TakeErrors(), Messages{});
        HeadlessStop();
        const size_t peak = g_allocated.peakBytes - before;
        const size_t bound = kFixedBound + 2 * indexSize + blockSize;
        std::printf("%s: %.1f MiB at most (index %zu bytes, block %zu bytes; bound %.1f MiB)\n",
                    c.what, double(peak) / kMiB, indexSize, blockSize, double(bound) / kMiB);
        EXPECT_LE(peak, bound);
    }
}

}  // namespace
