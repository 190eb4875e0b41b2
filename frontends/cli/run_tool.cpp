// duzuroro-cli: the command line over the export library and the viewer's core. Parses the
// command line, runs one command, and turns the outcome into the exit status: 0 done, 1
// failed, 2 usage error. Every default shown in the help is the options record's own.
#include "frontends/cli/run_tool.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <map>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
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
     "         [--palette gpl|pal|act]... [--palette-only] [--jobs N] [--quiet]"},
    {"screen", "screen INDEX_FILE --costume N [--frame F] [--zoom] --out FILE"},
    {"gallery",
     "gallery INDEX_FILE --out DIR [--scale S] [--transparent K] [--fps F] [--jobs N] [--quiet]"},
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

// The words of a usage error about an option's value: the parser puts the option's name
// and ": " before them, which the tool's report turns into "--x takes ...".
std::string Takes(const std::string& what, const std::string& got) {
    return "takes " + what + ", not \"" + got + "\"";
}

// "png or gif", "row, column or grid".
std::string Alternatives(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text;
}

// One of a few words, any letter case, turned into its value for the parser to convert.
template <typename Value>
CLI::Validator Choices(const std::vector<std::pair<std::string, Value>>& choices) {
    std::vector<std::string> names;
    for (const auto& choice : choices) names.push_back(choice.first);
    return CLI::Validator(
        [=](std::string& text) {
            std::string lower = text;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (const auto& [name, value] : choices) {
                if (lower != name) continue;
                text = std::to_string(static_cast<int>(value));
                return std::string();
            }
            return Takes(Alternatives(names), text);
        },
        "", "choice");
}

// A whole number from range.lowest to range.highest, in decimal digits only.
CLI::Validator NumberCheck(NumberRange range) {
    return CLI::Validator(
        [=](std::string& text) {
            const std::string what = "a whole number from " + std::to_string(range.lowest) +
                                     " to " + std::to_string(range.highest);
            if (text.empty() || text.size() > 12 ||
                text.find_first_not_of("0123456789") != std::string::npos) {
                return Takes(what, text);
            }
            const int64_t value = std::stoll(text);
            return value < range.lowest || value > range.highest ? Takes(what, text)
                                                                 : std::string();
        },
        "", "number");
}

// A number option shown with its own value name and range instead of the parser's type.
template <typename Value>
CLI::Option* AddNumber(CLI::App* command, const std::string& name, Value& value,
                       const std::string& help, const char* valueName, NumberRange range) {
    return command->add_option(name, value, help)
        ->option_text(std::string(valueName) + " (" + std::to_string(range.lowest) + " to " +
                      std::to_string(range.highest) + ")")
        ->check(NumberCheck(range));
}

// "export" when a command was being given, "duzuroro-cli" when none was.
std::string CommandName(const CLI::App& app) {
    const auto given = app.get_subcommands();
    return given.empty() ? std::string("duzuroro-cli") : given.front()->get_name();
}

// A word the command does not take: an option it does not have, or one word too many.
std::string PlainExtraWords(const CLI::App& app, const std::string& text) {
    const std::string words = text.substr(text.find(": ") + 2);
    const std::string first = words.substr(0, words.find(' '));
    const std::string command = CommandName(app);
    if (first.size() > 1 && first[0] == '-') return command + " has no option " + first;
    return "\"" + first + "\" is one word too many for " + command;
}

// A missing command or positional, said as what is missing.
std::string PlainMissing(const CLI::App& app, const std::string& text) {
    if (text == "A subcommand is required") {
        return "say which command to run: info, export, screen, gallery, diff, thumbnail or "
               "make-demo";
    }
    constexpr std::string_view kIsRequired = " is required";
    const std::string what = text.substr(0, text.size() - kIsRequired.size());
    if (what == "INDEX_FILE") return CommandName(app) + " needs the game's index file (.LA0)";
    return CommandName(app) + " needs " + what;
}

// The parser's words for a usage error, made plain where they are not: an option's value
// said as "--x takes ..., not ..."; an option given twice said so; a word too many or one
// missing said as such.
std::string PlainUsageError(const CLI::App& app, const CLI::ParseError& error) {
    std::string text = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        return PlainExtraWords(app, text);
    }
    const bool positional = text.rfind("--", 0) != 0;
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && positional &&
        text.size() > 12 && text.compare(text.size() - 12, 12, " is required") == 0) {
        return PlainMissing(app, text);
    }
    const size_t takes = text.find(": takes ");
    if (takes != std::string::npos) return text.replace(takes, 2, " ");
    constexpr std::string_view kAtMost = ": At Most 1 required but received ";
    const size_t atMost = text.find(kAtMost);
    if (atMost != std::string::npos) {
        const std::string times = text.substr(atMost + kAtMost.size());
        return text.substr(0, atMost) + " may be given once, not " + times + " times";
    }
    return text;
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
    CLI::Option* fps = nullptr;
    bool quiet = false;
};

// "--fps" has an effect only on what has a frame rate; given without, it is refused.
bool FpsHasEffect(const ExportCommandLine& line) {
    return line.fps->count() == 0 || line.options.format == ImageFormat::Gif ||
           line.options.sheet;
}

