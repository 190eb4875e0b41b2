// Writes the fuzzers' seed corpora, made with the project's own encoders and game writer:
// valid costume blocks of every codec and colour count, and whole games over two disks,
// so that the fuzzer starts deep inside the formats. Usage: duzuroro-fuzz-seeds OUTDIR
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "authoring/block_writer.h"
#include "authoring/costume_builder.h"
#include "authoring/game_writer.h"
#include "demo/demo_costumes.h"
#include "game_input.h"

namespace {

// Long runs, short runs and single pixels, differently for every seed.
CostumeFrame SeedFrame(uint16_t width, uint16_t height, uint32_t colourCount, uint32_t seed) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
    for (size_t r = 0; r < height; ++r) {
        for (size_t c = 0; c < width; ++c) {
            const size_t band = (c + seed) / 4 + r / 3;
            const bool speckled = (r * 7 + c * 3 + seed) % 11 == 0;
            frame.pixels[r * width + c] =
                static_cast<uint8_t>((speckled ? r * 5 + c : band + seed) % colourCount);
        }
    }
    return frame;
}

CostumeDesign SeedCostume(uint16_t codec, uint32_t colourCount, uint8_t codec16Bits,
                          uint32_t seed) {
    CostumeDesign design;
    design.codec = codec;
    design.codec16Bits = codec16Bits;
    for (uint32_t i = 0; i < colourCount * 3; ++i) {
        design.colours.push_back(static_cast<uint8_t>(i * 37 + seed));
    }
    const uint16_t sizes[][2] = {{8, 6}, {13, 9}, {21, 4}, {1, 17}};
    for (uint32_t f = 0; f < 4; ++f) {
        design.frames.push_back(SeedFrame(sizes[f][0], sizes[f][1], colourCount, seed + f));
    }
    return design;
}

struct SeedCostumeKind {
    const char* name;
    uint16_t codec;
    uint32_t colourCount;
    uint8_t codec16Bits;
};

constexpr SeedCostumeKind kCostumeKinds[] = {
    {"codec1-16-colours", 1, 16, 0}, {"codec1-32-colours", 1, 32, 0},
    {"codec1-64-colours", 1, 64, 0}, {"codec5-256-colours", 5, 256, 0},
    {"codec5-16-colours", 5, 16, 0}, {"codec16-fewest-bits", 16, 32, 0},
    {"codec16-3-bits", 16, 8, 3},    {"codec16-8-bits", 16, 256, 8},
};

// Costumes 1 to 4 over two disks, one of them in a room whose disk is absent.
GameLayout TwoDiskGame(uint32_t seed) {
    GameLayout layout;
    layout.roomDisks = {0, 1, 2, 1, 3};
    layout.absentDisks = {3};
    layout.costumes.push_back(GameCostume{});
    const uint8_t rooms[] = {1, 2, 3, 4};
    const uint16_t codecs[] = {1, 5, 16, 1};
    for (uint32_t c = 0; c < 4; ++c) {
        layout.costumes.push_back(
            GameCostume{rooms[c], BuildCostumeBlock(SeedCostume(codecs[c], 32, 0, seed + c))});
    }
    return layout;
}

// One disk and every block the index scan steps over.
std::vector<uint8_t> IndexWithEverySkippedBlock(const GameFiles& files) {
    std::vector<uint8_t> index;
    constexpr char kSkipped[][5] = {"RNAM", "DSCR", "DSOU", "DCHR", "DOBJ", "AARY", "ANAM", "DRSC"};
    for (const auto& tag : kSkipped) AppendBlock(index, tag, {1, 2, 3});
    AppendBytes(index, files.index);
    return index;
}

// A codec target's input: width, height, colour count, then the encoded frame.
std::vector<uint8_t> CodecInput(const SeedCostumeKind& kind, const CostumeFrame& frame) {
    std::vector<uint8_t> input;
    AppendU16LE(input, frame.width);
    AppendU16LE(input, frame.height);
    input.push_back(static_cast<uint8_t>(kind.colourCount));
    switch (kind.codec) {
        case 1:
            AppendBytes(input, EncodeCodec1(frame, kind.colourCount));
            break;
        case 5:
            AppendBytes(input, EncodeCodec5(frame));
            break;
        default:
            AppendBytes(input, EncodeCodec16(frame, kind.codec16Bits ? kind.codec16Bits : 8));
    }
    return input;
}

// The round-trip target's input: width, height, colour count, then the pixels.
std::vector<uint8_t> FrameInput(uint32_t colourCount, const CostumeFrame& frame) {
    std::vector<uint8_t> input;
    AppendU16LE(input, frame.width);
    AppendU16LE(input, frame.height);
    input.push_back(static_cast<uint8_t>(colourCount));
    AppendBytes(input, frame.pixels);
    return input;
}

