// What the fuzz targets share: a front-end that counts the messages it is given, a private
// folder for the files an input becomes, and the walk through a costume's frames that
// browsing makes. A broken promise (a failure that says nothing or says two things) stops
// the run like a crash, so that the fuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "display/screen.h"
#include "viewer/costume_viewer.h"

// The messages reported since the last call.
int TakeMessageCount();
// Aborts with `what` and the last message when `holds` is false.
void Require(bool holds, const char* what);
// Requires what every operation promises: a failure says exactly one thing, a success nothing.
void RequireOneMessageOnFailure(bool succeeded, const char* operation);

// A folder of this process's own (in memory where the system offers it), removed at exit.
const std::filesystem::path& ScratchFolder();
// The folder with its trailing separator, as the shell hands it to the archive.
const std::string& ScratchFolderName();
void WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);
void RemoveScratchFile(const std::string& name);

// How much one input may make a target draw, so that every run stays quick.
struct DrawBudget {
    size_t maxFramePixels;  // larger frames are selected but not drawn
    size_t pixelsLeft;      // pixels decoded for the whole input
    int screenDrawsLeft;    // frames put on the screen, zoomed; the others are only rendered
};

// Selects every frame of the viewer's loaded costume in turn and renders each one while the
// budget lasts.
void DrawEveryFrame(CostumeViewer& viewer, Screen& screen, DrawBudget& budget);
