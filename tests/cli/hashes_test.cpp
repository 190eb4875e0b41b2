// info --json --hashes: each frame's digest is of its width and height (16-bit little-endian)
// then its indices row by row, and each palette's of its own colours; the same pictures give
// the same digests whatever codec holds them, run after run.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"

namespace {

using Json = nlohmann::json;
using HashesTest = CliTest;

TEST_F(HashesTest, DigestsAreOfTheDecodedPixelsAndColours) {
    GameLayout layout;
    layout.roomDisks = {0, 1};
    layout.costumes = {{}};
    for (const uint16_t codec : {uint16_t{1}, uint16_t{5}, uint16_t{16}}) {
        CostumeDesign design;
        design.codec = codec;
        design.colours = {10, 20, 30, 40, 50, 60};
        design.frames = {CostumeFrame{2, 1, {1, 0}}, CostumeFrame{2, 1, {0, 1}}};
        layout.costumes.push_back({1, BuildCostumeBlock(design)});
    }
    std::string error;
    ASSERT_TRUE(WriteGame(game, "DEMO", layout, &error)) << error;

    const ToolRun run = Run({"info", IndexFile(), "--json", "--hashes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json info = Json::parse(run.out);
    // SHA-256 of 02 00 01 00 01 00 and of 02 00 01 00 00 01 (the frames), and of
    // 0a 14 1e 28 32 3c (the two colours), worked out apart from the tool.
    ASSERT_EQ(info["costumes"].size(), 3u);
    for (const Json& costume : info["costumes"]) {
        SCOPED_TRACE("codec " + costume["codec"].dump());
        EXPECT_EQ(costume["paletteSha256"],
                  "6e6db0c1e9357a0f1543a26d526d8548ae9867a4a64de41c2752e13f77bcfa13");
        EXPECT_EQ(costume["frames"][0]["sha256"],
                  "2ee9af2b352a695a06cc1234f974adf83072ec65469e72cefa910ca3e2f9ef8f");
        EXPECT_EQ(costume["frames"][1]["sha256"],
                  "113bc280c65f08397d2261d1a6efb3bc504832ba43639b39f7657c254da29aaa");
    }
    EXPECT_EQ(Run({"info", IndexFile(), "--json", "--hashes"}).out, run.out);
    EXPECT_EQ(Run({"info", IndexFile(), "--json"}).out.find("sha256"), std::string::npos);
    EXPECT_EQ(Run({"info", IndexFile(), "--hashes"}).exitCode, 2) << "--hashes needs --json";
}

TEST_F(HashesTest, DemoGameDigestsAreFixed) {
    MakeDemo();
    const ToolRun run = Run({"info", IndexFile(), "--json", "--hashes"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json first = Json::parse(run.out)["costumes"][0];
    // The demo's first frame, as the export PNG of it decodes: the same on every platform.
    EXPECT_EQ(first["frames"][0]["sha256"],
              "20dbd0df38f01701524639393d7890058f1ab971043d13f7452abca8399d24c5");
    EXPECT_EQ(first["paletteSha256"],
              "b68f4ed20459db51cbdbe951cc4c511431b2cb7a05895a0082bbdcf5febc9317");
}

}  // namespace
