// screen: the picture the viewer's window shows after a few key presses, made by the same
// shell, viewer and screen code as the desktop program, through the headless front-end.
#include <filesystem>

#include "app/process_objects.h"
#include "app/shell.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"
#include "frontends/cli/cli_output.h"
#include "frontends/cli/png_writer.h"
#include "frontends/headless/headless_frontend.h"

namespace {

// Presses the keys that bring the asked frame on the screen; false, with the reason
// reported, when it cannot be reached.
bool ShowAskedFrame(const ScreenOptions& options) {
    const uint32_t count = g_viewer->CostumeCount();
    if (options.costume >= count) {
        // Opening a game with no costume to show has already said so.
        if (count > 1) ReportFailure("Costume out of range.");
        return false;
    }
    // The viewer goes to the costume and frame at once, as the up and right arrows would
    // have brought it there, without loading and drawing every costume on the way (a game
    // may hold 65,535). The zoom key then draws it through the shell, as every key does.
    if (options.costume != 1) g_viewer->SelectCostume(options.costume);
    if (options.frame != 1) {
        if (!g_viewer->costumeLoaded || options.frame > g_viewer->loaded.costume->FrameCount()) {
            ReportFailure("Frame out of range.");
            return false;
        }
        g_viewer->SelectFrame(options.frame);
    }
    HeadlessPressKey(options.zoom ? KEY_ADD : KEY_SUBTRACT);
    return true;
}

bool WriteScreen(const ScreenOptions& options) {
    const std::filesystem::path path = options.outFile;
    if (IsGameFile(*g_viewer->archive, path)) {
        ReportFailure("Refusing to write over a game file: " + path.string());
        return false;
    }
    const std::vector<uint8_t> rgb = HeadlessPictureRgb();
    const PngPicture picture{Screen::kWidth, Screen::kHeight, rgb.data(), nullptr, {}};
    std::string error;
    if (WritePng(path, picture, &error)) return true;
    ReportFailure("Cannot write " + path.string() + ": " + error);
    return false;
}

}  // namespace

int RunScreen(const ScreenOptions& options) {
    bool opened = false;
    if (HeadlessStart()) {
        HeadlessOpen(AbsolutePath(options.indexFile));
        opened = g_viewer != nullptr;
        if (opened && ShowAskedFrame(options)) WriteScreen(options);
    }
    HeadlessStop();
    EmitErrors();
    return AnyErrorEmitted() || !opened ? 1 : 0;
}
