// What the tool says when a game is broken or an option is wrong: the file that failed and
// why, the disks that are missing, nothing raw from a forged file, usage errors that say
// what an option takes, and the summary that closes a command that writes.
#include <gtest/gtest.h>

#include <regex>

#include "cli/cli_fixture.h"

namespace {

// True when `bytes` is UTF-8 with no control character but the line end.
bool PrintableUtf8(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && lead != '\n') || lead == 0x7F) return false;
            ++i;
            continue;
        }
        const size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                                                            : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

TEST_F(CliTest, AGameFileThatCannotBeReadIsNamedWithTheReason) {
    MakeDemo();
    const std::string disk = (game / "DEMO.LA1").string();
    // Cut the first disk short after its room table: the costumes' blocks are gone.
    fs::resize_file(disk, 64);
    const ToolRun run = Run({"export", IndexFile(), "--costume", "3", "--out", out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Said(run), "Error: Failed to read from a file. [costume 3; " + disk +
                             ": it is only 64 bytes long]\n");
}

TEST_F(CliTest, MissingDisksAreNotedOnceWithTheirCostumes) {
    MakeDemo();
    fs::remove(game / "DEMO.LA1");
    fs::remove(game / "DEMO.LA2");
    const std::string notes =
        "Note: DEMO.LA1 is missing, so costumes 1-7 are not present.\n"
        "Note: DEMO.LA2 is missing, so costumes 8-14 are not present.\n"
        "Note: DEMO.LA3 is missing, so costume 15 is not present.\n";
    const ToolRun info = Run({"info", IndexFile()});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_EQ(info.err, notes);
    const ToolRun exported = Run({"export", IndexFile(), "--out", out.string()});
    EXPECT_EQ(exported.exitCode, 0);
    EXPECT_EQ(Said(exported), notes);
    // Only the disks of the costumes asked for.
    const ToolRun one = Run({"export", IndexFile(), "--costume", "9-10", "--out", out.string()});
    EXPECT_EQ(Said(one), "Note: DEMO.LA2 is missing, so costumes 8-14 are not present.\n"
                         "Error: Costume 9 is not present on this disk. [costume 9]\n"
                         "Error: Costume 10 is not present on this disk. [costume 10]\n");
    const ToolRun gallery = Run({"gallery", IndexFile(), "--out", out.string()});
    EXPECT_EQ(gallery.exitCode, 0);
    EXPECT_EQ(Said(gallery), notes);
}

// Tags of control bytes, of bytes that are no UTF-8, and of a terminal's escape sequence:
// whatever the command, nothing it prints or writes carries them.
TEST_F(CliTest, NothingRawFromAForgedTagReachesAnyOutput) {
    MakeDemo();
    const std::string index = ReadFileText(IndexFile());
    const std::pair<std::string, std::string> tags[] = {
        {std::string("AH\x1b[", 4), "AH\\x1B["},
        {std::string("\x07\x08\x0d\x00", 4), "\\x07\\x08\\x0D\\x00"},
        {std::string("\xc3\xff\xfe\x80", 4), "\\xC3\\xFF\\xFE\\x80"},
    };
    for (const auto& [tag, shown] : tags) {
        SCOPED_TRACE(shown);
        const fs::path forged = temp.path / "forged";
        fs::create_directories(forged);
        const std::string path = (forged / "F.LA0").string();
        {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            ASSERT_NE(file, nullptr);
            std::fwrite(tag.data(), 1, 4, file);
            std::fwrite(index.data() + 4, 1, index.size() - 4, file);
            std::fclose(file);
        }
        const std::vector<std::vector<std::string>> commands = {
            {"info", path},
            {"info", path, "--json"},
            {"export", path, "--out", out.string()},
            {"gallery", path, "--out", out.string()},
            {"thumbnail", path, (out / "t.png").string()},
            {"screen", path, "--costume", "1", "--out", (out / "s.png").string()},
        };
        for (const std::vector<std::string>& command : commands) {
            SCOPED_TRACE(command[0]);
            const ToolRun run = Run(command);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(PrintableUtf8(run.out)) << run.out;
            EXPECT_TRUE(PrintableUtf8(run.err)) << run.err;
            EXPECT_NE(run.err.find("Unknown block: " + shown), std::string::npos) << run.err;
        }
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(CliTest, UsageErrorsNameTheOptionWhatItGotAndWhatItTakes) {
    MakeDemo();
    const std::string index = IndexFile();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--format", "jpg"}, "Error: --format takes png or gif, not \"jpg\""},
        {{"--layout", "spiral", "--sheet"}, "Error: --layout takes row, column or grid, not \"spiral\""},
        {{"--palette", "bmp"}, "Error: --palette takes gpl, pal or act, not \"bmp\""},
        {{"--sheet", "--sheet-json", "list"}, "Error: --sheet-json takes array or hash, not \"list\""},
        {{"--fps", "0", "--sheet"}, "Error: --fps takes a whole number from 1 to 100, not \"0\""},
        {{"--padding", "-1", "--sheet"}, "Error: --padding takes a whole number from 0 to 1024, not \"-1\""},
        {{"--transparent", "2x"}, "Error: --transparent takes a whole number from 0 to 255, not \"2x\""},
        {{"--scale", "2", "--scale", "3"}, "Error: --scale may be given once, not 2 times"},
        {{"--layout", "grid"}, "Error: --layout requires --sheet"},
        {{"--padding", "2"}, "Error: --padding requires --sheet"},
        {{"--sheet-json", "hash"}, "Error: --sheet-json requires --sheet"},
        {{"--fps", "5"}, "Error: --fps requires --format gif or --sheet"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> arguments = {"export", index, "--out", out.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        SCOPED_TRACE(message);
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), message);
    }
    EXPECT_FALSE(fs::exists(out));

    // Each palette format once, however often it is asked for.
    const ToolRun palettes = Run({"export", index, "--costume", "2", "--palette", "gpl",
                                  "--palette", "ACT", "--palette", "gpl", "--palette-only",
                                  "--out", out.string(), "--quiet"});
    EXPECT_EQ(palettes.exitCode, 0) << palettes.err;
    EXPECT_EQ(palettes.err, "");
    EXPECT_EQ(Written(), (std::set<std::string>{"costume-0002.gpl", "costume-0002.act"}));
    // A frame rate where there is one, in export and in the gallery.
    EXPECT_EQ(Run({"export", index, "--costume", "2", "--format", "gif", "--fps", "5", "--out",
                   out.string()})
                  .exitCode,
              0);
    EXPECT_EQ(Run({"gallery", index, "--fps", "25", "--out", (out / "site").string()}).exitCode,
              0);
}

TEST_F(CliTest, ExportAndGalleryEndWithASummaryThatQuietLeavesOut) {
    MakeDemo();
    const std::string note = "Note: DEMO.LA3 is missing, so costume 15 is not present.\n";
    const std::regex exportSummary("Wrote 124 files \\(2[0-9][0-9] KB\\) into " + out.string() +
                                   "/; 1 note\\.\n");
    const ToolRun exported = Run({"export", IndexFile(), "--out", out.string()});
    EXPECT_EQ(Said(exported), note);
    EXPECT_TRUE(std::regex_match(exported.err.substr(note.size()), exportSummary)) << exported.err;

    const ToolRun quiet = Run({"export", IndexFile(), "--out", out.string(), "--quiet"});
    EXPECT_EQ(quiet.err, note);

    const ToolRun none = Run({"export", IndexFile(), "--costume", "15-16", "--out", out.string()});
    EXPECT_EQ(none.err, note + "Error: Costume 15 is not present on this disk. [costume 15]\n" +
                            "Error: costume 16 is out of range: this game's costumes are 1 to 15\n" +
                            "Wrote no files into " + out.string() + "/; 2 errors, 1 note.\n");

    const fs::path site = out / "site";
    const ToolRun gallery = Run({"gallery", IndexFile(), "--out", site.string() + "/"});
    EXPECT_EQ(Said(gallery), note);
    EXPECT_TRUE(std::regex_match(gallery.err.substr(note.size()),
                                 std::regex("Wrote 85 files \\([0-9]+ KB\\) into " + site.string() +
                                            "/; 1 note\\.\n")))
        << gallery.err;
    EXPECT_EQ(Run({"gallery", IndexFile(), "--out", site.string(), "--quiet"}).err, note);
}

// Without --scale the files are the costumes' own pixels and the page enlarges each GIF as
// far as its card allows, by a whole number up to 4; with it, the page shows the files as
// they are.
TEST_F(CliTest, GalleryShowsEachCostumeAsLargeAsItsCardAllows) {
    MakeDemo();
    const ToolRun run = Run({"gallery", IndexFile(), "--out", out.string(), "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string page = ReadFileText(out / "index.html");
    const std::regex image("<img src=\"(costume-[0-9]+\\.gif)\"[^>]* width=\"([0-9]+)\" "
                           "height=\"([0-9]+)\">");
    int images = 0;
    for (auto match = std::sregex_iterator(page.begin(), page.end(), image);
         match != std::sregex_iterator(); ++match, ++images) {
        const std::string gif = ReadFileText(out / (*match)[1].str());
        ASSERT_GE(gif.size(), 10u);
        const uint32_t width =
            static_cast<uint8_t>(gif[6]) | uint32_t{static_cast<uint8_t>(gif[7])} << 8;
        const uint32_t height =
            static_cast<uint8_t>(gif[8]) | uint32_t{static_cast<uint8_t>(gif[9])} << 8;
        const uint32_t scale = std::clamp<uint32_t>(256 / width, 1, 4);
        EXPECT_EQ(std::stoul((*match)[2]), width * scale) << (*match)[1];
        EXPECT_EQ(std::stoul((*match)[3]), height * scale) << (*match)[1];
    }
    EXPECT_EQ(images, 14);
    EXPECT_NE(page.find("<nav aria-label=\"Costumes\"><a href=\"#costume-1\">1</a>"),
              std::string::npos);

    fs::remove_all(out);
    ASSERT_EQ(Run({"gallery", IndexFile(), "--out", out.string(), "--scale", "2"}).exitCode, 0);
    EXPECT_EQ(ReadFileText(out / "index.html").find(" width=\""), std::string::npos);
}

}  // namespace
