// duzuroro-cli: the command line over the export library and the viewer's core. Parses the
// command line, runs one command, and turns the outcome into the exit status: 0 done, 1
// failed, 2 usage error. Every default shown in the help is the options record's own.
#include "frontends/cli/run_tool.h"

#include <CLI/CLI.hpp>
#include <map>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/thumbnail.h"
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_output.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kUsageError = 2;

// The same for both commands: what --jobs does, and its default on this machine.
std::string JobsHelp(uint32_t defaultJobs) {
    return "Costumes written at once, one by each worker; the files and messages are the same "
           "for every N (default: the number of cores, " +
           std::to_string(defaultJobs) + " here)";
}

struct Usage {
    const char* command;
    const char* synopsis;
};

constexpr Usage kUsages[] = {
    {"info", "info INDEX_FILE [--json [--hashes]]"},
    {"export",
     "export INDEX_FILE [--costume N|A-B,...]... [--frame F|A-B,...]... [--out DIR]\n"
     "         [--format png|gif] [--sheet [--layout row|column|grid] [--padding P]\n"
     "         [--sheet-json array|hash]] [--fps F] [--scale S] [--transparent K]\n"
     "         [--palette gpl|pal|act [--palette-only]] [--jobs N]"},
    {"screen", "screen INDEX_FILE --costume N [--frame F] [--zoom] --out FILE"},
    {"gallery", "gallery INDEX_FILE --out DIR [--scale S] [--transparent K] [--jobs N]"},
    {"diff", "diff A_INDEX B_INDEX [--json] [--out DIR [--scale S]]"},
    {"thumbnail", "thumbnail INDEX_FILE OUT_PNG [--size N]"},
    {"make-demo", "make-demo DIR"},
};

// The short usage text after a usage error: the synopsis of the command that was being
// given, or of them all.
void PrintUsage(const CLI::App& app) {
    const auto given = app.get_subcommands();
    std::string text = "Usage:\n";
    for (const Usage& usage : kUsages) {
        if (given.empty() || given.front()->get_name() == usage.command) {
            text += std::string("  duzuroro-cli ") + usage.synopsis + "\n";
        }
    }
    const std::string helpOf = given.empty() ? "" : given.front()->get_name() + " ";
    PrintErr(text + "Run 'duzuroro-cli " + helpOf + "--help' for more.\n");
}

// "(default: 10)": a number option's default, as the options record holds it.
std::string Default(uint32_t value) {
    return " (default: " + std::to_string(value) + ")";
}

// " (the default)" after the choice that the options record holds.
template <typename Value>
const char* TheDefault(Value choice, Value defaultValue) {
    return choice == defaultValue ? " (the default)" : "";
}

// Accepts a number, a range A-B or a comma list of both, each from `lowest` to `highest`.
CLI::Validator SelectionCheck(NumberRange range) {
    return CLI::Validator(
        [=](std::string& text) {
            Selection unused;
            std::string error;
            return unused.Add(text, static_cast<uint32_t>(range.lowest),
                              static_cast<uint32_t>(range.highest), &error)
                       ? std::string()
                       : error;
        },
        "", "selection");
}

void AddAll(const std::vector<std::string>& texts, NumberRange range, Selection* selection) {
    std::string unused;
    for (const std::string& text : texts) {
        selection->Add(text, static_cast<uint32_t>(range.lowest),
                       static_cast<uint32_t>(range.highest), &unused);
    }
}

template <typename Value>
CLI::CheckedTransformer Choices(const std::map<std::string, Value>& choices) {
    return CLI::CheckedTransformer(choices, CLI::ignore_case);
}

// A number option shown with its own value name and range instead of the parser's type.
template <typename Value>
CLI::Option* AddNumber(CLI::App* command, const std::string& name, Value& value,
                       const std::string& help, const char* valueName, NumberRange range) {
    return command->add_option(name, value, help)
        ->option_text(std::string(valueName) + " (" + std::to_string(range.lowest) + " to " +
                      std::to_string(range.highest) + ")")
        ->check(CLI::Range(range.lowest, range.highest));
}

// The game's index file, the one positional of every command that reads a game.
void AddIndexFile(CLI::App* command, std::string& indexFile) {
    command->add_option("INDEX_FILE", indexFile, "The game's index file (.LA0)")
        ->option_text(" ")
        ->required();
}

struct ExportCommandLine {
    ExportOptions options;
    std::vector<std::string> costumes, frames;
};

