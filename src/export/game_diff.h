// diff: two releases of a game compared costume by costume, for the tool to print, as one
// JSON document, and as a page of pictures. Costumes and frames are matched by number. A
// costume is in a game when its number is below that game's costume directory count and its
// room lies on a disk the game has; one in a game that fails to load is compared by its
// message, never a failure of the comparison. Each side's costumes are loaded and decoded
// once, one costume of each side at a time, within export's budgets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "export/export_options.h"
#include "export/export_report.h"
#include "export/json_stream.h"

// One side of a costume in both games: how it loaded and, when loaded, its header.
struct DiffSide {
    CostumeLoadResult result = CostumeLoadResult::Failed;
    std::string error;  // Failed: the core's messages
    uint16_t frameCount = 0;
    uint16_t codec = 0;
    uint32_t colourCount = 0;
};

// A frame that differs. Size: the two sizes differ. Pixels: same size, `pixels` of its
// palette indices differ. Error: a side cannot read it (its message; "" for a side that can).
enum class FrameChange { OnlyInA, OnlyInB, Size, Pixels, Error };

struct FrameSize {
    uint16_t width = 0;
    uint16_t height = 0;
};

struct FrameDifference {
    uint16_t frame = 0;
    FrameChange change = FrameChange::Pixels;
    FrameSize a, b;           // the sizes of the sides that have the frame
    uint64_t pixels = 0;      // Pixels: how many differ
    std::string errorA, errorB;  // Error
    bool pictured = false;    // its pictures were written for the page
};

// A palette entry (of the 256 that frames are rendered with) whose colour differs.
struct PaletteChange {
    uint8_t index = 0;
    std::array<uint8_t, 3> a{}, b{};
};

struct CostumeDifference {
    uint32_t number = 0;
    DiffSide a, b;
    bool statusDiffers = false;  // a side failed, and not with the other's message
    bool frameCountDiffers = false;
    bool codecDiffers = false;
    bool colourCountDiffers = false;
    std::vector<PaletteChange> palette;
    std::vector<FrameDifference> frames;  // in frame order
    bool firstFramesPictured = false;  // no frame differs: frame 1 of each side is shown

    bool Differs() const {
        return statusDiffers || frameCountDiffers || codecDiffers || colourCountDiffers ||
               !palette.empty() || !frames.empty();
    }
};

struct GameDiff {
    bool opened = false;  // both games were opened: what follows was compared, maybe not all
    uint32_t costumeCountA = 0;
    uint32_t costumeCountB = 0;
    std::vector<uint32_t> onlyInA, onlyInB;
    std::vector<CostumeDifference> changed;  // in number order

    bool Same() const { return onlyInA.empty() && onlyInB.empty() && changed.empty(); }
};

// What DiffGames did: compared everything, or met trouble (a game not opened, a budget
// spent, a page or picture not written), each said through the report.
enum class DiffOutcome { Compared, Trouble };

// Compares the two games into `diff`; with options.outDirectory, also writes each differing
// frame's pictures and, last, the page (diff_page.cpp) there.
DiffOutcome DiffGames(const DiffOptions& options, ExportReport& report, GameDiff* diff);

// The diff as one JSON document (README: "diff --json").
void WriteDiffJson(const DiffOptions& options, const GameDiff& diff, const TextSink& out);

// What differs in a changed costume, one line each, as the tool prints them under
// "Costume N:" and the page lists them: "frame count: 3 in A, 4 in B", "palette entry 4:
// #102030 in A, #405060 in B", "frame 2: 1 of 6 pixels differs", "frame 3: only in B".
std::vector<std::string> DifferenceLines(const CostumeDifference& costume);

// "#rrggbb".
std::string HexRgb(const std::array<uint8_t, 3>& rgb);

// The names of a differing frame's pictures: side 'a', 'b', or 'd' for the differing pixels.
std::string DiffPictureName(uint32_t costume, uint16_t frame, char side);

// The page: index.html in options.outDirectory, showing each changed costume's pictures.
// `archives` are both games', whose files it must not hide.
bool WriteDiffPage(const DiffOptions& options, const GameDiff& diff,
                   const GameArchive& archiveA, const GameArchive& archiveB,
                   ExportReport& report);
