#include "viewer/costume_viewer.h"

#include "common/allocation.h"
#include "common/report_error.h"
#include "viewer/viewer_texts.h"

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
    // The archive borrows the two strings: it goes before them.
    loaded.Release();
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
    loaded.Release();
    costumeNumber = number;
    costumeLoaded = false;

    StatusText whyNot;
    switch (loaded.LoadOrSayWhyNot(*archive, number, &whyNot)) {
        case CostumeLoadResult::NotPresent:
            ClearScreen();
            DrawStatusText(whyNot.text);
            return;
        case CostumeLoadResult::Failed:
            return;
        case CostumeLoadResult::Loaded:
            break;
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
    if (frame > loaded.costume->FrameCount()) {
        ReportError("Frame out of range.");
        return;
    }
    frameLoaded = false;
    frameLoaded = loaded.costume->SelectFrame(frame);
}

void CostumeViewer::NextFrame() {
    if (!costumeLoaded) return;
    const uint32_t next = static_cast<uint32_t>(loaded.costume->currentFrame) + 1;
    if (next <= loaded.costume->FrameCount()) SelectFrame(static_cast<uint16_t>(next));
}

void CostumeViewer::PreviousFrame() {
    if (costumeLoaded && loaded.costume->currentFrame > 1) {
        SelectFrame(static_cast<uint16_t>(loaded.costume->currentFrame - 1));
    }
}