CLI::App* AddExportCommand(CLI::App& app, ExportCommandLine& line) {
    ExportOptions& options = line.options;
    const ExportOptions defaults;
    CLI::App* command = app.add_subcommand(
        "export",
        "Writes costumes as 8-bit indexed PNG frames, engine-ready sprite sheets with their "
        "JSON, animated GIFs and palette files.");
    AddIndexFile(command, options.indexFile);
    command
        ->add_option("--costume", line.costumes,
                     "Costumes to export: a number, a range A-B or a comma list of both; may "
                     "be repeated (default: every costume)")
        ->option_text("N|A-B,...")
        ->check(SelectionCheck(kCostumeRange))
        ->allow_extra_args(false);
    command
        ->add_option("--frame", line.frames,
                     "Frames of each costume (from 1), as --costume takes them (default: every "
                     "frame)")
        ->option_text("F|A-B,...")
        ->check(SelectionCheck(kFrameRange))
        ->allow_extra_args(false);
    command
        ->add_option("--out", options.outDirectory,
                     "The folder to write into, created when something is written (default: " +
                         defaults.outDirectory + ")")
        ->option_text("DIR");
    command
        ->add_option("--format", options.format,
                     std::string("png: one PNG per frame") +
                         TheDefault(ImageFormat::Png, defaults.format) +
                         "; gif: one animated GIF per costume" +
                         TheDefault(ImageFormat::Gif, defaults.format))
        ->option_text("png|gif")
        ->transform(Choices<ImageFormat>({{"png", ImageFormat::Png}, {"gif", ImageFormat::Gif}}));
    command->add_flag("--sheet", options.sheet,
                      "One sprite sheet PNG per costume with its JSON, instead of PNG frames");
    command
        ->add_option("--layout", options.layout,
                     std::string("The sheet's frames in one row") +
                         TheDefault(SheetArrangement::Row, defaults.layout) + ", one column" +
                         TheDefault(SheetArrangement::Column, defaults.layout) + ", or a grid" +
                         TheDefault(SheetArrangement::Grid, defaults.layout))
        ->option_text("row|column|grid")
        ->transform(Choices<SheetArrangement>({{"row", SheetArrangement::Row},
                                               {"column", SheetArrangement::Column},
                                               {"grid", SheetArrangement::Grid}}));
    AddNumber(command, "--padding", options.padding,
              "Pixels between the sheet's frames and around them" + Default(defaults.padding), "P",
              kPaddingRange);
    command
        ->add_option_function<std::string>(
            "--sheet-json", [&options](const std::string& layout) {
                options.hashJson = layout == "hash";
            },
            std::string("The sheet JSON's frames as an array") +
                TheDefault(false, defaults.hashJson) + " or an object keyed by name" +
                TheDefault(true, defaults.hashJson))
        ->option_text("array|hash")
        ->check(CLI::IsMember({"array", "hash"}));
    AddNumber(command, "--fps", options.fps,
              "Frames per second: the GIF's delay and the sheet's durations" +
                  Default(defaults.fps),
              "F", kFpsRange);
    AddNumber(command, "--scale", options.scale,
              "Enlarge every image this many times, pixel by pixel" + Default(defaults.scale), "S",
              kScaleRange);
    AddNumber(command, "--transparent", options.transparentIndex,
              "Make this palette index fully transparent, and fill with it", "K",
              kPaletteIndexRange);
    CLI::Option* palette =
        command
            ->add_option("--palette", options.palette,
                         "Also write each costume's palette: costume-NNNN.gpl, .pal or .act")
            ->option_text("gpl|pal|act")
            ->transform(Choices<PaletteFormat>({{"gpl", PaletteFormat::Gpl},
                                                {"pal", PaletteFormat::Pal},
                                                {"act", PaletteFormat::Act}}));
    command->add_flag("--palette-only", options.paletteOnly, "Write the palettes and no image")
        ->needs(palette);
    AddNumber(command, "--jobs", options.jobs, JobsHelp(defaults.jobs), "N", kJobsRange);
    return command;
}

// Every picture written makes zlib take about 256 KB and give it back. By default the C
// library returns that to the system each time and the next picture faults it in again,
// which cost an export of small frames a fifth of its time; keeping freed memory for reuse
// spends nothing that is not used again at once.
void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
#endif
}

}  // namespace

