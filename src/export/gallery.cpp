// gallery: a static site of every costume, written costume by costume into one folder: each
// costume's animated GIF, sheet with its JSON and palette files as `export` writes them, and
// an index.html that shows them with what `info` says. The page needs no server, no network
// and no script, so that it opens from a disk, a zip or a phone as it is.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "costume/costume_palette.h"
#include "export/costume_export.h"
#include "export/costume_workers.h"
#include "export/export_job.h"
#include "export/html_text.h"
#include "export/output_file.h"
#include "export/output_names.h"

namespace {

// Kept small and in the page itself: nothing is fetched. The cards flow into as many columns
// as the screen holds, one on a phone; pictures keep their pixels square and sharp.
constexpr std::string_view kStyle = R"(
:root { color-scheme: light dark; --card: #f4f4f6; --line: #c8c8d0; }
@media (prefers-color-scheme: dark) { :root { --card: #24242a; --line: #45454f; } }
body { font: 15px/1.4 system-ui, sans-serif; margin: 0 auto; padding: 1rem; max-width: 90rem; }
h1 { font-size: 1.4rem; margin: 0 0 .25rem; overflow-wrap: anywhere; }
header p { margin: .2rem 0; overflow-wrap: anywhere; }
main { display: grid; gap: 1rem; margin-top: 1rem;
       grid-template-columns: repeat(auto-fill, minmax(min(100%, 19rem), 1fr)); }
article { background: var(--card); border: 1px solid var(--line); border-radius: .5rem;
          padding: .75rem; min-width: 0; }
h2 { font-size: 1.1rem; margin: 0 0 .5rem; }
figure { margin: 0 0 .5rem; padding: .5rem; text-align: center; overflow: auto;
         background: repeating-conic-gradient(#ccc 0 25%, #fff 0 50%) 0 0 / 16px 16px; }
figure img { max-width: 100%; height: auto; image-rendering: pixelated; vertical-align: top; }
dl { display: grid; grid-template-columns: auto 1fr; gap: .1rem .75rem; margin: 0 0 .5rem; }
dt { font-weight: 600; }
dd { margin: 0; overflow-wrap: anywhere; }
.swatch { display: flex; flex-wrap: wrap; gap: 1px; margin: 0 0 .5rem; }
.swatch span { width: 14px; height: 14px; outline: 1px solid var(--line); }
.files a { display: inline-block; margin: 0 .75rem .25rem 0; }
.message { font-weight: 600; }
nav { margin-top: .5rem; line-height: 1.8; }
nav a { display: inline-block; min-width: 2.2em; text-align: center; margin-right: .25rem; }
ul { margin: .25rem 0 0; padding-left: 1.2rem; font-size: .9rem; }
)";

// A forged costume may claim 65,535 frames, each with a message: past this many, a card says
// how many more there are instead of growing into a page no browser can show.
constexpr uint32_t kListedPerCostume = 256;

const std::vector<PaletteFormat> kPaletteFormats = {PaletteFormat::Gpl, PaletteFormat::Pal,
                                                    PaletteFormat::Act};

// The links under a costume: each file's name after the costume's, and what it is.
struct FileLink {
    const char* suffix;
    const char* label;
};
constexpr FileLink kFileLinks[] = {
    {"-sheet.png", "Sheet PNG"}, {"-sheet.json", "Sheet JSON"}, {".gpl", "GIMP palette"},
    {".pal", "JASC palette"},    {".act", "ACT palette"},
};

std::string HexColour(const uint8_t* rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
    return text;
}

// What the page says about one costume, gathered while its files are written.
struct CostumeCard {
    uint32_t number = 0;
    std::string status;                // as `info --json` says it
    std::string message;               // why a costume not loaded shows no pictures
    std::vector<std::string> said;     // what the command printed about it
    std::vector<std::string> written;  // the files export wrote for it
    bool Wrote(const std::string& name) const {
        return std::find(written.begin(), written.end(), name) != written.end();
    }
};

// The page's text, made a part at a time: its head, each costume's card (by the worker that
// writes the costume) and its foot.
struct GalleryPage {
    const GalleryOptions& options;
    std::string text;

    void Put(std::string_view part) { text.append(part); }
    void Field(std::string_view name, std::string_view value) {
        Put("<dt>");
        Put(name);
        Put("</dt><dd>");
        Put(value);
        Put("</dd>");
    }

    void Begin(const ExportGame& game) {
        const std::string title = "Costumes of " + EscapedHtml(game.baseName);
        const uint32_t count = game.CostumeCount();
        const uint32_t listed = count > 0 ? count - 1 : 0;
        Put("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>");
        Put(title);
        Put("</title>\n<style>");
        Put(kStyle);
        Put("</style>\n</head>\n<body>\n<header>\n<h1>");
        Put(title);
        Put("</h1>\n<p>Index file: ");
        Put(EscapedHtml(options.indexFile));
        const std::string scale =
            options.scale == 0
                ? "pictures shown as large as fits, up to " + std::to_string(kGalleryMostScale) +
                      "&times;"
                : "pictures at " + std::to_string(options.scale) + "&times;";
        Put("</p>\n<p>" + std::to_string(listed) + (listed == 1 ? " costume" : " costumes") +
            " from 1 on (costume 0 is not browsed); " + scale + ".");
        if (options.transparentIndex) {
            Put(" Palette index " + std::to_string(*options.transparentIndex) + " is transparent.");
        }
        Put(" Made by duzuroro-cli " DUZURORO_VERSION ".</p>\n");
        Contents(count);
        Put("</header>\n<main>\n");
    }

    // A link to each card, so that a game of hundreds of costumes need not be scrolled.
    void Contents(uint32_t count) {
        if (count <= 1) return;
        Put("<nav aria-label=\"Costumes\">");
        for (uint32_t number = 1; number < count; ++number) {
            const std::string shown = std::to_string(number);
            Put("<a href=\"#costume-" + shown + "\">" + shown + "</a>");
        }
        Put("</nav>\n");
    }

    void Card(const CostumeCard& card, const ExportGame& game, Costume* costume,
              ExportReport& report) {
        const std::string name = CostumeName(card.number);
        const std::string number = std::to_string(card.number);
        Put("<article id=\"costume-" + number + "\" data-status=\"" + card.status +
            "\">\n<h2>Costume " + number + "</h2>\n");
        FrameSummary frames;
        if (costume != nullptr) frames = SummariseFrames(*costume, report);
        if (card.Wrote(name + ".gif")) {
            Put("<figure><img src=\"" + name + ".gif\" alt=\"Costume " + number + ", animated\"" +
                ShownSize(frames, options) + "></figure>\n");
        }
        Put("<dl>");
        Field("Room", std::to_string(game.RoomOf(card.number)));
        const auto disk = game.DiskOf(card.number);
        Field("Disk", disk ? std::to_string(*disk) : "none");
        Field("Status", card.status);
        if (costume != nullptr) {
            Field("Codec", std::to_string(costume->Codec()));
            Field("Colours", std::to_string(costume->colourCount));
            Field("Frames", frames.text);
        }
        Put("</dl>\n");
        if (!card.message.empty()) {
            Put("<p class=\"message\">" + EscapedHtml(card.message) + "</p>\n");
        }
        if (costume != nullptr) Swatch(*costume);
        Links(card, name);
        if (!card.said.empty()) {
            Put("<ul class=\"said\">");
            const size_t listed = std::min<size_t>(card.said.size(), kListedPerCostume);
            for (size_t line = 0; line < listed; ++line) {
                Put("<li>" + EscapedHtml(card.said[line]) + "</li>");
            }
            if (listed < card.said.size()) {
                Put("<li>And " + std::to_string(card.said.size() - listed) + " more.</li>");
            }
            Put("</ul>\n");
        }
        Put("</article>\n");
    }

    // The frames' sizes, collapsed: "8 frames, 64&times;96" when all are alike, otherwise
    // each size with how many frames have it; a frame that cannot be read shows its message.
    // Also the largest frame, which is the size of the costume's GIF.
    struct FrameSummary {
        std::string text = "none";
        uint32_t width = 0;
        uint32_t height = 0;
    };

    static FrameSummary SummariseFrames(Costume& costume, ExportReport& report) {
        FrameSummary summary;
        struct SizeCount {
            uint16_t width, height;
            uint32_t count;
        };
        std::vector<SizeCount> sizes;
        std::vector<std::string> failures;
        const uint32_t count = costume.FrameCount();
        const uint32_t listed = std::min<uint32_t>(count, kListedPerCostume);
        for (uint32_t frame = 1; frame <= listed; ++frame) {
            // Export has said the message already, with the frame as its subject.
            std::vector<std::string> heard;
            report.heard = &heard;
            report.quiet = true;
            const bool selected = costume.SelectFrame(static_cast<uint16_t>(frame));
            report.quiet = false;
            report.heard = nullptr;
            if (!selected) {
                failures.push_back("[" + EscapedHtml(JoinMessages(heard)) + "]");
                continue;
            }
            const uint16_t width = costume.FrameWidth(), height = costume.FrameHeight();
            if (uint32_t{width} * height > 0) {
                summary.width = std::max<uint32_t>(summary.width, width);
                summary.height = std::max<uint32_t>(summary.height, height);
            }
            auto same = std::find_if(sizes.begin(), sizes.end(), [&](const SizeCount& size) {
                return size.width == width && size.height == height;
            });
            if (same == sizes.end()) {
                sizes.push_back({width, height, 1});
            } else {
                ++same->count;
            }
        }
        if (count == 0) return summary;
        summary.text = std::to_string(count) + (count == 1 ? " frame" : " frames");
        const bool alike = sizes.size() == 1 && failures.empty() && listed == count;
        std::vector<std::string> parts;
        for (const SizeCount& size : sizes) {
            std::string part = std::to_string(size.width) + "&times;" + std::to_string(size.height);
            if (!alike) part += " (" + std::to_string(size.count) + ")";
            parts.push_back(part);
        }
        parts.insert(parts.end(), failures.begin(), failures.end());
        if (listed < count) parts.push_back("and " + std::to_string(count - listed) + " more");
        for (size_t i = 0; i < parts.size(); ++i) {
            summary.text += (i == 0 ? (alike ? ", " : ": ") : ", ") + parts[i];
        }
        return summary;
    }

    // The picture's size on the page when the gallery chooses the scale: as many whole times
    // its pixels as fit the narrowest card, up to kGalleryMostScale, so that a tiny costume
    // is not a speck. Given a scale, the picture's own size.
    static std::string ShownSize(const FrameSummary& frames, const GalleryOptions& options) {
        if (options.scale != 0 || frames.width == 0 || frames.height == 0) return "";
        constexpr uint32_t kCardWidth = 256;  // pixels inside the narrowest card
        const uint32_t scale =
            std::clamp<uint32_t>(kCardWidth / frames.width, 1, kGalleryMostScale);
        return " width=\"" + std::to_string(frames.width * scale) + "\" height=\"" +
               std::to_string(frames.height * scale) + "\"";
    }

    // The costume's own colours, in palette order, each named by its index and value.
    void Swatch(const Costume& costume) {
        const CostumePalette palette = PaletteOf(costume);
        const uint32_t colours = std::min(costume.colourCount, kCostumePaletteEntries);
        if (colours == 0) return;
        Put("<div class=\"swatch\" role=\"img\" aria-label=\"Palette\">");
        for (uint32_t index = 0; index < colours; ++index) {
            const std::string colour = HexColour(&palette[size_t{index} * 3]);
            Put("<span style=\"background:" + colour + "\" title=\"" + std::to_string(index) +
                ": " + colour + "\"></span>");
        }
        Put("</div>\n");
    }

    void Links(const CostumeCard& card, const std::string& name) {
        std::string links;
        for (const FileLink& link : kFileLinks) {
            const std::string target = name + link.suffix;
            if (card.Wrote(target)) links += "<a href=\"" + target + "\">" + link.label + "</a>";
        }
        if (!links.empty()) Put("<p class=\"files\">" + links + "</p>\n");
    }

    void End(uint32_t count) {
        if (count <= 1) Put("<p>The game has no costumes.</p>\n");
        Put("</main>\n</body>\n</html>\n");
    }
};

// Exports and describes the loaded (or not) costume; its messages go to its card as well.
void WriteCostume(CostumeJob& job, const GalleryOptions& options, ExportCostume& costume,
                  std::string* cardText) {
    ExportReport& report = job.report;
    const uint32_t number = costume.number;
    CostumeCard card;
    card.number = number;
    card.status = LoadResultName(costume.result);
    card.message = costume.whyNot;
    // A costume on a missing disk was noted with its disk, before the first card.
    if (costume.result == CostumeLoadResult::NotPresent && !job.game.OnMissingDisk(number)) {
        report.Note(card.message);
    }
    if (costume.result == CostumeLoadResult::Loaded) {
        report.kept = &card.said;
        job.written = &card.written;
        for (PaletteFormat format : kPaletteFormats) {
            WritePaletteFile(job, number, *costume.loaded.costume, format);
        }
        ExportLoadedCostume(job, number, *costume.loaded.costume);
        job.written = nullptr;
        report.kept = nullptr;
    }
    GalleryPage page{options, {}};
    page.Card(card, job.game, costume.loaded.costume.get(), report);
    *cardText = std::move(page.text);
}

ExportOptions GalleryExport(const GalleryOptions& options) {
    ExportOptions exports;
    exports.outDirectory = options.outDirectory;
    exports.format = ImageFormat::Gif;
    exports.sheet = true;
    exports.layout = SheetArrangement::Grid;
    exports.scale = options.scale == 0 ? 1 : options.scale;  // 0: the page enlarges them
    exports.fps = options.fps;
    exports.transparentIndex = options.transparentIndex;
    return exports;
}

}  // namespace

bool WriteGallery(const GalleryOptions& options, ExportReport& report) {
    const CurrentReportScope current(report);
    ExportGame game;
    if (!game.Open(options.indexFile, report)) return false;
    NoteMissingDisks(game, report, [](uint32_t) { return true; });
    const ExportOptions exports = GalleryExport(options);
    CostumeJob job{exports, game, report};
    job.severalCostumes = true;
    job.costumesTotal = game.CostumeCount() - 1u;
    const std::string index = JoinPath(options.outDirectory, "index.html");
    // The page is made while the costumes are written, where nobody sees it, and put into
    // place last of all, so that it never links to a file missing. When the command stops
    // (the folder refuses a file) it is not put in place: an index.html there from before
    // stays as it was.
    report.subject = index;
    WriteOutputFile(
        *game.archive, index, true,
        [&](std::FILE* out, std::string* error) {
            int failedWith = 0;  // the first write that failed: the workers change errno
            const auto put = [out, &failedWith](const std::string& text) {
                if (std::fwrite(text.data(), 1, text.size(), out) != text.size() &&
                    failedWith == 0) {
                    failedWith = errno != 0 ? errno : EIO;
                }
            };
            GalleryPage page{options, {}};
            page.Begin(game);
            put(page.text);
            std::vector<uint32_t> numbers;
            for (uint32_t number = 1; number < game.CostumeCount(); ++number) {
                numbers.push_back(number);
            }
            WorkCostumes(
                job, numbers, options.jobs,
                [&options](CostumeJob& each, ExportCostume& costume, std::string* card) {
                    WriteCostume(each, options, costume, card);
                },
                put);
            page.text.clear();
            if (report.stopped) return false;
            page.End(game.CostumeCount());
            put(page.text);
            report.subject = index;
            if (std::ferror(out) == 0) return true;
            errno = failedWith != 0 ? failedWith : EIO;
            *error = std::strerror(errno);
            return false;
        },
        report);
    return !report.failed;
}
