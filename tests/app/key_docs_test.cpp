// The viewer's keys as the manual page and the README tell them, held to what each key of
// the shell's key table does in a session: a key added, dropped or turned round fails here
// until the documents say so.
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/process_objects.h"
#include "viewer/costume_viewer.h"
#include "viewer/viewer_fixture.h"

namespace {

std::string ReadSource(const std::string& relative) {
    std::ifstream file(std::string(DUZURORO_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct DocumentedKey {
    const char* name;   // in ShellKey
    uint32_t key;
    const char* shown;  // as a user reads it on the keyboard
    const char* roff;   // the same in the manual page's roff
};

constexpr DocumentedKey kKeys[] = {
    {"KEY_UP", KEY_UP, "Up", "Up"},
    {"KEY_DOWN", KEY_DOWN, "Down", "Down"},
    {"KEY_RIGHT", KEY_RIGHT, "Right", "Right"},
    {"KEY_LEFT", KEY_LEFT, "Left", "Left"},
    {"KEY_ADD", KEY_ADD, "Keypad +", "Keypad +"},
    {"KEY_SUBTRACT", KEY_SUBTRACT, "Keypad −", "Keypad \\-"},
};

struct ViewState {
    uint32_t costume;
    uint16_t frame;
    bool zoom;
};

ViewState Now() {
    const CostumeViewer& viewer = *g_viewer;
    return {viewer.costumeNumber,
            viewer.loaded.costume ? viewer.loaded.costume->currentFrame : uint16_t{0},
            viewer.zoom};
}

// What pressing `key` does, seen from the middle of a game: costume 2 of 3, frame 2 of 3,
// with the zoom on for a key that turns it off and off for the others.
std::string EffectOf(uint32_t key) {
    TestGame game;
    game.Write(OneDiskLayout(
        {PatternCostume(5, 3, 1), PatternCostume(5, 3, 2), PatternCostume(5, 3, 3)}));
    HeadlessOpen(game.IndexPath());
    HeadlessPressKey(KEY_UP);     // costume 2
    HeadlessPressKey(KEY_RIGHT);  // frame 2 of costume 2
    if (key == KEY_SUBTRACT) HeadlessPressKey(KEY_ADD);
    const ViewState before = Now();
    EXPECT_TRUE(HeadlessPressKey(key));
    const ViewState after = Now();
    if (after.costume == before.costume + 1) return "the next costume";
    if (after.costume + 1 == before.costume) return "the previous costume";
    if (after.frame == before.frame + 1) return "the next frame";
    if (after.frame + 1 == before.frame) return "the previous frame";
    if (after.zoom && !before.zoom) return "two times larger";
    if (!after.zoom && before.zoom) return "actual size";
    return "nothing";
}

// Every key in the shell's table is one of those documented, and every one is in it.
TEST_F(SessionTest, TheDocumentedKeysAreTheShellsKeyTable) {
    const std::string header = ReadSource("src/app/shell.h");
    const size_t start = header.find("enum ShellKey");
    ASSERT_NE(start, std::string::npos);
    const std::string table = header.substr(start, header.find("};", start) - start);
    const std::regex entry("(KEY_[A-Z]+) = ");
    std::set<std::string> inShell, documented;
    for (auto match = std::sregex_iterator(table.begin(), table.end(), entry);
         match != std::sregex_iterator(); ++match) {
        inShell.insert((*match)[1]);
    }
    for (const DocumentedKey& key : kKeys) documented.insert(key.name);
    EXPECT_EQ(inShell, documented);
}

TEST_F(SessionTest, TheManualPageAndTheReadmeSayWhatEachKeyDoes) {
    const std::string manual = ReadSource("packaging/duzuroro.1.in");
    const std::string readme = ReadSource("README.md");
    for (const DocumentedKey& key : kKeys) {
        const std::string effect = EffectOf(key.key);
        SCOPED_TRACE(std::string(key.shown) + ": " + effect);
        ASSERT_NE(effect, "nothing");
        // ".B Up" and, on the next line, a sentence that says the effect.
        const std::string item = std::string(".TP\n.B ") + key.roff + "\n";
        const size_t at = manual.find(item);
        ASSERT_NE(at, std::string::npos);
        const size_t textStart = at + item.size();
        std::string text = manual.substr(textStart, manual.find('\n', textStart) - textStart);
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        EXPECT_NE(text.find(effect), std::string::npos) << text;
        // "| Up | the next costume |" in the README's table of keys.
        EXPECT_NE(readme.find(std::string("| ") + key.shown + " | " + effect + " |"),
                  std::string::npos);
    }
}

}  // namespace