// The export target's input: codec, colour count, options, transparent index, frame count,
// frames per second, each frame's size, then the colours and the pixels it paints with.
std::vector<uint8_t> ExportInput(const CostumeDesign& design, uint8_t options,
                                 uint8_t transparent) {
    std::vector<uint8_t> input;
    input.push_back(design.codec == 1 ? 0 : design.codec == 5 ? 1 : 2);
    input.push_back(static_cast<uint8_t>(design.colours.size() / 3));
    input.insert(input.end(),
                 {options, transparent, static_cast<uint8_t>(design.frames.size() - 1), 9});
    for (const CostumeFrame& frame : design.frames) {
        input.push_back(static_cast<uint8_t>(frame.width));
        input.push_back(static_cast<uint8_t>(frame.height));
    }
    AppendBytes(input, design.colours);
    for (const CostumeFrame& frame : design.frames) AppendBytes(input, frame.pixels);
    return input;
}

// Larger seeds would make every mutation of the costume targets slower.
constexpr size_t kMaxDemoSeed = 16384;

class SeedWriter {
public:
    explicit SeedWriter(std::filesystem::path root) : root_(std::move(root)) {}

    void Write(const char* target, const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::filesystem::path folder = root_ / target;
        std::filesystem::create_directories(folder);
        std::string error;
        if (bytes.empty() || !WriteBytes(folder / name, bytes, &error)) {
            std::fprintf(stderr, "duzuroro-fuzz-seeds: cannot make %s/%s %s\n", target,
                         name.c_str(), error.c_str());
            failed_ = true;
        }
    }

    bool Failed() const { return failed_; }

private:
    std::filesystem::path root_;
    bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duzuroro-fuzz-seeds OUTDIR\n");
        return 2;
    }
    SeedWriter seeds(argv[1]);
    uint32_t seed = 0;
    for (const SeedCostumeKind& kind : kCostumeKinds) {
        const CostumeDesign design =
            SeedCostume(kind.codec, kind.colourCount, kind.codec16Bits, seed++);
        seeds.Write("costume_block", kind.name, BuildCostumeBlock(design));
        const std::string codecTarget = "codec" + std::to_string(kind.codec);
        for (size_t f = 0; f < design.frames.size(); ++f) {
            seeds.Write(codecTarget.c_str(),
                        std::string(kind.name) + "-frame-" + std::to_string(f + 1),
                        CodecInput(kind, design.frames[f]));
            seeds.Write("round_trip",
                        std::string(kind.name) + "-frame-" + std::to_string(f + 1),
                        FrameInput(kind.colourCount, design.frames[f]));
        }
    }
    // Every layout, scale, padding and transparency over each codec and colour count; one
    // costume also has a frame without pixels, and colours that look alike.
    uint8_t options = 0;
    for (const SeedCostumeKind& kind : kCostumeKinds) {
        CostumeDesign design = SeedCostume(kind.codec, kind.colourCount, 0, seed++);
        options = static_cast<uint8_t>(options + 0x25);
        seeds.Write("export_round_trip", kind.name, ExportInput(design, options, 3));
        if (kind.colourCount != 16) continue;
        design.frames[1] = CostumeFrame{0, 5, {}};
        std::fill(design.colours.begin() + 3, design.colours.begin() + 9, 40);
        seeds.Write("export_round_trip", std::string(kind.name) + "-empty-frame-alike-colours",
                    ExportInput(design, 0x3A, 2));
    }

    // A frame taller than codec 1's tile of columns, its few pixels repeated down it.
    CostumeFrame tall = SeedFrame(1, 20000, 16, 3);
    tall.pixels.resize(97);
    seeds.Write("round_trip", "tall-frame", FrameInput(16, tall));

    for (uint32_t variant = 0; variant < 2; ++variant) {
        GameFiles files;
        std::string error;
        if (!MakeGameFiles(TwoDiskGame(variant * 10), &files, &error)) {
            std::fprintf(stderr, "duzuroro-fuzz-seeds: %s\n", error.c_str());
            return 1;
        }
        const std::string name = "two-disks-" + std::to_string(variant);
        seeds.Write("game", name, JoinGameInput(files));
        seeds.Write("index_scan", name, files.index);
        seeds.Write("index_scan", name + "-every-block", IndexWithEverySkippedBlock(files));
        for (int disk = 1; disk < 10; ++disk) {
            if (files.disks[disk].empty()) continue;
            seeds.Write("disk_header", name + "-disk-" + std::to_string(disk), files.disks[disk]);
        }
    }
    // The demo game's smaller costumes: animations as a person draws them.
    for (const DemoCostume& costume : DesignDemoCostumes()) {
        const std::vector<uint8_t> block = BuildCostumeBlock(costume.design);
        std::string name = std::string("demo-") + costume.name;
        std::replace(name.begin(), name.end(), ' ', '-');
        if (block.size() <= kMaxDemoSeed) seeds.Write("costume_block", name, block);
    }
    return seeds.Failed() ? 1 : 0;
}
