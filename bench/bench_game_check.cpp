#include "bench_game_check.h"

#include <set>
#include <string>
#include <tuple>

#include "bench_game.h"
#include "costume/costume.h"

namespace {

// Every frame comes back from its block as drawn: a figure the encoders could not hold, or
// that the decoders spoil, would time other work than the game's.
bool RoundTrips(uint32_t number, const CostumeDesign& design, std::string* error) {
    const std::vector<uint8_t> block = BuildCostumeBlock(design);
    Costume costume(ByteView{block.data(), block.size()});
    if (block.empty() || !costume.Parse() || costume.FrameCount() != design.frames.size()) {
        *error = "costume " + std::to_string(number) + " does not build or parse";
        return false;
    }
    IndexedImage image;
    for (uint16_t frame = 1; frame <= design.frames.size(); ++frame) {
        if (!costume.SelectFrame(frame) || !costume.Render(&image, 0, 0) ||
            image.pixels != design.frames[frame - 1u].pixels) {
            *error = "costume " + std::to_string(number) + " frame " + std::to_string(frame) +
                     " does not come back from its block";
            return false;
        }
    }
    return true;
}

}  // namespace

bool CheckBenchGameCycle(std::string* error) {
    uint32_t frames = 0;
    std::set<std::tuple<uint16_t, uint32_t, uint16_t, uint16_t>> kinds;
    std::set<uint16_t> codecs;
    for (uint32_t number = 1; number <= kBenchKindsPerCycle; ++number) {
        const BenchCostumeKind kind = BenchKind(number);
        const BenchCostumeKind again = BenchKind(number + kBenchKindsPerCycle * (kBenchCycles - 1));
        if (again.codec != kind.codec || again.colours != kind.colours ||
            again.width != kind.width || again.frames != kind.frames) {
            *error = "costume " + std::to_string(number) + " differs from its kind in the last cycle";
            return false;
        }
        kinds.insert({kind.codec, kind.colours, kind.width, kind.height});
        codecs.insert(kind.codec);
        const CostumeDesign design = BenchCostume(number);
        if (design.frames.size() != kind.frames || design.colours.size() != 3 * kind.colours) {
            *error = "costume " + std::to_string(number) + " is not of its kind";
            return false;
        }
        if (BenchCostume(number).frames[0].pixels != design.frames[0].pixels) {
            *error = "costume " + std::to_string(number) + " is drawn differently twice";
            return false;
        }
        if (!RoundTrips(number, design, error)) return false;
        frames += kind.frames;
    }
    if (frames != kBenchFramesPerCycle || kinds.size() != kBenchKindsPerCycle || codecs.size() != 3) {
        *error = "a cycle holds " + std::to_string(frames) + " frames in " +
                 std::to_string(kinds.size()) + " kinds";
        return false;
    }
    return true;
}