// "1.5 MB", "234 KB", "120 bytes".
std::string SizeText(uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (bytes < 1024 * 1024) return std::to_string((bytes + 512) / 1024) + " KB";
    const uint64_t tenths = (bytes * 10 + 512 * 1024) / (1024 * 1024);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

std::string Counted(uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The closing line of a command that writes files: what it wrote, where, and how much it
// said on the way.
void PrintSummary(const ExportReport& report, const std::string& folder) {
    std::string line = report.filesWritten == 0
                           ? std::string("Wrote no files")
                           : "Wrote " + Counted(report.filesWritten, "file", "files") + " (" +
                                 SizeText(report.bytesWritten) + ")";
    std::string shown = folder.empty() ? "." : folder;
    if (shown.back() != '/' && shown.back() != '\\') shown += '/';
    line += " into " + shown;
    std::string said;
    if (report.errorsSaid > 0) said = Counted(report.errorsSaid, "error", "errors");
    if (report.notesSaid > 0) {
        said += (said.empty() ? "" : ", ") + Counted(report.notesSaid, "note", "notes");
    }
    PrintErr(line + (said.empty() ? "" : "; " + said) + ".\n");
}

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
    CLI::Option* sheet =
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
                                               {"grid", SheetArrangement::Grid}}))
        ->needs(sheet);
    AddNumber(command, "--padding", options.padding,
              "Pixels between the sheet's frames and around them" + Default(defaults.padding), "P",
              kPaddingRange)
        ->needs(sheet);
    command
        ->add_option_function<std::string>(
            "--sheet-json", [&options](const std::string& layout) {
                options.hashJson = layout == "1";
            },
            std::string("The sheet JSON's frames as an array") +
                TheDefault(false, defaults.hashJson) + " or an object keyed by name" +
                TheDefault(true, defaults.hashJson))
        ->option_text("array|hash")
        ->transform(Choices<int>({{"array", 0}, {"hash", 1}}))
        ->needs(sheet);
    line.fps = AddNumber(command, "--fps", options.fps,
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
            ->add_option("--palette", options.palettes,
                         "Also write each costume's palette: costume-NNNN.gpl, .pal or .act; "
                         "may be repeated, one file per format")
            ->option_text("gpl|pal|act")
            ->allow_extra_args(false)
            ->transform(Choices<PaletteFormat>({{"gpl", PaletteFormat::Gpl},
                                                {"pal", PaletteFormat::Pal},
                                                {"act", PaletteFormat::Act}}));
    command->add_flag("--palette-only", options.paletteOnly, "Write the palettes and no image")
        ->needs(palette);
    AddNumber(command, "--jobs", options.jobs, JobsHelp(defaults.jobs), "N", kJobsRange);
    command->add_flag("--quiet", line.quiet, "Leave out the progress line and the summary");
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
              "Enlarge every picture this many times, pixel by pixel (default: the page shows "
              "each costume as large as fits its card, up to " +
                  std::to_string(kGalleryMostScale) + " times)",
              "S", kScaleRange);
    AddNumber(galleryCommand, "--transparent", gallery.transparentIndex,
              "Make this palette index fully transparent, and fill with it", "K",
              kPaletteIndexRange);
    AddNumber(galleryCommand, "--fps", gallery.fps,
              "Frames per second: the GIFs' delay and the sheets' durations" +
                  Default(GalleryOptions{}.fps),
              "F", kFpsRange);
    AddNumber(galleryCommand, "--jobs", gallery.jobs, JobsHelp(GalleryOptions{}.jobs),
              "N", kJobsRange);
    bool galleryQuiet = false;
    galleryCommand->add_flag("--quiet", galleryQuiet,
                             "Leave out the progress line and the summary");

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
            PrintErr("Error: " + PlainUsageError(app, error) + "\n");
        }
        PrintUsage(app);
        return kUsageError;
    }
    if (exportCommand->parsed() && !FpsHasEffect(exports)) {
        PrintErr("Error: --fps requires --format gif or --sheet\n");
        PrintUsage(app);
        return kUsageError;
    }

    // The one report of the command: a failure that escapes it is said about what it was
    // doing then.
    ExportReport report = PrintingReport();
    const bool quiet = (exportCommand->parsed() && exports.quiet) ||
                       (galleryCommand->parsed() && galleryQuiet);
    if (quiet) report.onProgress = nullptr;
    try {
        if (screenCommand->parsed()) return RunScreen(screen);
        if (demoCommand->parsed()) return RunMakeDemo(demoDirectory);
        if (diffCommand->parsed()) return RunDiff(diff, report);
        bool done = false;
        if (infoCommand->parsed()) done = DescribeGame(info, PrintOut, report);
        if (exportCommand->parsed()) {
            AddAll(exports.costumes, kCostumeRange, &exports.options.costumes);
            AddAll(exports.frames, kFrameRange, &exports.options.frames);
            std::vector<PaletteFormat>& palettes = exports.options.palettes;
            std::sort(palettes.begin(), palettes.end());
            palettes.erase(std::unique(palettes.begin(), palettes.end()), palettes.end());
            done = ExportCostumes(exports.options, report);
            ClearProgress();
            if (!quiet) PrintSummary(report, exports.options.outDirectory);
        }
        if (galleryCommand->parsed()) {
            done = WriteGallery(gallery, report);
            ClearProgress();
            if (!quiet) PrintSummary(report, gallery.outDirectory);
        }
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
