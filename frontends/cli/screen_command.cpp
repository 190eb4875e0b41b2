// screen: the picture the viewer's window shows, made by the same shell, viewer and screen
// code as the desktop program: the tool opens the game through File > Open and goes to the
// frame asked for through the shell, as a window's keys would.
#include "app/shell.h"
#include "display/screen.h"
#include "export/export_game.h"
#include "export/output_file.h"
#include "export/output_file_system.h"
#include "export/png_writer.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_frontend.h"
#include "frontends/cli/cli_output.h"

namespace {

// The session's errors are said once it is over, about what was asked when it stopped.
struct ScreenSession {
    const ScreenOptions& options;
    std::vector<std::string> errors;
    ExportReport collector;
    std::string subject;

    explicit ScreenSession(const ScreenOptions& asked) : options(asked) {
        collector.onMessage = [this](const ExportMessage& message) {
            errors.push_back(message.text);
        };
        subject = options.indexFile;
    }

    // Goes to the asked frame; false, with the reason reported, when it cannot be shown.
    bool ShowAskedFrame(const ShowFrameRequest& shown, size_t openErrors) {
        const uint32_t costume = options.costume;
        if (costume >= shown.costumeCount) return false;  // the viewer said so
        // What the first costume said on opening is not what was asked about.
        if (costume != 1) errors.erase(errors.begin(), errors.begin() + static_cast<std::ptrdiff_t>(openErrors));
        if (!shown.costumeLoaded) {
            // The window says so on its status line, and that is the picture; but the costume
            // asked for is not shown, as export would say.
            const bool notPresent = errors.empty();
            if (notPresent) errors.push_back(NotPresentText(costume).text);
            return notPresent && options.frame == 1;
        }
        subject = FrameSubject(costume, options.frame);
        return options.frame <= shown.frameCount;  // past the end the viewer said so
    }

    void WritePicture() {
        ExportGame game;  // for the names the picture must not take from the game
        if (!game.Open(options.indexFile, collector)) return;
        const std::vector<uint8_t> rgb = WindowPictureRgb();
        const PngPicture picture{Screen::kWidth, Screen::kHeight, nullptr, {}, [&rgb](uint32_t y) {
                                     return rgb.data() + size_t{y} * Screen::kWidth * 3;
                                 }};
        WriteOutputFile(
            *game.archive, options.outFile, false,
            [&](std::FILE* file, std::string* error) { return WritePng(file, picture, error); },
            collector);
    }

    // True when the picture was written and nothing failed.
    bool Run() {
        const CurrentReportScope current(collector);
        if (!ShellStart()) {
            ShellStop();
            return false;
        }
        AnswerNextOpenDialog(AbsolutePath(options.indexFile));
        ShellHandleMessage(MSG_COMMAND, CMD_OPEN, 0);
        const size_t openErrors = errors.size();
        ShowFrameRequest request;
        request.costume = options.costume;
        request.frame = options.frame;
        request.zoom = options.zoom;
        ShellHandleMessage(MSG_SHOW_FRAME, 0, reinterpret_cast<intptr_t>(&request));
        if (request.gameOpen) {
            subject = CostumeSubject(options.costume);
            if (ShowAskedFrame(request, openErrors)) WritePicture();
        }
        ShellStop();
        return request.gameOpen;
    }
};

}  // namespace

int RunScreen(const ScreenOptions& options) {
    ScreenSession session(options);
    const bool opened = session.Run();
    ExportReport printer = PrintingReport();
    printer.subject = session.subject;
    for (const std::string& error : session.errors) printer.Error(error);
    return printer.failed || !opened ? 1 : 0;
}
