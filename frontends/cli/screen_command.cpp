// screen: the picture the viewer's window shows after a few key presses, made by the same
// shell, viewer and screen code as the desktop program, through the headless front-end.
#include <filesystem>

#include "app/process_objects.h"
#include "app/shell.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_game.h"
#include "frontends/cli/cli_output.h"
#include "frontends/cli/output_file.h"
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
    // may hold 65,535). The zoom key then draws it and paints it through the shell, as
    // every key does.
    const uint32_t zoomKey = options.zoom ? KEY_ADD : KEY_SUBTRACT;
    if (options.costume != 1) {
        // What the first costume said on opening is not what was asked about.
        g_headless.TakeErrors();
        g_viewer->SelectCostume(options.costume);
    }
    HeadlessPressKey(zoomKey);
    if (!g_viewer->costumeLoaded) {
        // The window says so on its status line, and that is the picture; but the costume
        // asked for is not shown, as export would say.
        const bool notPresent = g_headless.errors.empty();
        if (notPresent) ReportFailure(NotPresentMessage(options.costume));
        return notPresent && options.frame == 1;
    }
    if (options.frame > g_viewer->loaded.costume->FrameCount()) {
        SetSubject(FrameSubject(options.costume, options.frame));
        ReportFailure("Frame out of range.");
        return false;
    }
    if (options.frame != 1) {
        g_viewer->SelectFrame(options.frame);
        HeadlessPressKey(zoomKey);
    }
    SetSubject(FrameSubject(options.costume, options.frame));
    return true;
}

bool WriteScreen(const ScreenOptions& options) {
    const std::vector<uint8_t> rgb = HeadlessPictureRgb();
    const PngPicture picture{Screen::kWidth, Screen::kHeight, nullptr, {}, [&rgb](uint32_t y) {
                                 return rgb.data() + size_t{y} * Screen::kWidth * 3;
                             }};
    return WriteOutputFile(*g_viewer->archive, options.outFile, false,
                           [&](std::FILE* file, std::string* error) {
                               return WritePng(file, picture, error);
                           });
}

}  // namespace

int RunScreen(const ScreenOptions& options) {
    bool opened = false;
    SetSubject(options.indexFile);
    if (HeadlessStart()) {
        HeadlessOpen(AbsolutePath(options.indexFile));
        opened = g_viewer != nullptr;
        if (opened) {
            SetSubject(CostumeSubject(options.costume));
            if (ShowAskedFrame(options)) WriteScreen(options);
        }
    }
    HeadlessStop();
    EmitErrors();
    return AnyErrorEmitted() || !opened ? 1 : 0;
}