int RunTool(int argc, char** argv) {
    KeepFreedMemoryForReuse();

    CLI::App app{"Lists, exports and renders the costumes in the files of SCUMM-engine games.",
                 "duzuroro-cli"};
    app.set_version_flag("--version", "duzuroro-cli " DUZURORO_VERSION "\n" DUZURORO_LICENCE);
    // "/x" is a path, never an option, on Windows too: the same command line means the same.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);

    InfoOptions info;
    CLI::App* infoCommand =
        app.add_subcommand("info", "Lists the game's files and each costume with its frames.");
    AddIndexFile(infoCommand, info.indexFile);
    CLI::Option* infoJson =
        infoCommand->add_flag("--json", info.json, "Print one JSON object instead of text");
    infoCommand
        ->add_flag("--hashes", info.hashes,
                   "Add a SHA-256 of each frame's decoded pixels and of each costume's palette")
        ->needs(infoJson);

    ExportCommandLine exports;
    CLI::App* exportCommand = AddExportCommand(app, exports);

    ScreenOptions screen;
    CLI::App* screenCommand = app.add_subcommand(
        "screen", "Writes the 640x480 picture the viewer's window shows, as an RGB PNG.");
    AddIndexFile(screenCommand, screen.indexFile);
    AddNumber(screenCommand, "--costume", screen.costume, "The costume shown", "N", kCostumeRange)
        ->required();
    AddNumber(screenCommand, "--frame", screen.frame,
              "The frame shown" + Default(ScreenOptions{}.frame), "F", kFrameRange);
    screenCommand->add_flag("--zoom", screen.zoom, "Zoom in first, as keypad plus does");
    screenCommand->add_option("--out", screen.outFile, "The PNG file to write")
        ->option_text("FILE")
        ->required();

    GalleryOptions gallery;
    CLI::App* galleryCommand = app.add_subcommand(
        "gallery",
        "Writes a web page of every costume into a folder, with each costume's animated GIF, "
        "sprite sheet, sheet JSON and palette files; it opens from the disk, without a server.");
    AddIndexFile(galleryCommand, gallery.indexFile);
    galleryCommand
        ->add_option("--out", gallery.outDirectory,
                     "The folder to write index.html and the costumes' files into, created "
                     "when missing")
        ->option_text("DIR")
        ->required();
    AddNumber(galleryCommand, "--scale", gallery.scale,
              "Enlarge every picture this many times, pixel by pixel" +
                  Default(GalleryOptions{}.scale),
              "S", kScaleRange);
    AddNumber(galleryCommand, "--transparent", gallery.transparentIndex,
              "Make this palette index fully transparent, and fill with it", "K",
              kPaletteIndexRange);
    AddNumber(galleryCommand, "--jobs", gallery.jobs, JobsHelp(GalleryOptions{}.jobs),
              "N", kJobsRange);

    DiffOptions diff;
    CLI::App* diffCommand = app.add_subcommand(
        "diff",
        "Compares two releases of a game costume by costume. Exit status as diff's: 0 the "
        "same, 1 different, 2 trouble.");
    diffCommand->add_option("A_INDEX", diff.indexFileA, "The first game's index file")
        ->option_text(" ")
        ->required();
    diffCommand->add_option("B_INDEX", diff.indexFileB, "The second game's index file")
        ->option_text(" ")
        ->required();
    diffCommand->add_flag("--json", diff.json, "Print one JSON object instead of text");
    CLI::Option* diffOut =
        diffCommand
            ->add_option("--out", diff.outDirectory,
                         "Also write a page of the differences, with pictures, into this folder")
            ->option_text("DIR");
    AddNumber(diffCommand, "--scale", diff.scale,
              "Enlarge the page's pictures this many times" + Default(DiffOptions{}.scale), "S",
              kScaleRange)
        ->needs(diffOut);

    ThumbnailOptions thumbnail;
    CLI::App* thumbnailCommand = app.add_subcommand(
        "thumbnail",
        "Writes the first frame of the game's first costume as an N x N RGBA PNG, for a file "
        "manager's thumbnails. Exit status 1, and no file, when no costume has one.");
    AddIndexFile(thumbnailCommand, thumbnail.indexFile);
    thumbnailCommand->add_option("OUT_PNG", thumbnail.outFile, "The PNG file to write")
        ->option_text(" ")
        ->required();
    AddNumber(thumbnailCommand, "--size", thumbnail.size,
              "The thumbnail's width and height" + Default(ThumbnailOptions{}.size), "N",
              kThumbnailSizeRange);

    std::string demoDirectory;
    CLI::App* demoCommand = app.add_subcommand(
        "make-demo", "Writes a demo game (DEMO.LA0 and its disk files) into a folder.");
    demoCommand->add_option("DIR", demoDirectory, "The folder, created when missing")
        ->option_text(" ")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {  // --help, --version
            std::ostringstream out, err;
            const int status = app.exit(error, out, err);
            PrintOut(out.str());
            PrintErr(err.str());
            return status;
        }
        // A word that names no command is reported as such, not as a missing command.
        if (app.get_subcommands().empty() && argc > 1 && argv[1][0] != '-') {
            PrintErr(std::string("Error: Unknown command: ") + argv[1] + "\n");
        } else {
            PrintErr(std::string("Error: ") + error.what() + "\n");
        }
        PrintUsage(app);
        return kUsageError;
    }

    // The one report of the command: a failure that escapes it is said about what it was
    // doing then.
    ExportReport report = PrintingReport();
    try {
        if (screenCommand->parsed()) return RunScreen(screen);
        if (demoCommand->parsed()) return RunMakeDemo(demoDirectory);
        if (diffCommand->parsed()) return RunDiff(diff, report);
        bool done = false;
        if (infoCommand->parsed()) done = DescribeGame(info, PrintOut, report);
        if (exportCommand->parsed()) {
            AddAll(exports.costumes, kCostumeRange, &exports.options.costumes);
            AddAll(exports.frames, kFrameRange, &exports.options.frames);
            done = ExportCostumes(exports.options, report);
        }
        if (galleryCommand->parsed()) done = WriteGallery(gallery, report);
        if (thumbnailCommand->parsed()) done = WriteThumbnail(thumbnail, report);
        ClearProgress();
        return done ? 0 : 1;
    } catch (const std::bad_alloc&) {
        // Anything the tool itself allocates (a listing line, a file name) ends here.
        report.Error("Out of memory.");
    } catch (const std::length_error&) {
        report.Error("Out of memory.");
    }
    ClearProgress();
    return diffCommand->parsed() ? 2 : 1;  // diff's trouble is 2, as diff(1)'s
}
