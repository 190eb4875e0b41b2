// The browsing state over one opened game: which costume and frame are shown, and zoom.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/game_archive.h"
#include "costume/loaded_costume.h"
#include "display/screen.h"

struct CostumeViewer {
    bool zoom = false;
    bool costumeLoaded = false;
    bool frameLoaded = false;
    uint32_t costumeNumber = 0;
    std::string directory;  // the archive borrows these two: released after it
    std::string baseName;
    std::unique_ptr<GameArchive> archive;
    LoadedCostume loaded;  // the block and the Costume parsed from it
    // Where each draw renders the frame. Every draw renders afresh; the record only keeps
    // its memory, so that a key press does not map, zero-fill and unmap a fresh buffer.
    IndexedImage frameImage;

    CostumeViewer() = default;
    CostumeViewer(const CostumeViewer&) = delete;
    CostumeViewer& operator=(const CostumeViewer&) = delete;
    ~CostumeViewer() { Reset(); }

    bool Open(const std::string& directory, const std::string& baseName);
    void Reset();
    void SelectCostume(uint32_t number);
    void NextCostume();
    void PreviousCostume();
    void SelectFrame(uint16_t frame);
    void NextFrame();
    void PreviousFrame();
    void Draw(Screen& screen);

    // Entries of the game's costume directory; 0 while no archive exists.
    uint32_t CostumeCount() const;
};
