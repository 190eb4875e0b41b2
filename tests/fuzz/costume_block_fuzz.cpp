// A costume block through parse, every frame's selection, and rendering. Built twice: once
// keeping to small frames, each rendered whole as export renders it (the first also drawn
// zoomed on the screen), so that the fuzzer runs fast through the parsing and the codecs;
// and once with frames of any size the renderer accepts, each drawn zoomed on the screen as
// the viewer draws it, so that the largest allocations and clears a frame can claim are made
// too. (The game target draws such frames unzoomed, as opening a game does.)
#include <memory>

#include "costume/decode_budget.h"
#include "fuzz_support.h"

namespace {

#ifdef DUZURORO_FUZZ_LARGE_FRAMES
// Up to a quarter of the tool's per-costume budget for each input: one frame of the largest
// size, or many smaller ones, all on the screen. More would only repeat the same draws.
constexpr DrawBudget kBudget{size_t{1} << 24, size_t{kCostumeDecodePixelBudget} / 4, 1 << 30};
#else
constexpr DrawBudget kBudget{size_t{1} << 16, size_t{1} << 18, 1};
#endif

Screen& FuzzScreen() {
    static Screen screen = [] {
        Screen made;
        Require(made.Create(), "the screen is created");
        return made;
    }();
    return screen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CostumeViewer viewer;
    // The block is the fuzzer's own buffer, exactly as long as the input, so that a read
    // past its end is caught.
    viewer.loaded.costume = std::make_unique<Costume>(ByteView{data, size});
    const bool parsed = viewer.loaded.costume->Parse();
    RequireOneMessageOnFailure(parsed, "Parsing a costume");
    if (!parsed) return 0;
    viewer.costumeLoaded = true;
    DrawBudget budget = kBudget;
    DrawEveryFrame(viewer, FuzzScreen(), budget);
    return 0;
}
