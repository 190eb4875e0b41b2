// The JSON examples of the documents held to what the tool writes for the demo game: every
// object with the same fields, every value of the same kind, an example's array elements
// each like one the tool wrote, and the program's name and version as the tool gives them.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_fixture.h"

namespace {

using nlohmann::json;

// The ```json blocks of a document, parsed.
std::vector<json> JsonExamples(const std::string& relative) {
    std::ifstream file(std::string(DUZURORO_SOURCE_DIR) + "/" + relative);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string document = text.str();
    std::vector<json> examples;
    for (size_t at = document.find("```json\n"); at != std::string::npos;
         at = document.find("```json\n", at)) {
        at += 8;
        const size_t end = document.find("```", at);
        examples.push_back(json::parse(document.substr(at, end - at)));
    }
    return examples;
}

bool Alike(const json& example, const json& written, std::string* where) {
    if (example.is_object()) {
        if (!written.is_object()) return false;
        for (const auto& [key, value] : written.items()) {
            if (!example.contains(key)) {
                *where = "the example lacks \"" + key + "\"";
                return false;
            }
        }
        for (const auto& [key, value] : example.items()) {
            if (!written.contains(key)) {
                *where = "the tool writes no \"" + key + "\"";
                return false;
            }
            if (!Alike(value, written[key], where)) {
                *where = key + ": " + *where;
                return false;
            }
        }
        return true;
    }
    if (example.is_array()) {
        if (!written.is_array()) return false;
        for (const json& element : example) {
            std::string unused;
            if (std::none_of(written.begin(), written.end(),
                             [&](const json& each) { return Alike(element, each, &unused); })) {
                *where = "no element like " + element.dump();
                return false;
            }
        }
        return true;
    }
    const bool same = example.is_number() == written.is_number() &&
                      example.is_string() == written.is_string() &&
                      example.is_boolean() == written.is_boolean() &&
                      example.is_null() == written.is_null();
    if (!same) *where = example.dump() + " where the tool writes " + written.dump();
    return same;
}

TEST_F(CliTest, TheDocumentsJsonExamplesAreWhatTheToolWrites) {
    MakeDemo();
    ASSERT_EQ(Run({"export", IndexFile(), "--costume", "1", "--sheet", "--out", out.string(),
                   "--quiet"})
                  .exitCode,
              0);
    const json sheet = json::parse(ReadFileText(out / "costume-0001-sheet.json"));
    const json info = json::parse(Run({"info", IndexFile(), "--json"}).out);
    int checked = 0;
    for (const json& example : JsonExamples("docs/command-line.md")) {
        if (example.contains("a") && example.contains("b")) continue;  // diff: two games of its own
        const bool isSheet = example.contains("meta");
        SCOPED_TRACE(isSheet ? "the sheet JSON" : "info --json");
        std::string where;
        EXPECT_TRUE(Alike(example, isSheet ? sheet : info, &where)) << where;
        if (isSheet) {
            for (const char* key : {"app", "version", "format"}) {
                EXPECT_EQ(example["meta"][key], sheet["meta"][key]) << key;
            }
        } else {
            EXPECT_EQ(example["missingDisks"], info["missingDisks"]);
            EXPECT_EQ(example["costumeCount"], info["costumeCount"]);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 2);
}

}  // namespace
