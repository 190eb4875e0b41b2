#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include "app/frontend.h"

namespace {

int g_messages = 0;
const char* g_lastMessage = "";

std::filesystem::path MakeScratchFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error) || access(base.c_str(), W_OK) != 0) {
        base = std::filesystem::temp_directory_path();
    }
    std::string pattern = (base / "duzuroro-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

void RemoveScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(ScratchFolder(), error);
}

}  // namespace

// The front-end functions the core calls: nothing is shown and no dialog is ever answered.
void FrontendShowError(const char* text) {
    ++g_messages;
    g_lastMessage = text;  // the core's messages are string literals
}
bool FrontendChooseIndexFile(ChosenFile*) {
    return false;
}
void FrontendRepaint(const ScreenRect&) {}
void FrontendDestroyWindow() {}
void FrontendQuit(int) {}

int TakeMessageCount() {
    const int count = g_messages;
    g_messages = 0;
    return count;
}

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "Broken promise: %s (last message: \"%s\")\n", what, g_lastMessage);
    std::abort();
}

void RequireOneMessageOnFailure(bool succeeded, const char* operation) {
    const int said = TakeMessageCount();
    if (succeeded && said != 0) {
        std::fprintf(stderr, "%s succeeded but said %d thing(s)\n", operation, said);
        Require(false, "a success says nothing");
    }
    if (!succeeded && said != 1) {
        std::fprintf(stderr, "%s failed and said %d thing(s)\n", operation, said);
        Require(false, "a failure says exactly one thing");
    }
}

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path made = MakeScratchFolder();
        std::atexit(RemoveScratchFolder);
        return made;
    }();
    return folder;
}

const std::string& ScratchFolderName() {
    static const std::string name = ScratchFolder().string() + "/";
    return name;
}

void WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolderName() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "the scratch file opens");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "the scratch file is written");
    Require(std::fclose(file) == 0, "the scratch file is closed");
}

void RemoveScratchFile(const std::string& name) {
    std::remove((ScratchFolderName() + name).c_str());
}

void DrawEveryFrame(CostumeViewer& viewer, Screen& screen, DrawBudget& budget) {
    if (!viewer.costumeLoaded) return;
    const uint16_t frames = viewer.loaded.costume->FrameCount();
    for (uint32_t frame = 1; frame <= frames; ++frame) {
        viewer.SelectFrame(static_cast<uint16_t>(frame));
        RequireOneMessageOnFailure(viewer.frameLoaded, "Selecting a frame");
        if (!viewer.frameLoaded) continue;
        const Costume& costume = *viewer.loaded.costume;
        const size_t pixels = size_t{costume.FrameWidth()} * costume.FrameHeight();
        // A frame without pixels, or one too large to draw here, still costs its selection.
        const size_t cost = pixels == 0 || pixels > budget.maxFramePixels ? 1 : pixels;
        if (cost > budget.pixelsLeft) return;
        budget.pixelsLeft -= cost;
        if (pixels > budget.maxFramePixels) continue;
        if (budget.screenDrawsLeft > 0) {
            // The screen is slow to fill, so only the first frames go there, zoomed: the
            // way of drawing that does the most with the frame.
            --budget.screenDrawsLeft;
            viewer.zoom = true;
            viewer.Draw(screen);
            Require(TakeMessageCount() <= 1, "a draw says at most one thing");
        } else {
            IndexedImage image;
            const bool rendered = costume.Render(&image, 0, 0);
            RequireOneMessageOnFailure(rendered, "Rendering a frame");
        }
    }
}
