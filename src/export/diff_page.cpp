// The diff's page: each changed costume as a card in the gallery's style, its differences
// listed and each pictured frame shown as A, B and the differing pixels side by side. Like
// the gallery it needs no server, no network and no script, and it is written last, so that
// it never links to a picture missing.
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "costume/loaded_costume.h"
#include "export/game_diff.h"
#include "export/html_text.h"
#include "export/output_file.h"

namespace {

constexpr std::string_view kStyle = R"(
:root { color-scheme: light dark; --card: #f4f4f6; --line: #c8c8d0; }
@media (prefers-color-scheme: dark) { :root { --card: #24242a; --line: #45454f; } }
body { font: 15px/1.4 system-ui, sans-serif; margin: 0 auto; padding: 1rem; max-width: 90rem; }
h1 { font-size: 1.4rem; margin: 0 0 .25rem; overflow-wrap: anywhere; }
header p { margin: .2rem 0; overflow-wrap: anywhere; }
main { display: grid; gap: 1rem; margin-top: 1rem;
       grid-template-columns: repeat(auto-fill, minmax(min(100%, 28rem), 1fr)); }
article { background: var(--card); border: 1px solid var(--line); border-radius: .5rem;
          padding: .75rem; min-width: 0; }
h2 { font-size: 1.1rem; margin: 0 0 .5rem; }
h3 { font-size: 1rem; margin: .5rem 0 .25rem; }
.sides { display: flex; flex-wrap: wrap; gap: .5rem; }
figure { margin: 0; padding: .5rem; text-align: center; overflow: auto;
         background: repeating-conic-gradient(#ccc 0 25%, #fff 0 50%) 0 0 / 16px 16px; }
figure img { max-width: 100%; height: auto; image-rendering: pixelated; vertical-align: top; }
figcaption { font-size: .85rem; color: #333; }
dl { display: grid; grid-template-columns: auto 1fr 1fr; gap: .1rem .75rem; margin: 0 0 .5rem; }
dt { font-weight: 600; }
dd { margin: 0; overflow-wrap: anywhere; }
ul { margin: .25rem 0 0; padding-left: 1.2rem; font-size: .9rem; }
)";

std::string NumberList(const std::vector<uint32_t>& numbers) {
    if (numbers.empty()) return "none";
    std::string list;
    for (uint32_t number : numbers) {
        list += (list.empty() ? "" : ", ") + std::string("<a href=\"#costume-") +
                std::to_string(number) + "\">" + std::to_string(number) + "</a>";
    }
    return list;
}

// A costume only in one game has no card to link to: its number alone.
std::string PlainList(const std::vector<uint32_t>& numbers) {
    if (numbers.empty()) return "none";
    std::string list;
    for (uint32_t number : numbers) list += (list.empty() ? "" : ", ") + std::to_string(number);
    return list;
}

std::string SideField(const DiffSide& side, const char* what) {
    if (side.result != CostumeLoadResult::Loaded) return "";
    const std::string name = what;
    if (name == "Codec") return std::to_string(side.codec);
    if (name == "Colours") return std::to_string(side.colourCount);
    return std::to_string(side.frameCount);
}

struct DiffPage {
    std::FILE* file;

    void Put(std::string_view text) const { std::fwrite(text.data(), 1, text.size(), file); }

    void Begin(const DiffOptions& options, const GameDiff& diff) const {
        Put("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Costumes compared</title>\n<style>");
        Put(kStyle);
        Put("</style>\n</head>\n<body>\n<header>\n<h1>Costumes compared</h1>\n<p>A: ");
        Put(EscapedHtml(options.indexFileA) + " (" + std::to_string(diff.costumeCountA) +
            " in the costume directory)</p>\n<p>B: ");
        Put(EscapedHtml(options.indexFileB) + " (" + std::to_string(diff.costumeCountB) +
            " in the costume directory)</p>\n");
        Put("<p id=\"only-in-a\">Only in A: " + PlainList(diff.onlyInA) + "</p>\n");
        Put("<p id=\"only-in-b\">Only in B: " + PlainList(diff.onlyInB) + "</p>\n");
        Put("<p id=\"changed\">Changed: " + NumberList(ChangedNumbers(diff)) + "</p>\n");
        Put("<p>Pictures at " + std::to_string(options.scale) +
            "&times;; in the differences, pixels that agree are grey and those that differ "
            "magenta. Made by duzuroro-cli " DUZURORO_VERSION ".</p>\n</header>\n<main>\n");
    }

    static std::vector<uint32_t> ChangedNumbers(const GameDiff& diff) {
        std::vector<uint32_t> numbers;
        for (const CostumeDifference& costume : diff.changed) numbers.push_back(costume.number);
        return numbers;
    }

    void Card(const CostumeDifference& costume) const {
        const std::string number = std::to_string(costume.number);
        Put("<article id=\"costume-" + number + "\">\n<h2>Costume " + number + "</h2>\n");
        Put("<dl><dt></dt><dd>A</dd><dd>B</dd>");
        Put("<dt>Status</dt><dd>" + std::string(LoadResultName(costume.a.result)) + "</dd><dd>" +
            LoadResultName(costume.b.result) + "</dd>");
        for (const char* what : {"Codec", "Colours", "Frames"}) {
            Put(std::string("<dt>") + what + "</dt><dd>" + SideField(costume.a, what) +
                "</dd><dd>" + SideField(costume.b, what) + "</dd>");
        }
        Put("</dl>\n<ul class=\"differences\">");
        for (const std::string& line : DifferenceLines(costume)) {
            Put("<li>" + EscapedHtml(line) + "</li>");
        }
        Put("</ul>\n");
        if (costume.firstFramesPictured) Pictures(costume.number, 1, true, true, "Frame 1");
        for (const FrameDifference& frame : costume.frames) {
            if (!frame.pictured) continue;
            Pictures(costume.number, frame.frame,
                     frame.change != FrameChange::OnlyInB && frame.errorA.empty() &&
                         frame.a.width > 0 && frame.a.height > 0,
                     frame.change != FrameChange::OnlyInA && frame.errorB.empty() &&
                         frame.b.width > 0 && frame.b.height > 0,
                     "Frame " + std::to_string(frame.frame));
        }
        Put("</article>\n");
    }

    void Pictures(uint32_t costume, uint16_t frame, bool inA, bool inB,
                  const std::string& title) const {
        Put("<h3>" + title + "</h3>\n<div class=\"sides\">");
        const struct {
            bool shown;
            char side;
            const char* caption;
        } pictures[] = {{inA, 'a', "A"}, {inB, 'b', "B"}, {true, 'd', "Differing pixels"}};
        for (const auto& picture : pictures) {
            if (!picture.shown) continue;
            const std::string name = DiffPictureName(costume, frame, picture.side);
            Put("<figure><img src=\"" + name + "\" alt=\"" + title + ", " + picture.caption +
                "\"><figcaption>" + picture.caption + "</figcaption></figure>");
        }
        Put("</div>\n");
    }

    void End(const GameDiff& diff) const {
        if (diff.Same()) Put("<p>The two games' costumes are the same.</p>\n");
        Put("</main>\n</body>\n</html>\n");
    }
};

}  // namespace

bool WriteDiffPage(const DiffOptions& options, const GameDiff& diff,
                   const GameArchive& archiveA, const GameArchive& archiveB,
                   ExportReport& report) {
    const std::string index = JoinPath(options.outDirectory, "index.html");
    report.subject = index;
    if (HidesGameFile(archiveB, index)) {
        report.Error("Refusing to write over a game file: " + index);
        return false;
    }
    return WriteOutputFile(
        archiveA, index, true,
        [&](std::FILE* out, std::string* error) {
            const DiffPage page{out};
            page.Begin(options, diff);
            for (const CostumeDifference& costume : diff.changed) page.Card(costume);
            page.End(diff);
            if (std::ferror(out) == 0) return true;
            *error = std::strerror(errno);
            return false;
        },
        report);
}
