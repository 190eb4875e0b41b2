// The browsing state over one opened game: which costume and frame are shown, and zoom.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/game_archive.h"
#include "costume/costume.h"
#include "display/screen.h"

struct CostumeViewer {
    bool zoom = false;
    bool costumeLoaded = false;
    bool frameLoaded = false;
    uint32_t costumeNumber = 0;
    std::string directory;  // the archive borrows these two: released after it
    std::string baseName;
    std::unique_ptr<GameArchive> archive;
    std::unique_ptr<Costume> costume;  // points into costumeBlock: released before it
    std::vector<uint8_t> costumeBlock;

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

// Replaces the current viewer with one over the game in `directory` named `baseName`,
// shows costume 1 and returns true; false when the game cannot be opened.
bool OpenGame(const std::string& directory, const std::string& baseName);
