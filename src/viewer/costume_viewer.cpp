#include "viewer/costume_viewer.h"

#include <cstdio>

#include "app/report_error.h"
#include "app/shell.h"
#include "common/allocation.h"

bool CostumeViewer::Open(const std::string& newDirectory, const std::string& newBaseName) {
    Reset();
    return TryAllocate([&] {
               directory = newDirectory;
               baseName = newBaseName;
               archive = std::make_unique<GameArchive>(directory, baseName);
           }) &&
           archive->Open();
}

void CostumeViewer::Reset() {
    // The costume points into its block, and the archive into the two strings.
    costume.reset();
    std::vector<uint8_t>().swap(costumeBlock);
    if (archive) {
        archive->Destroy();
        archive.reset();
    }
    std::string().swap(baseName);
    std::string().swap(directory);
    costumeLoaded = false;
    frameLoaded = false;
}

uint32_t CostumeViewer::CostumeCount() const {
    return archive ? archive->costumeDirectory.count : 0;
}

void CostumeViewer::SelectCostume(uint32_t number) {
    if (number >= CostumeCount()) {
        ReportError("Costume out of range.");
        return;
    }
    costume.reset();
    std::vector<uint8_t>().swap(costumeBlock);
    costumeNumber = number;
    costumeLoaded = false;

    switch (archive->LoadCostume(&costumeBlock, number)) {
        case CostumeLoadResult::NotPresent: {
            char text[256];
            std::snprintf(text, sizeof text, "Costume %u is not present on this disk.",
                          static_cast<unsigned>(costumeNumber));
            ClearScreen();
            DrawStatusText(text);
            return;
        }
        case CostumeLoadResult::Failed:
            return;
        case CostumeLoadResult::Loaded:
            break;
    }
    if (!TryAllocate([&] {
            costume = std::make_unique<Costume>(ByteView{costumeBlock.data(), costumeBlock.size()});
        }) ||
        !costume->Parse()) {
        return;
    }
    costumeLoaded = true;
    SelectFrame(1);
}

void CostumeViewer::NextCostume() {
    // Computed in 64 bits: costumeNumber + 1 must not wrap to 0.
    if (static_cast<uint64_t>(costumeNumber) + 1 < CostumeCount()) SelectCostume(costumeNumber + 1);
}

void CostumeViewer::PreviousCostume() {
    if (costumeNumber > 1) SelectCostume(costumeNumber - 1);
}

void CostumeViewer::SelectFrame(uint16_t frame) {
    if (!costumeLoaded) return;
    if (frame > costume->FrameCount()) {
        ReportError("Frame out of range.");
        return;
    }
    frameLoaded = false;
    frameLoaded = costume->SelectFrame(frame);
}

void CostumeViewer::NextFrame() {
    if (!costumeLoaded) return;
    const uint32_t next = static_cast<uint32_t>(costume->currentFrame) + 1;
    if (next <= costume->FrameCount()) SelectFrame(static_cast<uint16_t>(next));
}

void CostumeViewer::PreviousFrame() {
    if (costumeLoaded && costume->currentFrame > 1) {
        SelectFrame(static_cast<uint16_t>(costume->currentFrame - 1));
    }
}

bool OpenGame(const std::string& directory, const std::string& baseName) {
    ReleaseViewer();
    if (!TryAllocate([] { g_viewer = std::make_unique<CostumeViewer>(); }) ||
        !g_viewer->Open(directory, baseName)) {
        return false;
    }
    g_viewer->SelectCostume(1);
    g_viewer->Draw(g_screen);
    return true;
}
